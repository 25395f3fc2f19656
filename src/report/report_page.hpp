// tesk.html: one self-contained page with the structure, the local frames
// and the per-atom table, built from the atom entries of tesk.json.
#pragma once

#include <optional>
#include <string>

#include "report/report_json.hpp"

namespace tesk {

extern const char* const kPageTemplate;

// Frames drawn when the page opens: a browser stays responsive with a few
// thousand frames of arrows, not with a hundred thousand.
constexpr int kPageFrameLimit = 3000;
constexpr int kPageLabelLimit = 300;    // input atoms labelled in the view
constexpr int kPageRowLimit = 2000;     // table rows shown for one filter
constexpr int kPageStickLimit = 20000;  // larger structures are drawn as lines

class ReportPage {
 public:
  // Takes what the page needs from one atom entry of tesk.json.
  void add_atom(const Json& atom);
  // The whole page. Without the viewer library the page keeps its table and
  // says in the view why there is no 3-D picture.
  std::string html(const Json& head, const std::optional<std::string>& library,
                   const std::string& library_missing) const;

 private:
  // JSON text of the page's arrays, without their brackets.
  std::string atoms_;
  std::string bonds_;
  std::string rows_;
};

}  // namespace tesk
