// MoPro forms of atom labels, each in a 10-character field, left-justified,
// and the step that makes the labels of a structure unique.
#pragma once

#include <string>
#include <string_view>

namespace tesk {

struct Run;

// The element name: the label cut at its first "(" (C(12) gives C).
std::string ernum(std::string_view label);
// The bracket-free name: every "(" and ")" removed (C(12) gives C12).
std::string erbras(std::string_view label);
// A dummy's MoPro name: the first "UM" removed (DUM3 gives D3).
std::string erum(std::string_view label);
// MoPro treats an atom as a hydrogen when its element name is exactly H:
// H(1) is one, a label such as H1 is not.
bool mopro_hydrogen(std::string_view label);

// Every row of the local-axis table names its axis atoms by label, so the
// labels of the atoms read must be unique. When one repeats (a SHELX file with
// RESI has C1 in every residue), every atom is renumbered within its element
// in file order: C(1), C(2), ..., H(1), ...; the residue names of the MoPro
// files keep the names as written. Otherwise a label without a number (CU(),
// from an atom named CU) takes the lowest number its element has free. Each
// change is listed in the log.
void unique_labels(Run& run);

}  // namespace tesk
