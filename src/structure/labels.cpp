// MoPro forms of atom labels.
#include "structure/labels.hpp"

#include <algorithm>

#include "core/line_reader.hpp"

namespace tesk {

std::string ernum(std::string_view label) {
  return fixed_width(label.substr(0, std::min(label.find('('), label.size())), 10);
}

std::string erbras(std::string_view label) {
  std::string s(label);
  s.erase(std::remove_if(s.begin(), s.end(), [](char c) { return c == '(' || c == ')'; }), s.end());
  return fixed_width(s, 10);
}

std::string erum(std::string_view label) {
  std::string s(label);
  const std::size_t at = s.find("UM");
  if (at != std::string::npos) s.erase(at, 2);
  return fixed_width(s, 10);
}

bool mopro_hydrogen(std::string_view label) { return trim_right(ernum(label)) == "H"; }

}  // namespace tesk
