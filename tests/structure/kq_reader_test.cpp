// The KQ pair reader: parameter files of both versions, the lines skipped by
// count (header, anharmonic terms, multipole populations, kappa sets),
// comment lines, the lattice of the master file, and the stops.
#include <gtest/gtest.h>

#include <sstream>

#include "core/errors.hpp"
#include "model/run.hpp"
#include "structure/kq_reader.hpp"
#include "test_support.hpp"

namespace tesk {
namespace {

const std::string kMasterP1 =
    "TITLE TEST\n"
    "CELL      10.0000     10.0000     10.0000     90.0000     90.0000     90.0000\n"
    "LATT A P\n"
    "ATOM     ATOM0    AX1 ATOM1    ATOM2   AX2 R/L TP TBL KAP LMX SITESYM  CHEMCON\n"
    "END ATOM\n";

// Pv and 25 populations of a level-4 atom, as the writer puts them.
const std::string kPop3 =
    "  4.0000  0.0000  0.0000  0.0000  0.0000  0.0000  0.0000  0.0000  0.0000  0.0000\n"
    "  0.0000  0.0000  0.0000  0.0000  0.0000  0.0000  0.0000  0.0000  0.0000  0.0000\n"
    "  0.0000  0.0000  0.0000  0.0000  0.0000  0.0000\n";
const std::string kPop1 = "  5.0000  0.0000  0.0000  0.0000  0.0000\n";
const std::string kZeros =
    "  0.000000  0.000000  0.000000  0.000000  0.000000  0.000000  0.000000  0.000000\n"
    "  0.000000  0.000000  0.000000  0.000000  0.000000  0.000000\n";
const std::string kFvar =
    " 0.5000E+00 0.0000E+00 0.0000E+00 0.0000E+00 0.0000E+00 0.0000E+00 0.0000E+00\n"
    " 0.2500E+00\n"
    " 0.916410E+00\n";
const std::string kTeskHeader =
    "!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!\n"
    "!                   CREATED BY PROGRAM << TESK >>\n"
    "!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!\n"
    "KQPARFILE VERSION  2\n"
    "  MYMODEL   MODEL  4  2  1  0\n"
    "LIMITS nat 300 ntx 31 lmx 4 nzz 30 nto 0 nsc 20 ntb 20 nov 2500\n";

std::string atom_line(const char* label, int level, int adptype, int sftype, const char* xyz_occ) {
  char buf[160];
  std::snprintf(buf, sizeof buf, "%-8s  1  2    2    1    3  %5d%5d    1%5d    1    0%s\n", label,
                adptype, sftype, level, xyz_occ);
  return buf;
}
const std::string kU = "  0.011000  0.012000  0.013000  0.001000  0.002000  0.003000\n";

struct Expected {
  std::string label;  // 8 columns
  int iz, adptype, sftype;
  float x, occ, u11;
};

struct Read {
  Run run;
  std::ostringstream log;
  testing::ScratchDir dir;

