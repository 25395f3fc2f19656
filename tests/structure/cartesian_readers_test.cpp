// Structures in cartesian coordinates: PLATON lists (hand-written ones and
// complete.ang and tesk.ang as this program writes them) and AIM2TAB tables
// in bohr.
#include "structure/cartesian_readers.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <sstream>

#include "core/errors.hpp"
#include "model/elements.hpp"
#include "model/run.hpp"
#include "structure/complete_fragments.hpp"
#include "structure/shelx_fixture.hpp"
#include "test_support.hpp"

namespace tesk {
namespace {

namespace fs = std::filesystem;

struct Site {
  std::string label;  // 8 columns
  int iz;
  Vec3 xc;
};

void expect_sites(const Run& run, const std::vector<Site>& sites, const std::string& why) {
  ASSERT_EQ(run.atoms.natoms, static_cast<int>(sites.size())) << why;
  for (int i = 1; i <= run.atoms.natoms; ++i) {
    const Atom& a = run.atoms.at(i);
    const Site& s = sites[static_cast<std::size_t>(i - 1)];
    EXPECT_EQ(a.label, s.label) << why;
    EXPECT_EQ(a.iz, s.iz) << why << " " << s.label;
    EXPECT_EQ(a.lmax, s.iz == 1 ? 2 : 4) << why << " " << s.label;
    for (int k = 0; k < 3; ++k) {
      EXPECT_FLOAT_EQ(a.xc[k], s.xc[k]) << why << " " << s.label;
      EXPECT_EQ(a.xf[k], 0.0f) << why;
    }
    EXPECT_EQ(a.occ, 1.0f) << why;
    EXPECT_EQ(a.adptype, 0) << why;
    EXPECT_EQ(a.sftype, 0) << why;
  }
  EXPECT_EQ(run.symm.nsym(), 0) << why;
}

// One row of an AIM2TAB atom table, "(i5,a8,a11,3a9)": number, label, the
// atomic mass in the skipped columns, x, y, z in bohr.
std::string aim_line(int n, const char* label, const char* x, const char* y, const char* z) {
  char buf[80];
  std::snprintf(buf, sizeof buf, "%5d%-8s%11s%9s%9s%9s\n", n, label, "15.999  ", x, y, z);
  return buf;
}

TEST(CartesianReaders, PlatonAndAim2tabTables) {
  constexpr float b = 0.52917725f;
  // AIM2TAB columns: label 6-13, then x, y, z in bohr as F9.4 from column 25.
  const std::string aim_table =
      " NO. ATOM       AT.MASS\n"
      " ---------------------------------------------------\n" +
      aim_line(1, "O1", "   1.0000", "   0.0000", "  -2.0000") +
      aim_line(2, "H1", "   0.0000", "   1.5000", "   0.0000") +
      aim_line(3, "O2", "      100", "        0", "   0.5000");
  struct Row {
    const char* why;
    bool platon;
    std::string text;
    std::vector<Site> sites;
    std::vector<int> types;
  };
  const Row rows[] = {
      {"PLATON: ATOM lines only; labels upper-cased, the element from the label", true,
       "TITL test\nCELL 1.0 5 5 5 90 90 90\nANGSTROM\n"
       "ATOM C1 1.0 2.0 3.0\natom cl(1)   -1.5  0.0  2.5e0\n! ATOM X9 9 9 9\n"
       "ATOM   Li(1)   0.0 0.0 0.0\n",
       {{"C1      ", 6, {1.0f, 2.0f, 3.0f}},
        {"CL(1)   ", 17, {-1.5f, 0.0f, 2.5f}},
        {"LI(1)   ", 3, {0.0f, 0.0f, 0.0f}}},
       {6, 17, 3}},
      {"AIM2TAB: bohr to Angstrom; a field without a point has four implied decimals", false,
       " TITLE\n NUMBER OF ATOMS READ =    3\n\n" + aim_table,
       {{"O1      ", 8, {b, 0.0f, -2.0f * b}},
        {"H1      ", 1, {0.0f, 1.5f * b, 0.0f}},
        {"O2      ", 8, {0.01f * b, 0.0f, 0.5f * b}}},
       {8, 1}},
      {"AIM2TAB: a table before the atom count reads no atoms", false,
       aim_table + " NUMBER OF ATOMS READ =    3\n", {}, {}},
  };
  for (const Row& row : rows) {
    testing::ScratchDir dir;
    testing::write_file("in.txt", row.text);
    tesk::Run run;
    if (row.platon) {
      readplaton(run, fixed_width("in.txt", 60));
    } else {
      readaim2tab(run, fixed_width("in.txt", 60));
    }
    expect_sites(run, row.sites, row.why);
    EXPECT_EQ(run.types.tz, row.types) << row.why;
  }
}

TEST(CartesianReaders, StopsWithTheReadersMessage) {
  struct Row {
    bool platon;
    std::string text;  // empty: the file does not exist
    FatalError::Kind kind;
    std::string routine, message;
  };
  const Row rows[] = {
      {true, "", FatalError::Kind::Err, "ReadPlaton", "Error opening PLATON file"},
      {false, "", FatalError::Kind::Err, "ReadAim2Tab", "Error opening AIM2TAB output file..."},
      {true, "ATOM C1 1.0 2.0\n", FatalError::Kind::Input, "in.txt",
       "ATOM C1 without three cartesian coordinates"},
      {true, "ATOM C1 1.0 2.0 1e39\n", FatalError::Kind::Input, "in.txt",
       "ATOM C1: coordinate out of range"},
      {false, " NUMBER OF ATOMS READ =    1\n NO. ATOM       AT.MASS\n ---\n    1O1" +
                  std::string(17, ' ') + " 9.999e99   0.0000   0.0000\n",
       FatalError::Kind::Input, "in.txt", "a coordinate of atom 1 is out of range"},
      {false, " NUMBER OF ATOMS READ = 100001\n", FatalError::Kind::Err, "ReadAim2Tab",
       "Too many atoms"},
      {false, " NUMBER OF ATOMS READ =    2\n NO. ATOM       AT.MASS\n ---\n    1O1   \n",
       FatalError::Kind::Input, "in.txt",
       "row 1 of the atom table has no label and three coordinates, but NUMBER OF ATOMS READ = 2"},
  };
  for (const Row& row : rows) {
    testing::ScratchDir dir;
    if (!row.text.empty()) testing::write_file("in.txt", row.text);
    tesk::Run run;
    try {
      if (row.platon) {
        readplaton(run, "in.txt");
      } else {
        readaim2tab(run, "in.txt");
      }
      ADD_FAILURE() << row.message;
    } catch (const FatalError& e) {
      EXPECT_EQ(e.kind(), row.kind) << row.message;
      EXPECT_EQ(e.routine(), row.routine);
      EXPECT_EQ(e.message(), row.message);
    }
  }
}

// complete.ang and tesk.ang of a SHELX run read back: the completed list and
// the input atoms at the positions of the SHELX reading (to the files' four
// decimals), then the dummy atoms, which PLATON draws as lithium.
TEST(CartesianReaders, PlatonFilesWrittenByARun) {
  for (const char* name : {"naphthalene_p21a.res", "ch2cl2_c2c_fragment.ins"}) {
    testing::ScratchDir dir;
    fs::copy_file(testing::checkout_path(fs::path("tests/data/structures") / name), name);
    testing::write_file("tesk.inp", std::string("FORMAT *shelx\nINPUT ") + name + "\nNCELLS 1\n");
    ASSERT_EQ(testing::run_tesk_binary().status, 0) << name;
    tesk::Run complete, ang;
    readplaton(complete, "complete.ang");
    readplaton(ang, "tesk.ang");

    testing::ShelxRun ref;
    for (int z = 0; z < static_cast<int>(ref.run.covrad.size()); ++z)
      ref.run.covrad[static_cast<std::size_t>(z)] = covrad_table(z);
    ref.run.opt.compfrag = 1;
    readshelx(ref.run, name, ShelxHeaderListener{});
    gencompletefrags(ref.run);
    const tesk::Run& r = ref.run;
    ASSERT_EQ(complete.atoms.natoms, r.cryst.nall) << name;
    ASSERT_GT(ang.atoms.natoms, r.atoms.natoms) << name;
    for (int i = 1; i <= complete.atoms.natoms; ++i) {
      const Atom& a = complete.atoms.at(i);
      EXPECT_EQ(a.label, r.atoms.at(i).label) << name;
      EXPECT_EQ(a.iz, r.atoms.at(i).iz) << name;
      for (int k = 0; k < 3; ++k) EXPECT_NEAR(a.xc[k], r.atoms.at(i).xc[k], 6e-5) << name;
    }
    for (int i = 1; i <= ang.atoms.natoms; ++i) {
      const Atom& a = ang.atoms.at(i);
      if (i > r.atoms.natoms) {
        EXPECT_EQ(a.label.substr(0, 3), "LI(") << name;
        continue;
      }
      EXPECT_EQ(a.label, r.atoms.at(i).label) << name;
      for (int k = 0; k < 3; ++k) EXPECT_NEAR(a.xc[k], r.atoms.at(i).xc[k], 6e-5) << name;
    }
  }
}

}  // namespace
}  // namespace tesk
