// Builds tesk.html from what the atom writer hands over and the page
// template. The page carries its own compact copy of the data it draws:
// positions to 0.001 Angstrom, rows as arrays, shared texts numbered once.
#include "report/report_page.hpp"

#include <cctype>
#include <functional>
#include <utility>

#include "report/report_atoms.hpp"

namespace tesk {

namespace {

constexpr int kPagePositionDecimals = 3;
constexpr int kPageFrameDecimals = 4;

// Text placed inside a <script> element must not close it early. In JSON
// "<\/" is "</"; in the viewer library only "</script" needs the escape,
// which reads the same inside a JavaScript string or regular expression.
std::string json_script_safe(std::string text) {
  for (std::size_t at = 0; (at = text.find("</", at)) != std::string::npos; at += 3)
    text.replace(at, 2, "<\\/");
  return text;
}

std::string library_script_safe(std::string text) {
  for (std::size_t at = 0; (at = text.find("</", at)) != std::string::npos; at += 3) {
    std::string word = text.substr(at + 2, 6);
    for (char& c : word) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (word == "script") text.replace(at, 2, "<\\/");
  }
  return text;
}

std::string html_escaped(std::string_view text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default: out += c;
    }
  }
  return out;
}

using Fill = std::pair<std::string_view, std::function<void(std::ostream&)>>;

// The template with each marker replaced by what its fill writes; the
// markers are found in the template alone, so no text put in can be taken
// for one.
void write_template(std::ostream& out, std::string_view page, const std::vector<Fill>& fills) {
  std::size_t from = 0;
  for (;;) {
    std::size_t best = std::string_view::npos;
    const Fill* which = nullptr;
    for (const Fill& f : fills) {
      const std::size_t at = page.find(f.first, from);
      if (at < best) { best = at; which = &f; }
    }
    if (which == nullptr) break;
    out << page.substr(from, best - from);
    which->second(out);
    from = best + which->first.size();
  }
  out << page.substr(from);
}

}  // namespace

ReportPage::ReportPage() {
  for (JsonWriter* w : {&atoms_, &bonds_, &rows_, &strings_}) w->escape_for_script();
}

int ReportPage::intern(std::string_view text) {
  if (auto it = string_numbers_.find(text); it != string_numbers_.end()) return it->second;
  const int number = static_cast<int>(string_numbers_.size());
  string_numbers_.emplace(std::string(text), number);
  strings_.string(text);
  return number;
}

void ReportPage::add_atom(int index, std::string_view label, std::string_view element, const Vec3& cart,
                          std::span<const int> bonded) {
  atoms_.begin_array();
  atoms_.string(label);
  atoms_.string(element);
  for (float c : cart) atoms_.decimal(c, kPagePositionDecimals);
  atoms_.end_array();
  for (int j : bonded) {
    if (j <= index) continue;
    bonds_.integer(index - 1);
    bonds_.integer(j - 1);
  }
}

// A row: [atom, axes, symmetry, kappa set, group, rule, outcome, not found,
// nine frame components X, Y, Z, and for an atom not found its nearest
// entries]; the page's script turns it back into named fields.
void ReportPage::add_row(const PageRow& row) {
  axes_.assign(1, row.axis1).append(" ").append(row.label1).append(" / ");
  axes_.append(1, row.axis2).append(" ").append(row.label2);
  rows_.begin_array();
  rows_.integer(row.atom - 1);
  rows_.string(axes_);
  rows_.integer(intern(row.sym));
  rows_.integer(row.kset);
  rows_.integer(intern(row.group));
  rows_.integer(intern(row.rule));
  rows_.integer(intern(row.outcome));
  rows_.integer(row.not_found ? 1 : 0);
  for (const Vec3& e : row.frame)
    for (float c : e) rows_.decimal(c, kPageFrameDecimals);
  if (row.not_found && row.nearest != nullptr) write_nearest(rows_, *row.nearest);
  rows_.end_array();
}

void ReportPage::write(std::ostream& out, const Json& head, const std::optional<std::string>& library,
                       const std::string& library_missing) const {
  const Json& structure = head["inputs"]["structure"];
  const std::string title = structure.empty() ? "" : structure.back()["name"].get<std::string>();
  Json data;
  data["title"] = title;
  data["inputAtoms"] = head["counts"]["input_atoms"];
  data["databank"] = head["options"]["databank"].get<bool>() ? head["counts"]["databank"] : Json(nullptr);
  data["error"] = head["error"];
  data["frameLimit"] = kPageFrameLimit;
  data["labelLimit"] = kPageLabelLimit;
  data["rowLimit"] = kPageRowLimit;
  data["stickLimit"] = kPageStickLimit;
  data["libraryMissing"] = library ? Json(nullptr) : Json(library_missing);
  Json dummies = Json::array();
  for (const Json& d : head["dummy_atoms"]) dummies.push_back({d["name"], d["cart"][0], d["cart"][1], d["cart"][2]});
  data["dummies"] = dummies;
  // The streamed arrays go in where the data's closing brace was.
  std::string small = json_script_safe(data.dump(-1, ' ', false, Json::error_handler_t::replace));
  small.pop_back();
  auto write_data = [&](std::ostream& o) {
    o << small << ",\"strings\":[" << strings_.text() << "],\"atoms\":[" << atoms_.text()
      << "],\"bonds\":[" << bonds_.text() << "],\"rows\":[" << rows_.text() << "]}";
  };
  write_template(out, kPageTemplate,
                 {{"@TITLE@", [&](std::ostream& o) { o << html_escaped(title); }},
                  {"@LIBRARY@", [&](std::ostream& o) { if (library) o << library_script_safe(*library); }},
                  {"@DATA@", write_data}});
}

}  // namespace tesk
