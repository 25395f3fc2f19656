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
// writes one atom: name, part, x y z.
std::string cf3(std::string head, const std::function<std::string(std::string, int)>& line) {
  head += line("C0 0.5 0.5 0.346", 0) + line("C1 0.5 0.5 0.5", 0);
  for (int part = 1; part <= 3; ++part)
    for (int k = 0; k < 3; ++k) {
      const double phi = (120.0 * k + 40.0 * (part - 1)) * M_PI / 180.0;
      head += line("F" + std::to_string(3 * part + k) + " " + std::to_string(0.5 + 0.1254 * std::cos(phi)) +
                   " " + std::to_string(0.5 + 0.1254 * std::sin(phi)) + " 0.5444", part);
    }
  return head;
}

TEST(DisorderParts, PartsDecideBonds) {
  const char* occ[] = {"1", "0.5", "0.3", "0.2"};
  const char* sof[] = {"0", "21", "31", "10.2"};  // FVAR 1 0.5 0.3; 10.2 fixes 0.2
  int last = 0;
  const std::string shelx = cf3("TITL\nCELL 1 10 10 10 90 90 90\nLATT -1\nSFAC C F\nFVAR 1 0.5 0.3\n",
                                [&](std::string s, int part) {
    std::string head = part != last ? "PART " + std::to_string(last = part) + " " + sof[part] + "\n" : "";
    return head + s.insert(s.find(' '), s[0] == 'C' ? " 1" : " 2") + " 11 0.05\n";
  }) + "HKLF 4\nEND\n";
  const std::string cif = cf3("data_a\n_cell_length_a 10\n_cell_length_b 10\n_cell_length_c 10\n"
                              "_cell_angle_alpha 90\n_cell_angle_beta 90\n_cell_angle_gamma 90\n"
                              "_symmetry_space_group_name_H-M 'P 1'\nloop_\n_atom_site_label\n"
                              "_atom_site_fract_x\n_atom_site_fract_y\n_atom_site_fract_z\n"
                              "_atom_site_occupancy\n_atom_site_disorder_assembly\n"
                              "_atom_site_disorder_group\n",
                              [&](const std::string& s, int part) {
    return s + " " + occ[part] + (part ? " A " + std::to_string(part) : " . .") + "\n";
  });
  // C1-C2-C3 beside the inversion centre of P-1, PART -1: its image overlaps
  // it (C2 0.6 Angstrom from its own image) and never bonds to it.
  const std::string chain = "TITL\nCELL 1 10 10 10 90 90 90\nLATT 1\nSFAC C\nPART -1\n"
                            "C1 1 -0.14 0.08 0 10.5 0.05\nC2 1 0 0.03 0 10.5 0.05\n"
                            "C3 1 0.14 0.08 0 10.5 0.05\nHKLF 4\nEND\n";
  const std::vector<int> cf3_nnei = {1, 10, 1, 1, 1, 1, 1, 1, 1, 1, 1};
  const std::vector<float> cf3_occ = {1, 1, 0.5, 0.5, 0.5, 0.3, 0.3, 0.3, 0.2, 0.2, 0.2};
  struct Case { std::string text; bool cif; std::vector<int> nnei; std::vector<float> occ; };
  const Case cases[] = {{shelx, false, cf3_nnei, cf3_occ}, {cif, true, cf3_nnei, cf3_occ},
                        {chain, false, {1, 2, 1}, {0.5, 0.5, 0.5}}};
  for (const Case& c : cases) {
    testing::CifRun r;
    testing::ScratchDir dir;
    testing::write_file("t", c.text);
    c.cif ? readcif(r.run, "t", "", ShelxHeaders{}) : readshelx(r.run, "t", ShelxHeaders{});
    for (std::size_t z = 0; z < r.run.covrad.size(); ++z) r.run.covrad[z] = covrad_table(static_cast<int>(z));
    r.run.opt.compfrag = 1;
    gencompletefrags(r.run);
    findallneighbors(r.run);
    ASSERT_EQ(r.run.cryst.nall, static_cast<int>(c.nnei.size())) << c.text;
    for (int i = 1; i <= r.run.cryst.nall; ++i) {
      EXPECT_EQ(r.run.nb.neighbors.at(i).nnei, c.nnei[static_cast<std::size_t>(i - 1)]) << c.text << i;
      EXPECT_FLOAT_EQ(r.atom(i).occ, c.occ[static_cast<std::size_t>(i - 1)]) << c.text << i;
    }
  }
}

}  // namespace
}  // namespace tesk
