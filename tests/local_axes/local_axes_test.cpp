// The per-atom loop's records: the 80-character row of the local-axis table,
// the numeric record the file writers read, tesk.ang, the MoPro label forms
// and the SYMPLM codes.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "databank/molecule_builder.hpp"
#include "local_axes/axis_rules.hpp"
#include "structure/labels.hpp"
#include "local_axes/local_axes.hpp"
#include "model/run.hpp"
#include "test_support.hpp"

namespace tesk {
namespace {

using testkit::Molecule;

// A lone sodium ion: nothing within 20 Angstrom, so both axes go to dummies
// at the cell origin and centre, listed after the atoms in tesk.ang.
TEST(LocalAxes, LoneIonRowRecordAndAngFile) {
  Molecule m;
  m.at("NA1", {1, 2, 3});
  tesk::Run run;
  std::ostringstream log, console, kqmas;
  run.out.log.attach(log);
  run.out.console.attach(console);
  run.out.kqmas.attach(kqmas);
  m.load(run);
  run.atoms.at(1).adptype = 2;
  run.atoms.at(1).sftype = 1;
  run.atoms.at(1).lmax = 4;
  localdef(run);

  // Seen from the ion the cell centre lies 6 degrees off the line to the
  // origin: the second dummy goes 1 Angstrom along x instead.
  const std::string row = "NA1      DUM1      X  NA1      DUM2     Y   R   2  1   1   4   NO   ";
  EXPECT_EQ(run.axes.row[0], row);
  EXPECT_EQ(kqmas.str(),
            "ATOM     ATOM0    AX1 ATOM1    ATOM2   AX2 R/L TP TBL KAP LMX SITESYM  CHEMCON\n" + row +
                "\nDUM1        0.000000    0.000000    0.000000\n"
                "DUM2        2.000000    2.000000    3.000000\nEND ATOM\n");
  EXPECT_NE(console.str().find("\n " + row + "\n"), std::string::npos);
  const AxisRecord& r = run.axes.rec[0];
  EXPECT_EQ((std::vector<int>{r.ax1, r.ax2, r.atom1, r.self, r.atom2, r.kset, r.lmax, r.hand, r.chemcon}),
            (std::vector<int>{1, 2, 2, 1, 3, 1, 4, 1, 0}));
  EXPECT_EQ(testing::read_file("tesk.ang"),
            "ANGSTROM\n"
            "ATOM NA1                1.0000        2.0000        3.0000\n"
            "ATOM Li(1)          0.0000        0.0000        0.0000\n"
            "ATOM Li(2)          2.0000        2.0000        3.0000\n");
}

// Two water molecules: the second's atoms name the first's as CHEMCON.
TEST(LocalAxes, EquivalentAtomEndsItsRowWithTheEarlierLabel) {
  Molecule m;
  for (float x : {0.0f, 10.0f}) {
    const std::string n = x == 0.0f ? "1" : "2";
    m.at("O" + n, {x, 0, 0});
    m.at("H" + n + "A", {x + 0.96f, 0, 0});
    m.at("H" + n + "B", {x - 0.2404f, 0.9294f, 0});
  }
  tesk::Run run;
  std::ostringstream log;
  run.out.log.attach(log);
  m.load(run);
  localdef(run);
  EXPECT_EQ(run.axes.row[3].substr(68), "   O1      ");
  EXPECT_EQ(run.axes.rec[3].chemcon, 1);
  EXPECT_EQ(run.axes.row[0].size(), 68u);  // no CHEMCON: the row ends after the site symmetry
}

TEST(LocalAxes, MoProLabelForms) {
  struct Row { const char* label; const char* ernum; const char* erbras; const char* erum; };
  const Row rows[] = {
      {"C(12)", "C         ", "C12       ", "C(12)     "},
      {"DUM3", "DUM3      ", "DUM3      ", "D3        "},
      {"H1", "H1        ", "H1        ", "H1        "},
      {"O(1A)", "O         ", "O1A       ", "O(1A)     "},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(ernum(r.label), r.ernum) << r.label;
    EXPECT_EQ(erbras(r.label), r.erbras) << r.label;
    EXPECT_EQ(erum(r.label), r.erum) << r.label;
  }
}

// A mirror is named by its normal: the axis not among the two letters.
TEST(LocalAxes, SymplmCodes) {
  using A = AxisLetter;
  struct Row { const char* sym; A first, second; const char* code; };
  const Row rows[] = {
      {"m    ", A::X, A::Y, "mz  "}, {"m    ", A::Y, A::X, "mz  "}, {"m    ", A::Z, A::Y, "mx  "},
      {"m    ", A::Z, A::X, "my  "}, {"mm2  ", A::Z, A::X, "mxmz"}, {"3m   ", A::Z, A::X, "3m  "},
      {"cyl  ", A::Z, A::Y, "cy  "}, {"-42m ", A::Z, A::Y, "    "},
  };
  for (const Row& r : rows) EXPECT_EQ(symplm_code(r.sym, r.first, r.second), r.code) << r.sym;
}

}  // namespace
}  // namespace tesk
