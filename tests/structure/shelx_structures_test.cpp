// Every real SHELX file in tests/data/structures read to the end: atom
// counts, full space-group operator counts and a few known values.
#include <gtest/gtest.h>

#include <filesystem>

#include "structure/shelx_fixture.hpp"

namespace tesk {
namespace {

struct Expected {
  const char* file;
  int natoms;
  int nsym;  // operators of the full space group
};

const Expected kStructures[] = {
    {"acetic_acid_no_u.res", 8, 4},          {"aspirin_p21c.ins", 21, 4},
    {"caf2_fm-3m.res", 2, 192},              {"ch2cl2_c2c_fragment.ins", 4, 8},
    {"disorder_97srv101_p-1.ins", 15, 2},    {"dl_tryptophan_p21c.res", 27, 4},
    {"exp353_p212121.ins", 64, 4},           {"exp714_p21c.ins", 45, 4},
    {"fe_aqua_r-3c.res", 12, 36},            {"hydroxyquinoline_fdd2.res", 11, 16},
    {"jkd77_p21n.res", 44, 4},               {"l_alanine_p212121.res", 13, 4},
    {"li_k_so4_p63.ins", 5, 6},              {"mn_water_p21c.ins", 26, 4},
    {"naphthalene_p21a.res", 9, 4},          {"ni_i-43d.res", 65, 48},
    {"p31c_disorder.res", 88, 6},            {"pli222_p-1.ins", 131, 2},
    {"protein_3odl_resi.ins", 23, 6},        {"sucrose_har_p21.ins", 45, 2},
    {"tetrazine_p21c.res", 12, 4},           {"thpp_p21n.ins", 18, 4},
    {"vinigrol_p21c.ins", 128, 4},           {"zp2_pna21.ins", 50, 4},
};

std::string path_of(const std::string& file) { return testing::structures_dir() + file; }

TEST(ShelxStructures, EveryFileReadsToTheEnd) {
  int listed = 0;
  for (const auto& entry : std::filesystem::directory_iterator(testing::structures_dir())) {
    std::string name = entry.path().filename().string();
    if (!entry.is_regular_file()) continue;  // cif/: the CIF files have their own test
    if (name == "README.md" || name == "large_1548072_p-1.res") continue;
    ++listed;
    const Expected* exp = nullptr;
    for (const Expected& e : kStructures) {
      if (name == e.file) exp = &e;
    }
    ASSERT_NE(exp, nullptr) << name << " has no expected counts";
    testing::ShelxRun r;
    readshelx(r.run, path_of(name), ShelxHeaders{});
    EXPECT_EQ(r.run.atoms.natoms, exp->natoms) << name;
    EXPECT_EQ(r.run.symm.nsym(), exp->nsym) << name;
  }
  EXPECT_EQ(listed, static_cast<int>(std::size(kStructures)));
}

// SFAC C H O F AL IN N: indium, heavier than krypton, has its own SCAT row.
TEST(ShelxStructures, IndiumLargeStructure) {
  testing::ShelxRun r;
  readshelx(r.run, path_of("large_1548072_p-1.res"), ShelxHeaders{});
  EXPECT_EQ(r.run.atoms.natoms, 1529);
  EXPECT_EQ(r.run.shelx1.nfvar, 12);
  EXPECT_FLOAT_EQ(r.run.shelx1.fvar[11], 0.58706f);
  EXPECT_NE(r.kq.str().find("\nIn   CHFW CHFW CSZD    2   2   2   2   6   6   6  10 -10   0  -2"
                            "  -1   0"),
            std::string::npos);
}

TEST(ShelxStructures, AspirinRidingHydrogens) {
  testing::ShelxRun r;
  readshelx(r.run, path_of("aspirin_p21c.ins"), ShelxHeaders{});
  EXPECT_EQ(r.run.atoms.at(7).label, "H(3)    ");
  EXPECT_NEAR(r.run.atoms.at(7).uij[0], 0.06952f, 5e-6);
  EXPECT_EQ(r.run.atoms.at(2).label, "H(2)    ");
  EXPECT_NEAR(r.run.atoms.at(2).uij[0], 0.08277f, 5e-6);
  // fixed coordinate code 10.910013
  EXPECT_FLOAT_EQ(r.run.atoms.at(8).xf[0], 0.910013f);
}

TEST(ShelxStructures, DisorderedBromineOnFreeVariableTwo) {
  testing::ShelxRun r;
  readshelx(r.run, path_of("disorder_97srv101_p-1.ins"), ShelxHeaders{});
  EXPECT_FLOAT_EQ(r.run.shelx1.fvar[1], 0.25054f);
  int br_pair = 0;
  for (const Atom& a : r.run.atoms.list) {
    if (a.iz != 35) continue;
    ++br_pair;
    EXPECT_TRUE(a.occ == 0.25054f || a.occ == 0.74946f) << a.label << " " << a.occ;
    EXPECT_EQ(a.flag, -1);
  }
  EXPECT_GE(br_pair, 2);
}

TEST(ShelxStructures, CentredAndAcentricOperators) {
  {
    // Fm-3m: 24 cards, 4 lattice points, an inversion centre
    testing::ShelxRun r;
    readshelx(r.run, path_of("caf2_fm-3m.res"), ShelxHeaders{});
    const SymOp& two = r.run.symm.op(2);  // -X,-Y,+Z
    EXPECT_EQ(two.rot[0][0], -1.0f);
    EXPECT_EQ(two.rot[1][1], -1.0f);
    EXPECT_EQ(two.rot[2][2], 1.0f);
    const SymOp& centred = r.run.symm.op(25);  // the identity moved by (1/2, 1/2, 0)
    EXPECT_EQ(centred.rot[0][0], 1.0f);
    EXPECT_EQ(centred.trn, (std::array<float, 3>{0.5f, 0.5f, 0.0f}));
    // Ca on a site of symmetry m-3m with occupancy 1/48: a special position
    EXPECT_EQ(r.run.atoms.at(1).flag, 1);
  }
  {
    // P2(1)2(1)2(1), acentric: the second card 0.5-X,-Y,0.5+Z as written
    testing::ShelxRun r;
    readshelx(r.run, path_of("exp353_p212121.ins"), ShelxHeaders{});
    const SymOp& op = r.run.symm.op(2);
    EXPECT_EQ(op.rot[0][0], -1.0f);
    EXPECT_EQ(op.rot[1][1], -1.0f);
    EXPECT_EQ(op.rot[2][2], 1.0f);
    EXPECT_EQ(op.trn, (std::array<float, 3>{0.5f, 0.0f, 0.5f}));
    EXPECT_NE(r.kq.str().find("\nLATT A P\n"), std::string::npos);
  }
  {
    // R-3c on hexagonal axes: 6 cards, 3 lattice points, an inversion centre
    testing::ShelxRun r;
    readshelx(r.run, path_of("fe_aqua_r-3c.res"), ShelxHeaders{});
    EXPECT_NE(r.mopro.str().find("SYMM   6 R CENTRO\n"), std::string::npos);
    // Fe written with the fixed occupancy 10.16667 on a -3 site
    EXPECT_FLOAT_EQ(r.run.atoms.at(1).occ, 0.16667f);
    EXPECT_EQ(r.run.atoms.at(1).flag, 1);
  }
}

TEST(ShelxStructures, ResiduesOfTheProteinFragment) {
  testing::ShelxRun r;
  readshelx(r.run, path_of("protein_3odl_resi.ins"), ShelxHeaders{});
  ASSERT_EQ(r.run.resi1.resnam.size(), 23u);
  EXPECT_EQ(r.run.resi1.resnam[0], "N        8  SER  ");
  EXPECT_EQ(r.run.resi1.resnam[4], "N        9  LYS  ");
  // SFAC ... NA ! comment: seven types, the comment adds none
  EXPECT_EQ(r.run.types.tz, (std::vector<int>{6, 1, 7, 8, 16, 15, 11}));
}

}  // namespace
}  // namespace tesk