  Read(const std::string& master, const std::string& par) {
    testing::write_file("old.mas", master);
    testing::write_file("old.inp", par);
    run.opt.kqold = fixed_width("old.mas", 60);
    run.out.log.attach(log);
    readkq(run, fixed_width("old.inp", 60));
  }
};

TEST(ReadKQ, AtomsOfEveryLayout) {
  struct Row {
    const char* why;
    std::string par;
    std::vector<Expected> atoms;
    std::string model;
    std::vector<int> types;
  };
  const std::string two_atoms =
      atom_line("C(1)", 4, 2, 1, "  0.10000  0.20000  0.30000  1.0000") + kU + kPop3 +
      atom_line("H(1)", 4, 1, 2, "  0.15000  0.25000  0.35000  0.5000") + kU + kPop3;
  const std::vector<Expected> c_and_h = {{"C(1)    ", 6, 2, 1, 0.1f, 1.0f, 0.011f},
                                         {"H(1)    ", 1, 1, 2, 0.15f, 0.5f, 0.011f}};
  const Row rows[] = {
      {"version 2 as the writer leaves it, one dummy atom",
       kTeskHeader + "USAGE    2 2 4    2 0 1 0 0    2 0 0 0 0    1\n" + kZeros +
           "     0.500000     0.500000     0.500000\n" + two_atoms +
           "  1  1.000000  1.000000  1.000000  1.000000  1.000000  1.000000\n"
           "  2  1.000000  1.000000  1.000000  1.000000  1.000000  1.000000\n" + kFvar,
       c_and_h, "MYMODEL", {6, 1}},
      {"version 1: no KQPARFILE line, the model line first, 22 integers on one line",
       "  TEST   MODEL  4  2  1  0\n"
       "LIMITS 300 31 4 30 0 20 20 2500 USAGE 2 2 4 0 0 1 0 0 2 0 0 0 0 0\n" + kZeros +
           two_atoms + kFvar,
       c_and_h, "TEST", {6, 1}},
      {"a comment stands for a zero line in the raw skip; comments elsewhere are passed over",
       kTeskHeader + "USAGE    2 2 4    1 0 1 0 0    2 0 0 0 0    0\n" +
           "! the zero lines are counted, comment or not\n"
           "  0.000000  0.000000\n" + "! first atom\n" +
           atom_line("C(1)", 4, 2, 1, "  0.10000  0.20000  0.30000  1.0000") + kU +
           "! populations\n" + kPop3 +
           atom_line("H(1)", 4, 1, 2, "  0.15000  0.25000  0.35000  0.5000") + kU + kPop3 +
           "! kappa\n  1  1.000000  1.000000  1.000000  1.000000  1.000000  1.000000\n" + kFvar,
       c_and_h, "MYMODEL", {6, 1}},
      {"levels 0 and 1 have one population line, level 4 three; a level-2 hydrogen "
       "written with three lines is found past the leftovers; anharmonic U adds 2 or 5 "
       "lines; CA is calcium",
       kTeskHeader + "USAGE    5 2 4    0 0 1 0 0    3 0 0 0 0    0\n" + kZeros +
           atom_line("CA(1)", 0, 3, 3, "  0.10000  0.20000  0.30000  1.0000") + kU +
           "  0.1 0.2 0.3 0.4 0.5 0.6\n  0.7 0.8 0.9 1.0\n" + kPop1 +
           atom_line("O(1)", 1, 4, 2, "  0.20000  0.20000  0.30000  0.2500") + kU +
           "  1 2 3 4 5 6\n  7 8 9 10\n  1 2 3 4 5 6\n  7 8 9 10 11 12\n  13 14 15\n" + kPop1 +
           atom_line("H(1)", 2, 1, 1, "  0.30000  0.20000  0.30000  1.0000") + kU + kPop3 +
           atom_line("N(1)", 4, 2, 2, "  0.40000  0.20000  0.30000  1.0000") + kU + kPop3 +
           atom_line("C(1)", 1, 2, 1, "  0.50000  0.20000  0.30000  1.0000") + kU + kPop1 +
           kFvar,
       {{"CA(1)   ", 20, 3, 3, 0.1f, 1.0f, 0.011f},
        {"O(1)    ", 8, 4, 2, 0.2f, 0.25f, 0.011f},
        {"H(1)    ", 1, 1, 1, 0.3f, 1.0f, 0.011f},
        {"N(1)    ", 7, 2, 2, 0.4f, 1.0f, 0.011f},
        {"C(1)    ", 6, 2, 1, 0.5f, 1.0f, 0.011f}},
       "MYMODEL", {20, 8, 1, 7, 6}},
  };
  for (const Row& row : rows) {
    Read r(kMasterP1, row.par);
    const tesk::Run& run = r.run;
    ASSERT_EQ(run.atoms.natoms, static_cast<int>(row.atoms.size())) << row.why;
    for (int i = 1; i <= run.atoms.natoms; ++i) {
      const Atom& a = run.atoms.at(i);
      const Expected& e = row.atoms[static_cast<std::size_t>(i - 1)];
      EXPECT_EQ(a.label, e.label) << row.why;
      EXPECT_EQ(a.iz, e.iz) << row.why << " " << e.label;
      EXPECT_EQ(a.adptype, e.adptype) << row.why << " " << e.label;
      EXPECT_EQ(a.sftype, e.sftype) << row.why << " " << e.label;
      EXPECT_EQ(a.lmax, e.iz == 1 ? 2 : 4) << row.why << " " << e.label;
      EXPECT_FLOAT_EQ(a.xf[0], e.x) << row.why << " " << e.label;
      EXPECT_FLOAT_EQ(a.xc[0], 10.0f * e.x) << row.why << " " << e.label;
      EXPECT_FLOAT_EQ(a.occ, e.occ) << row.why << " " << e.label;
      EXPECT_FLOAT_EQ(a.uij[0], e.u11) << row.why << " " << e.label;
      EXPECT_FLOAT_EQ(a.uij[5], 0.003f) << row.why << " " << e.label;
      EXPECT_EQ(a.flag, e.occ == 1.0f ? 0 : -1) << row.why << " " << e.label;
    }
    EXPECT_EQ(run.opt.amodel, fixed_width(row.model, 20)) << row.why;
    EXPECT_EQ(run.types.tz, row.types) << row.why;
    EXPECT_FLOAT_EQ(run.shelx1.fvar[1], 0.5f) << row.why;
    EXPECT_FLOAT_EQ(run.shelx1.fvar[8], 0.25f) << row.why;
    EXPECT_FLOAT_EQ(run.shelx1.fvar[0], 0.91641f) << row.why;
  }
}

// From atom 10000 on the writer's I5 axis-atom numbers touch; the line is
// still read, by its columns.
TEST(ReadKQ, AtomNumbersThatTouch) {
  const int n = 10002;
  std::string par = kTeskHeader + "USAGE 10002 2 4    1 0 1 0 0    1 0 0 0 0    0\n" + kZeros;
  char buf[160];
  for (int i = 1; i <= n; ++i) {
    const int other = i == n ? i - 1 : i + 1;
    std::snprintf(buf, sizeof buf, "%-8s%3d%3d%5d%5d%5d  %5d%5d%5d%5d%5d%5d%9.5f%9.5f%9.5f%8.4f\n",
                  ("C(" + std::to_string(i) + ")").c_str(), 1, 2, other, i, other, 2, 1, 1, 4, 1, 0,
                  0.25f, 0.5f, i * 1e-5f, 1.0f);
    par += buf + kU + kPop3;
  }
  par += "  1  1.000000  1.000000  1.000000  1.000000  1.000000  1.000000\n" + kFvar;
  Read r(kMasterP1, par);
  ASSERT_EQ(r.run.atoms.natoms, n);
  const Atom& last = r.run.atoms.at(n);
  EXPECT_EQ(last.label, "C(10002)");
  EXPECT_FLOAT_EQ(last.xf[2], 0.10002f);
  EXPECT_EQ(last.adptype, 2);
}

TEST(ReadKQ, LatticeOfTheMasterFile) {
  struct Row {
    const char* latt;
    int nsym;
  };
  // Identity and two cards; the inversion centre doubles, C centring doubles.
  const Row rows[] = {{"LATT A P", 3}, {"LATT C P", 6}, {"LATT A C", 6}, {"latt c c", 12}};
  const std::string par = kTeskHeader + "USAGE    0 2 4    0 0 1 0 0    1 0 0 0 0    0\n" +
                          kZeros + kFvar;
  for (const Row& row : rows) {
    const std::string master = std::string("CELL 5 6 7 90 100 90\n") + row.latt +
                               "\nSYMM -X, 1/2+Y, 1/2-Z\nSYMM 1/2+X, -Y, -Z\n";
    Read r(master, par);
    EXPECT_EQ(r.run.symm.nsym(), row.nsym) << row.latt;
    EXPECT_FLOAT_EQ(r.run.ucell.p[4], 100.0f) << row.latt;
  }
}

TEST(ReadKQ, StopsWithTheReadersMessage) {
  struct Row {
    const char* why;
    std::string master, par;
    std::string message;
  };
  const std::string usage = "USAGE    1 2 4    0 0 1 0 0    1 0 0 0 0    0\n";
  const std::string one_atom =
      atom_line("C(1)", 4, 2, 1, "  0.10000  0.20000  0.30000  1.0000") + kU + kPop3;
  const Row rows[] = {
      {"the file ends inside the last atom's populations", kMasterP1,
       kTeskHeader + usage + kZeros + atom_line("C(1)", 4, 2, 1, " 0.1 0.2 0.3 1.0") + kU + kPop1,
       "Error reading KQ parameter file"},
      {"more dummy lines announced than the file holds", kMasterP1,
       kTeskHeader + "USAGE    1 2 4    0 0 1 0 0    1 0 0 0 0  900\n" + kZeros + one_atom + kFvar,
       "Error reading KQ parameter file"},
      {"no free variables after the kappa sets", kMasterP1, kTeskHeader + usage + kZeros + one_atom,
       "Error reading KQ parameter file"},
      {"a header without its USAGE line", kMasterP1, kTeskHeader,
       "Error reading KQ parameter file"},
      {"more atoms than the table holds", kMasterP1,
       kTeskHeader + "USAGE 100001 2 4    0 0 1 0 0    1 0 0 0 0    0\n", "Too many atoms"},
      {"a CELL line without six numbers", "CELL 5 6 7\n", kTeskHeader,
       "Error reading KQ master file"},
      {"a CELL length beyond single precision", "CELL 1e39 6 7 90 90 90\n", kTeskHeader,
       "Invalid CELL in KQ master file old.mas: cell lengths must lie between 0 and 10000 Angstrom"},
      {"no CELL line", "LATT A P\n", kTeskHeader, "No CELL line in KQ master file old.mas"},
      {"a zero cell", "CELL 0 0 0 90 90 90\n", kTeskHeader,
       "Invalid CELL in KQ master file old.mas: cell lengths must lie between 0 and 10000 Angstrom"},
      {"an atom a million cells away", kMasterP1,
       kTeskHeader + usage + kZeros +
           atom_line("C(1)", 4, 2, 1, "  1.0E+06  0.20000  0.30000  1.0000") + kU + kPop3 + kFvar,
       "Atom C(1) in KQ parameter file: number out of range"},
      {"a U value beyond single precision", kMasterP1,
       kTeskHeader + usage + kZeros + atom_line("C(1)", 4, 2, 1, " 0.1 0.2 0.3 1.0") +
           "  1.0E+39  0.012000  0.013000  0.001000  0.002000  0.003000\n" + kPop3 + kFvar,
       "Error reading KQ parameter file"},
  };
  for (const Row& row : rows) {
    try {
      Read r(row.master, row.par);
      ADD_FAILURE() << "no stop: " << row.why;
    } catch (const FatalError& e) {
      EXPECT_EQ(e.routine(), "ReadKQ") << row.why;
      EXPECT_EQ(e.message(), row.message) << row.why;
      EXPECT_EQ(e.exit_status(), 1) << row.why;
    }
  }
}

TEST(ReadKQ, MissingFilesNamedInTheMessage) {
  testing::ScratchDir dir;
  testing::write_file("here.mas", kMasterP1);
  struct Row {
    const char* master;
    std::string message;
  };
  const Row rows[] = {{"gone.mas", "Error opening KQ master file gone.mas"},
                      {"here.mas", "Error opening KQ parameter file gone.inp"}};
  for (const Row& row : rows) {
    tesk::Run run;
    run.opt.kqold = fixed_width(row.master, 60);
    try {
      readkq(run, fixed_width("gone.inp", 60));
      ADD_FAILURE() << row.master;
    } catch (const FatalError& e) {
      EXPECT_EQ(e.message(), row.message);
    }
  }
}

}  // namespace
}  // namespace tesk
