// What the SHELX reader keeps besides the atom table: free variables,
// weights and residue names.
#pragma once

#include <array>
#include <string>
#include <vector>

namespace tesk {

constexpr int kMaxFvar = 200;

struct Shelx1 {
  // fvar(1) is fvar[0], the overall scale factor: 1.0 until an FVAR card gives it.
  std::array<float, kMaxFvar> fvar = [] {
    std::array<float, kMaxFvar> f{};
    f[0] = 1.0f;
    return f;
  }();
  // Values without a WGHT card; a card overwrites as many as it gives.
  std::array<float, 6> wght{-2.0f, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f / 3.0f};
  int nfvar = 0;
};

struct Resi1 {
  std::vector<std::string> resnam;    // 17 characters: name(6) blank number(I3) 2 blanks class(5)
  std::vector<std::string> resshort;  // 10 characters: name(6) blank number(I3)
  int resflag = 0;
};

}  // namespace tesk
