// Builds tesk.html from the atom entries of tesk.json and the page template.
#include "report/report_page.hpp"

#include <cctype>
#include <string_view>
#include <utility>
#include <vector>

namespace tesk {

namespace {

std::string axes_text(const Json& axes) {
  const Json& a = axes["first"];
  const Json& b = axes["second"];
  return a["axis"].get<std::string>() + " " + a["label"].get<std::string>() + " / " +
         b["axis"].get<std::string>() + " " + b["label"].get<std::string>();
}

std::string outcome_text(const Json& db) {
  if (db.is_null()) return "";
  if (!db["searched"].get<bool>()) return "not searched (disorder)";
  if (db["found"].get<bool>())
    return "line " + std::to_string(db["entry"]["line"].get<std::size_t>()) + ": " +
           db["entry"]["comment"].get<std::string>();
  return "NOT FOUND";
}

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

// The template with each marker replaced by its text; the markers are found
// in the template alone, so no text put in can be taken for one.
std::string fill_template(std::string_view page,
                          const std::vector<std::pair<std::string_view, std::string>>& fills) {
  std::string out;
  std::size_t from = 0;
  for (;;) {
    std::size_t best = std::string_view::npos;
    const std::pair<std::string_view, std::string>* which = nullptr;
    for (const auto& f : fills) {
      const std::size_t at = page.find(f.first, from);
      if (at < best) { best = at; which = &f; }
    }
    if (which == nullptr) break;
    out.append(page.substr(from, best - from)).append(which->second);
    from = best + which->first.size();
  }
  return out.append(page.substr(from));
}

}  // namespace

void ReportPage::add_atom(const Json& atom) {
  const int index = atom["index"].get<int>();
  const Json& c = atom["cart"];
  atoms_.push_back({atom["label"], atom["element"], c[0], c[1], c[2]});
  for (const Json& n : atom["neighbours"]) {
    const int j = n["index"].get<int>();
    if (j > index) {
      bonds_.push_back(index - 1);
      bonds_.push_back(j - 1);
    }
  }
  auto local = atom.find("local");
  if (local == atom.end() || local->is_null()) return;
  const Json& l = *local;
  const Json& f = l["frame"];
  Json row;
  row["i"] = index - 1;
  row["label"] = atom["label"];
  row["axes"] = axes_text(l["axes"]);
  row["sym"] = l["site_symmetry"];
  row["kset"] = l["kappa_set"];
  row["group"] = l["functional_group"].is_null() ? Json("") : l["functional_group"];
  row["rule"] = l["rule"];
  row["db"] = outcome_text(l["databank"]);
  const Json& db = l["databank"];
  const bool not_found = !db.is_null() && db["searched"].get<bool>() && !db["found"].get<bool>();
  row["nf"] = not_found;
  if (not_found) row["nearest"] = db["nearest"];
  row["f"] = {f["x"][0], f["x"][1], f["x"][2], f["y"][0], f["y"][1], f["y"][2],
              f["z"][0], f["z"][1], f["z"][2]};
  rows_.push_back(std::move(row));
}

std::string ReportPage::html(const Json& head, const std::optional<std::string>& library,
                             const std::string& library_missing) {
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
  data["atoms"] = std::move(atoms_);
  data["bonds"] = std::move(bonds_);
  data["rows"] = std::move(rows_);

  return fill_template(kPageTemplate, {{"@TITLE@", html_escaped(title)},
                                       {"@LIBRARY@", library ? library_script_safe(*library) : std::string()},
                                       {"@DATA@", json_script_safe(data.dump(-1, ' ', false, Json::error_handler_t::replace))}});
}

}  // namespace tesk
