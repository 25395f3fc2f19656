// MoPro forms of atom labels, each in a 10-character field, left-justified.
#pragma once

#include <string>
#include <string_view>

namespace tesk {

// The element name: the label cut at its first "(" (C(12) gives C).
std::string ernum(std::string_view label);
// The bracket-free name: every "(" and ")" removed (C(12) gives C12).
std::string erbras(std::string_view label);
// A dummy's MoPro name: the first "UM" removed (DUM3 gives D3).
std::string erum(std::string_view label);
// MoPro treats an atom as a hydrogen when its element name is exactly H:
// H(1) is one, a label such as H1 is not.
bool mopro_hydrogen(std::string_view label);

}  // namespace tesk
