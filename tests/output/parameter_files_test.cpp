// kq_tesk.inp, the MoPro files and fixedH.ins of small hand-built runs: the
// column layout of a heavy atom and a hydrogen, MoPro's per-site populations,
// dummy names, the similarity and restraint sections, and which files a
// whole run writes.
#include "output/parameter_files.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "core/errors.hpp"
#include "core/line_reader.hpp"
#include "output/kq_parameter_file.hpp"
#include "model/run.hpp"
#include "test_support.hpp"

namespace tesk {
namespace {

namespace fs = std::filesystem;

// Stored populations are occupancy times these. P(l,m) = 0.1 l + 0.01 (m + 5)
// tells every slot apart, so the listed order shows: P00 0.05, P11 0.16,
// P1-1 0.14, P10 0.15, P20 0.25, ...
AtomPoles stored_poles(float occ, float pv) {
  AtomPoles p;
  p.pv = occ * pv;
  p.sigma = 0.01f;
  for (int l = 0; l <= 4; ++l)
    for (int m = -l; m <= l; ++m)
      p.plm.at(l, m) = occ * static_cast<float>(0.1 * l + 0.01 * (m + 5));
  return p;
}

struct AtomRow {
  const char* label;
  Vec3 xf;
  float occ;
  int adptype;
  int sftype;
  std::array<float, 6> u;
  AxisRecord rec;
  AtomPoles poles;
  const char* mopro_axes;
  const char* mcon;
};

struct ParamRun {
  Run run;
  std::ostringstream kqinp, mopro, con, res, fixedh;

  ParamRun() {
    run.out.kqinp.attach(kqinp);
    run.out.mopropar.attach(mopro);
    run.out.conmopro.attach(con);
    run.out.resmopro.attach(res);
    run.out.fixedh.attach(fixedh);
    run.opt.amodel = fixed_width("TEST", 20);
  }

  void add(const AtomRow& s) {
    Atom& a = run.atoms.at(run.atoms.append("test"));
    a.label = fixed_width(s.label, 8);
    a.xf = s.xf;
    a.occ = s.occ;
    a.adptype = s.adptype;
    a.sftype = s.sftype;
    a.uij = s.u;
    run.atoms.natoms = run.atoms.size();
    run.axes.rec.push_back(s.rec);
    run.axes.mopro.push_back(fixed_width(s.mopro_axes, 90));
    run.axes.mcon.push_back(fixed_width(s.mcon, 90));
    run.db.mpoles.push_back(s.poles);
  }

