// The working atom list: the atoms read followed by their symmetry copies.
#pragma once

#include <vector>

namespace tesk {

struct Cryst {
  int nall = 0;            // atoms in the working list
  std::vector<int> isq;    // per atom (index 0 = atom 1): source of a copy, 0 for a read atom
  std::vector<int> nsq;    // per read atom: number of copies made of it
};

}  // namespace tesk
