// Small molecules with hand-placed cartesian coordinates and in-memory
// databanks, for the databank search tests.
#pragma once

#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "model/run.hpp"
#include "databank/databank.hpp"
#include "model/elements.hpp"

namespace tesk::testing {

inline std::vector<std::string> split_lines(std::string_view text) {
  std::vector<std::string> lines;
  std::string line;
  std::istringstream in{std::string(text)};
  while (std::getline(in, line)) lines.push_back(line);
  return lines;
}

// A run holding three molecules far apart (bond lengths from X-ray work):
//   1 C1  2 O1  3 HO1  4 H1A  5 H1B  6 H1C     methanol
//   7..12 C2..C7 (benzene ring)  13..18 H2..H7
//   19 OW  20 HW1  21 HW2                      water
struct Molecules {
  static constexpr int kMethanolC = 1, kMethanolO = 2, kHydroxylH = 3, kMethylH = 4;
  static constexpr int kRingC = 7, kRingH = 13;
  static constexpr int kWaterO = 19, kWaterH = 20;

  tesk::Run run;
  std::ostringstream log;

  Molecules() {
    run.out.log.attach(log);
    for (int z = 1; z < static_cast<int>(run.covrad.size()); ++z)
      run.covrad[static_cast<std::size_t>(z)] = covrad_table(z);
    add("C1", 6, 0.0f, 0.0f, 0.0f);
    add("O1", 8, 1.43f, 0.0f, 0.0f);
    add("HO1", 1, 1.75f, 0.91f, 0.0f);
    add("H1A", 1, -0.36f, 1.03f, 0.0f);
    add("H1B", 1, -0.36f, -0.51f, 0.89f);
    add("H1C", 1, -0.36f, -0.51f, -0.89f);
    const float c60 = 0.5f, s60 = 0.8660254f;
    const float ux[6] = {1.0f, c60, -c60, -1.0f, -c60, c60};
    const float uy[6] = {0.0f, s60, s60, 0.0f, -s60, -s60};
    for (int k = 0; k < 6; ++k)
      add("C" + std::to_string(k + 2), 6, 10.0f + 1.39f * ux[k], 1.39f * uy[k], 0.0f);
    for (int k = 0; k < 6; ++k)
      add("H" + std::to_string(k + 2), 1, 10.0f + 2.47f * ux[k], 2.47f * uy[k], 0.0f);
    add("OW", 8, 20.0f, 0.0f, 0.0f);
    add("HW1", 1, 20.96f, 0.0f, 0.0f);
    add("HW2", 1, 19.76f, 0.93f, 0.0f);
    run.atoms.natoms = run.atoms.size();
    run.cryst.nall = run.atoms.natoms;
    run.db.except.assign(static_cast<std::size_t>(run.atoms.natoms), ExceptRow{});
    run.db.forh.assign(static_cast<std::size_t>(run.atoms.natoms), {0, 0, 0});
  }

  void add(const std::string& label, int z, float x, float y, float zc) {
    int i = run.atoms.append("test");
    Atom& a = run.atoms.at(i);
    a.label = fixed_width(label, 8);
    a.iz = z;
    a.xc = {x, y, zc};
    a.occ = 1.0f;
  }

  void databank(std::string_view text) { run.db.bank.load(split_lines(text), "test.db"); }

  // The environment the axis rules would give an atom before the search.
  void environment(int atom, std::string_view sitesym, int iring, int imemb, bool lpg) {
    run.atoms.at(atom).sitesym = fixed_width(sitesym, 5);
    run.db.iring = iring;
    run.db.imemb = imemb;
    run.db.lpg = lpg;
  }
  void group(int atom, std::string_view name) {
    auto& row = run.db.except[static_cast<std::size_t>(atom - 1)];
    row.flag = name.empty() ? 0 : 1;
    row.group = fixed_width(upper(name), 40);
  }
  void parent(int hydrogen, int nnei, int z, int nh) {
    run.db.forh[static_cast<std::size_t>(hydrogen - 1)] = {nnei, z, nh};
  }

  // The comment of the entry the last search took, "" when none was found.
  std::string found_comment() const {
    std::string text = log.str();
    auto at = text.rfind(" DB comment for ");
    auto nf = text.rfind("NOT found in the DataBank");
    if (at == std::string::npos || (nf != std::string::npos && nf > at)) return "";
    auto open = text.find("= [", at) + 3;
    return text.substr(open, text.find("]\n", open) - open);
  }
};

}  // namespace tesk::testing