  void kappa(int sftype, float k1, float k2) {
    run.db.kappas.push_back({{k1, k2}, sftype});
    run.db.nkappas = static_cast<int>(run.db.kappas.size());
  }
};

std::string pad(const std::string& text, int width) { return fixed_width(text, width) + "\n"; }

// Everything after the MoPro header from the first atom on.
std::string from_atom_block(const std::string& mopro) { return mopro.substr(mopro.find("ATOM ")); }

const std::array<float, 6> kAniso{0.02f, 0.03f, 0.025f, 0.001f, -0.002f, 0.003f};
const char* const kHeavyAxes = "XY   H1           D1            HEX    K1   V0  M0  Q0";
const char* const kHydrogenAxes = "ZX   C1           D1            QUA    K2   V0  M0  Q0";

// A carbon with anisotropic U and a riding hydrogen, one dummy atom and two
// kappa sets: every line of the KQ file, of the MoPro atom sections and of
// fixedH.ins.
TEST(ParameterFiles, HeavyAtomAndHydrogen) {
  ParamRun p;
  p.run.opt.lfh = 1;
  p.run.nsft = 2;
  p.run.shelx1.fvar[1] = 0.5f;
  p.run.axes.dummy.dum.push_back({"DUM1", {0.5f, 0.0f, 0.25f}});
  p.kappa(1, 0.98f, 0.95f);
  p.kappa(2, 1.16f, 1.2f);
  p.add({"C(1)", {0.1f, 0.2f, 0.3f}, 1.0f, 2, 1, kAniso, {1, 2, 2, 1, 3, 2, 1, 1, 4, 1, 0},
         stored_poles(1.0f, 4.1f), kHeavyAxes, ""});
  AtomPoles h;
  h.pv = 0.9f;
  h.plm.at(1, 0) = 0.12f;
  h.plm.at(2, 0) = 0.05f;
  p.add({"H(1)", {0.15f, 0.25f, 0.35f}, 1.0f, 1, 2, {0.05f, 0, 0, 0, 0, 0},
         {3, 1, 1, 2, 3, 1, 2, 2, 4, 1, 0}, h, kHydrogenAxes, ""});
  write_parameter_files(p.run);

  const std::string bangs = std::string(80, '!') + "\n";
  const std::string zeros8 = "  0.000000  0.000000  0.000000  0.000000"
                             "  0.000000  0.000000  0.000000  0.000000\n";
  EXPECT_EQ(p.kqinp.str(),
            bangs + "!                   CREATED BY PROGRAM << TESK >>\n" + bangs +
                "KQPARFILE VERSION  2\n"
                "  TEST   MODEL  4  2  1  0\n"
                "LIMITS nat 300 ntx 31 lmx 4 nzz 30 nto 0 nsc 20 ntb 20 nov 2500\n"
                "USAGE    2 2 4    2 0 1 0 0    2 0 0 0 0    1\n" +
                zeros8 +
                "  0.000000  0.000000  0.000000  0.000000  0.000000  0.000000\n"
                "     0.500000     0.000000     0.250000\n"
                "C(1)      1  2    2    1    3      2    1    1    4    1    0"
                "  0.10000  0.20000  0.30000  1.0000\n"
                "  0.020000  0.030000  0.025000  0.001000 -0.002000  0.003000\n"
                "  4.1000  0.0500  0.1600  0.1400  0.1500  0.2500  0.2600  0.2400  0.2700  0.2300\n"
                "  0.3500  0.3600  0.3400  0.3700  0.3300  0.3800  0.3200  0.4500  0.4600  0.4400\n"
                "  0.4700  0.4300  0.4800  0.4200  0.4900  0.4100\n"
                "H(1)      3  1    1    2    3      1    2    2    4    1    0"
                "  0.15000  0.25000  0.35000  1.0000\n"
                "  0.050000  0.000000  0.000000  0.000000  0.000000  0.000000\n"
                "  0.9000  0.0000  0.0000  0.0000  0.1200  0.0500  0.0000  0.0000  0.0000  0.0000\n"
                "  0.0000  0.0000  0.0000  0.0000  0.0000  0.0000  0.0000  0.0000  0.0000  0.0000\n"
                "  0.0000  0.0000  0.0000  0.0000  0.0000  0.0000\n"
                "  1  0.980000  0.950000  0.950000  0.950000  0.950000  0.950000\n"
                "  2  1.160000  1.200000  1.200000  1.200000  1.200000  1.200000\n"
                " 0.5000E+00 0.0000E+00 0.0000E+00 0.0000E+00 0.0000E+00 0.0000E+00 0.0000E+00\n"
                " 0.0000E+00\n"
                " 0.100000E+01\n");

  EXPECT_EQ(p.mopro.str(),
            "DUMMY   1\n"
            "DUMY     0.500000    0.000000    0.250000  D1 0\n"
            "\n"
            "KAPPA   2\n"
            "  0.980000  0.950000\n"
            "  1.160000  1.200000\n"
            "\n"
            "ATOMS    2\n"
            "\n" +
                pad("ATOM   1 C1        MOL   1    0.100000    0.200000    0.300000 1.000  1 C", 82) +
                pad(kHeavyAxes, 90) +
                "UANI     0.020000  0.030000  0.025000  0.001000 -0.002000  0.003000\n"
                " 4.10000 0.05000  0.160  0.140  0.150  0.250  0.260  0.240  0.270  0.230\n"
                "  0.350  0.360  0.340  0.370  0.330  0.380  0.320\n"
                "  0.450  0.460  0.440  0.470  0.430  0.480  0.420  0.490  0.410\n"
                "\n" +
                pad("ATOM   2 H1        MOL   1    0.150000    0.250000    0.350000 1.000  1 H", 82) +
                pad(kHydrogenAxes, 90) +
                "UISO     0.050000\n"
                " 0.90000 0.00000  0.000  0.000  0.120  0.050  0.000  0.000  0.000  0.000\n"
                "\n"
                "\n"
                "ANHAR    0    3         !  #atoms #order \n"
                "! 1         ! atom number \n"
                "! 0. 0. 0. 0. 0. 0. 0. 0. \n"
                "! 0. 0. \n"
                "\n"
                "STOP \n");

  EXPECT_EQ(p.fixedh.str(),
            "C(1)        1      0.100000    0.200000    0.300000     1.00000   0.0200\n"
            "H(1)        2      0.150000    0.250000    0.350000     1.00000   0.0500\n");
}

// MoPro lists the populations of a fully occupied site: the stored ones carry
// the occupancy and are divided by it again; an empty site prints zeros.
TEST(ParameterFiles, MoproAtomBlock) {
  const std::string heavy_pops =
      " 4.10000 0.05000  0.160  0.140  0.150  0.250  0.260  0.240  0.270  0.230\n"
      "  0.350  0.360  0.340  0.370  0.330  0.380  0.320\n"
      "  0.450  0.460  0.440  0.470  0.430  0.480  0.420  0.490  0.410\n";
  const std::string uani = "UANI     0.020000  0.030000  0.025000  0.001000 -0.002000  0.003000\n";
  const std::string axes = pad(kHeavyAxes, 90);
  struct Row {
    const char* why;
    const char* label;
    float occ;
    std::string block;
  };
  const Row rows[] = {
      {"H(1) names a hydrogen: UISO and the first population line only", "H(1)", 1.0f,
       pad("ATOM   1 H1        MOL   1    0.100000    0.200000    0.300000 1.000  1 H", 82) + axes +
           "UISO     0.020000\n"
           " 4.10000 0.05000  0.160  0.140  0.150  0.250  0.260  0.240  0.270  0.230\n"},
      {"H1 has no bracket: its element name is H1, so it is treated as a heavy atom", "H1", 1.0f,
       pad("ATOM   1 H1        MOL   1    0.100000    0.200000    0.300000 1.000  1 H1", 82) +
           axes + uani + heavy_pops},
      {"half occupied: the stored halves print whole", "C(2)", 0.5f,
       pad("ATOM   1 C2        MOL   1    0.100000    0.200000    0.300000 0.500  1 C", 82) +
           axes + uani + heavy_pops},
      {"empty site: zeros, no division by zero", "C(3)", 0.0f,
       pad("ATOM   1 C3        MOL   1    0.100000    0.200000    0.300000 0.000  1 C", 82) +
           axes + uani +
           " 0.00000 0.00000  0.000  0.000  0.000  0.000  0.000  0.000  0.000  0.000\n"
           "  0.000  0.000  0.000  0.000  0.000  0.000  0.000\n"
           "  0.000  0.000  0.000  0.000  0.000  0.000  0.000  0.000  0.000\n"},
  };
  for (const Row& row : rows) {
    ParamRun p;
    p.add({row.label, {0.1f, 0.2f, 0.3f}, row.occ, 2, 1, kAniso, {}, stored_poles(row.occ, 4.1f),
           kHeavyAxes, ""});
    write_parameter_files(p.run);
    const std::string all = from_atom_block(p.mopro.str());
    EXPECT_EQ(all.substr(0, all.find("\n\n") + 1), row.block) << row.why;
  }
}

// Dummy atoms are D1, D2, ... in MoPro, with no field width to overflow.
TEST(ParameterFiles, TwelveMoproDummies) {
  ParamRun p;
  for (int j = 1; j <= 12; ++j)
    p.run.axes.dummy.dum.push_back({"DUM" + std::to_string(j),
                                    {static_cast<float>(j) / 10.0f, 0.5f, -0.25f}});
  write_parameter_files(p.run);
  const std::string text = p.mopro.str();
  EXPECT_EQ(text.rfind("DUMMY  12\nDUMY     0.100000    0.500000   -0.250000  D1 0\n", 0), 0u);
  EXPECT_NE(text.find("\nDUMY     1.000000    0.500000   -0.250000  D10 0\n"
                      "DUMY     1.100000    0.500000   -0.250000  D11 0\n"
                      "DUMY     1.200000    0.500000   -0.250000  D12 0\n\nKAPPA   0\n"),
            std::string::npos);
  EXPECT_NE(p.kqinp.str().find("USAGE    0 2 4    0 0 1 0 0    0 0 0 0 0   12\n"),
            std::string::npos);
}

// con_mopro.inp keeps only the CONPVM rows, commented out, and
// res_mopro.inp only the URATIO rows, each in row order.
TEST(ParameterFiles, SimilarityAndRestraintSections) {
  const std::string similarity_head = "!\n! similarity (switched-off)\n!\n";
  const std::string tail = "!\n! end\n!\n";
  const std::string restraint_head = "!\n! isotropic H atoms ADPs\n!\n";
  const std::string conpvm2 = "! CONPVM  C2          1 C1         1";
  const std::string conpvm4 = "! CONPVM  C4          1 C3         1";
  const std::string uratio = "URATIO  H1      C1      1.200   0.010";
  struct Row {
    const char* why;
    std::vector<std::string> mcon;
    std::vector<std::string> cons;
    std::string con_text;
    std::string res_text;
  };
  const Row rows[] = {
      {"no equivalent atoms, no hydrogens: comment lines only", {"", "", "", ""}, {},
       similarity_head + tail, restraint_head + tail},
      {"rows in atom order, a row of another kind skipped",
       {"", conpvm2, "  " + conpvm4.substr(2), conpvm4},
       {"", uratio, "DISTAN H1 C1"},
       similarity_head + pad(conpvm2, 90) + pad(conpvm4, 90) + tail,
       restraint_head + pad(uratio, 100) + tail},
  };
  for (const Row& row : rows) {
    ParamRun p;
    for (const std::string& mcon : row.mcon)
      p.add({"C", {}, 1.0f, 2, 1, kAniso, {}, {}, kHeavyAxes, mcon.c_str()});
    p.run.xh.cons = row.cons;
    write_parameter_files(p.run);
    finish_res_mopro(p.run);
    EXPECT_EQ(p.con.str(), row.con_text) << row.why;
    EXPECT_EQ(p.res.str(), row.res_text) << row.why;
  }
}

// Which files a whole run writes: the KQ parameter file and the MoPro atom
// sections only with the databank, EXTEND_H or TOKQ; fixedH.ins only with
// EXTEND_H.
TEST(ParameterFiles, WhatAWholeRunWrites) {
  const std::string water =
      "TITL water\n"
      "CELL 0.71073 8.0 8.0 8.0 90 90 90\n"
      "LATT -1\n"
      "SFAC H O\n"
      "UNIT 2 1\n"
      "FVAR 1.0\n"
      "O1    2  0.500000  0.500000  0.500000 11.00000 0.02\n"
      "H1    1  0.500000  0.500000  0.620000 11.00000 0.03\n"
      "H2    1  0.614000  0.500000  0.460000 11.00000 0.03\n"
      "END\n";
  struct Row {
    const char* why;
    std::string control;
    bool parameter_files;
    bool fixed_h;
  };
  const Row rows[] = {
      {"neither databank, EXTEND_H nor TOKQ", "FORMAT *shelx\nINPUT water.ins\n", false, false},
      {"TOKQ conversion", "FORMAT *shelx\nINPUT water.ins *tokq\n", true, false},
      {"EXTEND_H", "FORMAT *shelx\nINPUT water.ins\nEXTEND_H\n", true, true},
  };
  for (const Row& row : rows) {
    testing::ScratchDir dir;
    testing::write_file("water.ins", water);
    testing::write_file("tesk.inp", row.control);
    const auto r = testing::run_tesk_binary();
    ASSERT_EQ(r.status, 0) << row.why << "\n" << r.console;
    EXPECT_EQ(fs::exists("kq_tesk.inp"), row.parameter_files) << row.why;
    EXPECT_EQ(fs::exists("fixedH.ins"), row.fixed_h) << row.why;
    const std::string mopro = testing::read_file("mopro_tesk.par");
    const std::string con = testing::read_file("con_mopro.inp");
    if (row.parameter_files) {
      EXPECT_NE(mopro.find("\nATOMS    3\n"), std::string::npos) << row.why;
      EXPECT_TRUE(mopro.ends_with("\n\nSTOP \n")) << row.why;
      EXPECT_TRUE(con.ends_with("\n!\n! end\n!\n")) << row.why;
    } else {
      EXPECT_EQ(mopro.find("DUMMY"), std::string::npos) << row.why;
      EXPECT_TRUE(mopro.ends_with("\nEXTIN  0.0  GAUSSIAN  ISOT  TYP1\n\n")) << row.why;
      EXPECT_EQ(con.find("similarity"), std::string::npos) << row.why;
    }
    if (row.fixed_h) {
      const std::string fixed = testing::read_file("fixedH.ins");
      // After the 8-character label: scattering type 2 (O), position, occupancy, U11.
      EXPECT_EQ(fixed.substr(8, fixed.find('\n') - 7),
                "    2      0.500000    0.500000    0.500000     1.00000   0.0200\n");
      EXPECT_EQ(std::count(fixed.begin(), fixed.end(), '\n'), 3);
    }
  }
}

// kq_tesk.inp is read by column: a number beyond its field stops the run
// before the file is opened, never a field of asterisks.
TEST(ParameterFiles, KqColumnsTooNarrowStopTheRun) {
  const std::tuple<int, int, const char*> rows[] = {  // atoms + 1 dummy, kappa scattering type
      {99999, 999, ""}, {100000, 1, "atom or dummy number 100000 does not fit its I5 column"},
      {10, 1000, "scattering type of a kappa set 1000 does not fit its I3 column"}};
  for (const auto& [last, sftype, stop] : rows) {
    ParamRun p;
    p.run.atoms.natoms = last - 1;
    p.run.axes.dummy.dum.resize(1);
    p.kappa(sftype, 1.0f, 1.0f);
    std::string message;
    try { check_kq_columns(p.run); } catch (const FatalError& e) { message = e.message(); }
    EXPECT_TRUE(*stop ? message.find(stop) != std::string::npos : message.empty()) << message;
  }
}

}  // namespace
}  // namespace tesk
