// The working atom list: the atoms read followed by their symmetry copies.
#pragma once

#include <array>
#include <vector>

namespace tesk {

// The symmetry image of the asymmetric unit an atom of the working list lies
// in: operator number and lattice translation (1 and 0 0 0 for a read atom).
struct ImageCode {
  int op = 1;
  std::array<int, 3> t{};
  bool operator==(const ImageCode&) const = default;
};

struct Cryst {
  int nall = 0;            // atoms in the working list
  std::vector<int> isq;    // per atom (index 0 = atom 1): source of a copy, 0 for a read atom
  std::vector<int> nsq;    // per read atom: number of copies made of it
  std::vector<ImageCode> image;  // per atom of the working list; may be shorter (read atoms)
  ImageCode image_of(int atom) const {
    auto k = static_cast<std::size_t>(atom - 1);
    return atom >= 1 && k < image.size() ? image[k] : ImageCode{};
  }
};

}  // namespace tesk
