// tesk.html: one self-contained page with the structure, the local frames
// and the per-atom table, fed by the atom writer of tesk.json as it goes.
#pragma once

#include <array>
#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/vec3.hpp"
#include "report/json_writer.hpp"
#include "report/report_json.hpp"

namespace tesk {

struct NearEntry;

extern const char* const kPageTemplate;

// Frames drawn when the page opens: a browser stays responsive with a few
// thousand frames of arrows, not with a hundred thousand.
constexpr int kPageFrameLimit = 3000;
constexpr int kPageLabelLimit = 300;    // input atoms labelled in the view
constexpr int kPageRowLimit = 2000;     // table rows shown for one filter
constexpr int kPageStickLimit = 20000;  // larger structures are drawn as lines

// What the table and the view show of one input atom the per-atom loop
// treated. The texts are views into the run's tables or the reporter's.
struct PageRow {
  int atom = 0;  // 1-based
  char axis1 = ' ', axis2 = ' ';
  std::string_view label1, label2;  // the axis atoms or dummy atoms
  std::string_view sym, group, rule, outcome;
  int kset = 0;
  bool not_found = false;
  const std::vector<NearEntry>* nearest = nullptr;  // when not found
  std::array<Vec3, 3> frame{};
};

class ReportPage {
 public:
  ReportPage();
  // Atom `index` (1-based) of the completed structure and its bonded atoms.
  void add_atom(int index, std::string_view label, std::string_view element, const Vec3& cart,
                std::span<const int> bonded);
  void add_row(const PageRow& row);
  // The whole page. Without the viewer library the page keeps its table and
  // says in the view why there is no 3-D picture.
  void write(std::ostream& out, const Json& head, const std::optional<std::string>& library,
             const std::string& library_missing) const;

 private:
  struct StringHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
  };
  // Texts that many rows share (symmetry, group, rule, outcome) are written
  // once in the page's string table and referred to by number.
  int intern(std::string_view text);

  // The page's arrays as JSON text without their brackets.
  JsonWriter atoms_, bonds_, rows_, strings_;
  std::unordered_map<std::string, int, StringHash, std::equal_to<>> string_numbers_;
  std::string axes_;  // scratch for a row's axes text
};

}  // namespace tesk
