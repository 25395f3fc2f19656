// Disorder parts decide which atoms may bond: a CF3 group in three rotamers
// (SHELX PART n sof, CIF disorder groups) and a chain disordered about an
// inversion centre (a negative part).
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "connectivity/neighbours.hpp"
#include "model/elements.hpp"
#include "structure/cif_fixture.hpp"
#include "structure/complete_fragments.hpp"

namespace tesk {
namespace {

// C1 bonded to C0; three F at 1.33 Angstrom per rotamer, the rotamers turned
// by 40 degrees (F of neighbouring rotamers 0.86 Angstrom apart). `line`
// writes one atom given as "name x y z" and its part.
std::string cf3(std::string text, const std::function<std::string(std::string, int)>& line) {
  text += line("C0 0.5 0.5 0.346", 0) + line("C1 0.5 0.5 0.5", 0);
  for (int k = 0; k < 9; ++k) {
    const double phi = (120.0 * (k % 3) + 40.0 * (k / 3)) * M_PI / 180.0;
    text += line("F" + std::to_string(k) + " " + std::to_string(0.5 + 0.1254 * std::cos(phi)) +
                     " " + std::to_string(0.5 + 0.1254 * std::sin(phi)) + " 0.5444",
                 k / 3 + 1);
  }
  return text;
}

TEST(DisorderParts, PartsDecideBonds) {
  const char* occ[] = {"1", "0.5", "0.3", "0.2"};
  const char* sof[] = {"0", "21", "31", "10.2"};  // with FVAR 1 0.5 0.3: 0.5, 0.3, 0.2 fixed
  int last = 0;
  const std::string shelx =
      cf3("CELL 1 10 10 10 90 90 90\nLATT -1\nSFAC C F\nFVAR 1 .5 .3\n", [&](std::string s, int p) {
        s.insert(s.find(' '), s[0] == 'C' ? " 1" : " 2");
        if (p == last) return s + " 11 0.05\n";
        return "PART " + std::to_string(last = p) + " " + sof[p] + "\n" + s + " 11 0.05\n";
      });
  const std::string cif =
      cf3("data_a _cell_length_a 10 _cell_length_b 10 _cell_length_c 10 _cell_angle_alpha 90\n"
          "_cell_angle_beta 90 _cell_angle_gamma 90 _symmetry_space_group_name_H-M 'P 1'\nloop_\n"
          "_atom_site_label _atom_site_fract_x _atom_site_fract_y _atom_site_fract_z\n"
          "_atom_site_occupancy _atom_site_disorder_assembly _atom_site_disorder_group\n",
          [&](const std::string& s, int p) {
            return s + " " + occ[p] + (p ? " A " + std::to_string(p) : " . .") + "\n";
          });
  // C1-C2-C3 beside the inversion centre of P-1, PART -1: its image overlaps
  // it (C2 0.6 Angstrom from its own image) and never bonds to it.
  const std::string chain = "CELL 1 10 10 10 90 90 90\nSFAC C\nPART -1\nC1 1 -.14 .08 0 10.5 .05\n"
                            "C2 1 0 .03 0 10.5 .05\nC3 1 .14 .08 0 10.5 .05\n";
  const std::vector<int> cf3_nnei = {1, 10, 1, 1, 1, 1, 1, 1, 1, 1, 1};
  struct Case { std::string text; bool cif; std::vector<int> nnei; };
  for (const Case& c : {Case{shelx, 0, cf3_nnei}, {cif, 1, cf3_nnei}, {chain, 0, {1, 2, 1}}}) {
    testing::CifRun r;
    testing::ScratchDir dir;
    testing::write_file("t", c.text);
    c.cif ? readcif(r.run, "t", "", ShelxHeaders{}) : readshelx(r.run, "t", ShelxHeaders{});
    for (std::size_t z = 0; z < r.run.covrad.size(); ++z) r.run.covrad[z] = covrad_table(int(z));
    r.run.opt.compfrag = 1;
    gencompletefrags(r.run);
    findallneighbors(r.run);
    ASSERT_EQ(r.run.cryst.nall, static_cast<int>(c.nnei.size())) << c.text;
    for (int i = 1; i <= r.run.cryst.nall; ++i) {
      EXPECT_EQ(r.run.nb.neighbors.at(i).nnei, c.nnei[std::size_t(i - 1)]) << c.text << i;
      const float want = c.text == chain ? 0.5f : std::stof(occ[i < 3 ? 0 : (i - 3) / 3 + 1]);
      EXPECT_FLOAT_EQ(r.atom(i).occ, want) << c.text << i;
    }
  }
}

}  // namespace
}  // namespace tesk
