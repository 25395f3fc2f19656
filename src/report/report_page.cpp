// Builds tesk.html from the atom entries of tesk.json and the page template.
#include "report/report_page.hpp"

#include <cctype>
#include <charconv>
#include <cstdio>
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

// The page's data are written straight as text: a structure of 100000
// atoms would otherwise be built once more as a JSON tree only to be printed.
void put_number(std::string& out, double v) {
  char buf[32];
  auto r = std::to_chars(buf, buf + sizeof buf, v);
  out.append(buf, r.ptr);
}

// A JSON string; '<' is written as \u003c so that no text closes the script.
void put_string(std::string& out, std::string_view s) {
  out += '"';
  for (char c : s) {
    const auto u = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (u < 0x20 || c == '<') {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\u%04x", u);
      out += buf;
    } else {
      out += c;
    }
  }
  out += '"';
}

void put_key(std::string& out, std::string_view key) {
  out += out.back() == '{' ? "\"" : ",\"";
  out.append(key).append("\":");
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
  if (!atoms_.empty()) atoms_ += ',';
  atoms_ += '[';
  put_string(atoms_, atom["label"].get_ref<const std::string&>());
  atoms_ += ',';
  put_string(atoms_, atom["element"].get_ref<const std::string&>());
  for (std::size_t k = 0; k < 3; ++k) {
    atoms_ += ',';
    put_number(atoms_, c[k].get<double>());
  }
  atoms_ += ']';
  for (const Json& n : atom["neighbours"]) {
    const int j = n["index"].get<int>();
    if (j <= index) continue;
    if (!bonds_.empty()) bonds_ += ',';
    bonds_ += std::to_string(index - 1) + ',' + std::to_string(j - 1);
  }
  auto local = atom.find("local");
  if (local == atom.end() || local->is_null()) return;
  const Json& l = *local;
  const Json& db = l["databank"];
  const bool not_found = !db.is_null() && db["searched"].get<bool>() && !db["found"].get<bool>();
  std::string& r = rows_;
  if (!r.empty()) r += ',';
  r += '{';
  put_key(r, "i");
  r += std::to_string(index - 1);
  put_key(r, "label");
  put_string(r, atom["label"].get_ref<const std::string&>());
  put_key(r, "axes");
  put_string(r, axes_text(l["axes"]));
  put_key(r, "sym");
  put_string(r, l["site_symmetry"].get_ref<const std::string&>());
  put_key(r, "kset");
  r += std::to_string(l["kappa_set"].get<int>());
  put_key(r, "group");
  put_string(r, l["functional_group"].is_null() ? "" : l["functional_group"].get_ref<const std::string&>());
  put_key(r, "rule");
  put_string(r, l["rule"].get_ref<const std::string&>());
  put_key(r, "db");
  put_string(r, outcome_text(db));
  put_key(r, "nf");
  r += not_found ? "true" : "false";
  if (not_found) {
    put_key(r, "nearest");
    r += json_script_safe(db["nearest"].dump(-1, ' ', false, Json::error_handler_t::replace));
  }
  put_key(r, "f");
  r += '[';
  const Json& f = l["frame"];
  for (const char* axis : {"x", "y", "z"})
    for (std::size_t k = 0; k < 3; ++k) {
      if (r.back() != '[') r += ',';
      put_number(r, f[axis][k].get<double>());
    }
  r += "]}";
}

std::string ReportPage::html(const Json& head, const std::optional<std::string>& library,
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
  // The atoms, bonds and rows, already text, go in where the data's closing
  // brace was.
  std::string text = json_script_safe(data.dump(-1, ' ', false, Json::error_handler_t::replace));
  text.pop_back();
  text.append(",\"atoms\":[").append(atoms_).append("],\"bonds\":[").append(bonds_);
  text.append("],\"rows\":[").append(rows_).append("]}");
  return fill_template(kPageTemplate, {{"@TITLE@", html_escaped(title)},
                                       {"@LIBRARY@", library ? library_script_safe(*library) : std::string()},
                                       {"@DATA@", text}});
}

}  // namespace tesk
