// The KQ master file after END ATOM: KEY codes by KEYGEN switches and site
// symmetry, KAPPA flags by the atoms of each set, the refinement controls
// and which sections each input format gets.
#include <gtest/gtest.h>

#include <sstream>

#include "model/run.hpp"
#include "output/kq_master.hpp"

namespace tesk {
namespace {

struct AtomRow {
  const char* label;  // 8 columns
  int iz;
  int flag;
  const char* sitesym;  // 5 columns
  int kappaset;
};

struct MasterRun {
  Run run;
  std::ostringstream kq;

  explicit MasterRun(const std::vector<AtomRow>& atoms) {
    run.out.kqmas.attach(kq);
    for (const AtomRow& given : atoms) {
      Atom& a = run.atoms.at(run.atoms.append("test"));
      a.label = given.label;
      a.iz = given.iz;
      a.flag = given.flag;
      a.sitesym = given.sitesym;
      run.db.kappaset.push_back(given.kappaset);
      run.db.nkappaset = std::max(run.db.nkappaset, given.kappaset);
    }
    run.atoms.natoms = run.atoms.size();
  }
};

using Keys = std::array<bool, 7>;  // XYZUIJ all ordered MULT all ordered kappas
const std::string kNoKey =
    "000 000000 0000000000 000000000000000 00 000 00000 0000000 000000000";

TEST(GetKey, CodeBySwitchesAndSite) {
  struct Row {
    const char* why;
    Keys keys;
    int lsx;
    AtomRow atom;
    std::string code;
  };
  const Keys all{true, true, false, true, true, false, false};
  const Keys ordered{true, false, true, true, false, true, false};
  const Row rows[] = {
      {"KEYGEN off fixes everything", {}, 0, {"C1      ", 6, 0, "m    ", 1}, kNoKey},
      {"carbon on a mirror: Pv, in-plane dipoles, the m-allowed higher terms", all, 0,
       {"C1      ", 6, 0, "m    ", 1},
       "111 111111 0000000000 000000000000000 10 110 10011 0110011 100110011"},
      {"hydrogen: isotropic U, cylindrical multipoles", all, 0, {"H1      ", 1, 0, "cyl  ", 1},
       "111 100000 0000000000 000000000000000 10 001 10000 1000000 100000000"},
      {"no symmetry refines every multipole", all, 0, {"O1      ", 8, 0, "NO   ", 1},
       "111 111111 0000000000 000000000000000 10 111 11111 1111111 111111111"},
      {"ordered: the disordered part stays fixed", ordered, 0, {"C9      ", 6, -1, "m    ", 1},
       kNoKey},
      {"ordered: an atom on a special position is refined", ordered, 0,
       {"C1      ", 6, 1, "mm2  ", 1},
       "111 111111 0000000000 000000000000000 10 001 10010 1001000 100100010"},
      {"a site symmetry outside the table keeps the multipoles fixed", all, 0,
       {"C1      ", 6, 0, "6mm  ", 1},
       "111 111111 0000000000 000000000000000 00 000 00000 0000000 000000000"},
      {"the label must match exactly: M is not m", all, 0, {"C1      ", 6, 0, "M    ", 1},
       "111 111111 0000000000 000000000000000 00 000 00000 0000000 000000000"},
      {"TOKQ keeps the multipoles fixed", all, 1, {"C1      ", 6, 0, "m    ", 1},
       "111 111111 0000000000 000000000000000 00 000 00000 0000000 000000000"},
      {"MULT alone", {false, false, false, true, true, false, false}, 0,
       {"S1      ", 16, 0, "-42m ", 1},
       "000 000000 0000000000 000000000000000 10 001 10000 0001000 100000010"},
  };
  for (const Row& row : rows) {
    MasterRun m({row.atom});
    m.run.opt.lkeys = row.keys;
    m.run.opt.lsx = row.lsx;
    EXPECT_EQ(getkey(m.run, 1), row.code) << row.why;
  }
}

// Kappa set 1: a carbon; set 2: hydrogens only; set 3: a hydrogen then an oxygen.
const std::vector<AtomRow> kThreeSets = {
    {"C1      ", 6, 0, "m    ", 1}, {"H1      ", 1, 0, "cyl  ", 2},
    {"H2      ", 1, 0, "cyl  ", 2}, {"H3      ", 1, 0, "cyl  ", 3},
    {"O1      ", 8, 0, "NO   ", 3},
};

TEST(KeyTable, KappaLinesByTheAtomsOfEachSet) {
  struct Row {
    const char* why;
    bool kappas;
    int lsx;
    std::string lines;
  };
  const Row rows[] = {
      {"kappa' only where a heavier atom shares the set", true, 0,
       "KAPPA   110000\nKAPPA   100000\nKAPPA   110000\n"},
      {"kappas off", false, 0, "KAPPA   000000\nKAPPA   000000\nKAPPA   000000\n"},
      {"TOKQ", true, 1, "KAPPA   000000\nKAPPA   000000\nKAPPA   000000\n"},
  };
  for (const Row& row : rows) {
    MasterRun m(kThreeSets);
    m.run.opt.ftype = 5;  // PLATON: the file ends with the KAPPA lines
    m.run.opt.lkeys = {false, false, false, true, false, false, row.kappas};
    m.run.opt.lsx = row.lsx;
    write_kq_master_tail(m.run);
    const std::string expected =
        "KEY     XYZ --U2-- ----U3---- ------U4------- M- -D- --Q-- ---O--- ----H----\n"
        "C1      " + kNoKey + "\nH1      " + kNoKey + "\nH2      " + kNoKey +
        "\nH3      " + kNoKey + "\nO1      " + kNoKey + "\n" + row.lines;
    EXPECT_EQ(m.kq.str(), expected) << row.why;
  }
}

const std::string kDashes =
    "!------------------------------------------------------------------------------\n";
// wrkqmas1 after its KEEP kappa line, with the weights of a file without WGHT.
const std::string kControlRest =
    "KEEP  charge group1\n"
    "!KEEP  rigid group1\n"
    "!RESET bond C(1) H(1) 1.09 ...\n"
    "WEIGHT     -2.00000    0.00000    0.00000    0.00000    0.00000    0.33333\n"
    "SKIP  obs 0. 1.d10 *sigobs 3. 1.d06 sinthl 0. 2.\n"
    "PRINT sinthl .0 2. obs 0. 15. delta 0. 10. *del% 80 100 extcn 80. 100. *abssc\n"
    "!EXTCN  *iso aniso *type_1 type_2 type_3 distr_g *distr_l msc_0  msc_1\n"
    "!DMSDA  1.1  1.8\n"
    "!FOUR  fmod1 4 2 0 0  fmod2 -1 2 0 0\n"
    "!CON  num1 par1/iat1 num2 par2/iat2 ... = num0\n" +
    kDashes;

TEST(ControlBlock, KeepLineTwentySetsToALine) {
  const std::string twenty =
      "KEEP  kappa    1   2   3   4   5   6   7   8   9  10  11  12  13  14  15  16  17  18"
      "  19  20 \\\n";
  struct Row {
    int nkappa;
    std::string keep;
  };
  const Row rows[] = {
      {1, "KEEP  kappa    1\n"},
      {20, twenty + "\n"},  // the continuation mark is followed by an empty line
      {21, twenty + "  21\n"},
  };
  for (const Row& row : rows) {
    MasterRun m({});
    wrkqmas1(m.run, m.run.out.kqmas, row.nkappa);
    EXPECT_EQ(m.kq.str(), kDashes + row.keep + kControlRest) << row.nkappa;
  }
}

std::vector<std::string> split_lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string l; std::getline(in, l);) lines.push_back(l);
  return lines;
}

TEST(Modules, JoinedLinesAndAtomCount) {
  MasterRun m({});
  m.run.atoms.natoms = 1234;
  wrkqmas2(m.run, m.run.out.kqmas);
  std::vector<std::string> lines = split_lines(m.kq.str());
  ASSERT_EQ(lines.size(), 61u);
  EXPECT_EQ(lines[15],
            "PROPERTY  *rho gradrho d2rho nucpot elpot core valence defden sigrho siglap esp ef "
            "efg");
  EXPECT_EQ(lines[35], "!LATEN  frag1 1 1234  *neutral");
  EXPECT_EQ(lines[45],
            "!MAP  bvect1 x1 y1 z1 bvect2 x2 y2 z2 cen x0 y0 z0 npts 50 stepsize 0.1");
  EXPECT_EQ(lines[49],
            "!CPSEARCH  shell ato(1) rmin 0.3 rmax 0.5 nrad 5 nang 11 11 cutoff 16.0");
  EXPECT_EQ(lines[56], std::string(79, '!'));
  EXPECT_EQ(lines[60], std::string(79, '!'));
}

TEST(KqMasterTail, SectionsByInputFormat) {
  const std::string key =
      "KEY     XYZ --U2-- ----U3---- ------U4------- M- -D- --Q-- ---O--- ----H----\n"
      "C1      " + kNoKey + "\nKAPPA   000000\n";
  const std::string tail = "EXTCN   0000000\nOVTHP   0\nSCALE   1\nEND KEY\n";
  const std::string shelx_head = kDashes + "KEEP  kappa    1\n" + kControlRest + key + tail +
                                 kDashes + "!\n   END KQLSM\n!\n!\n!\n   MODULE *KQPROP\n";
  const std::string modules_end = "   END  KQGEOM\n" + std::string(79, '!') + "\n";
  struct Row {
    int ftype;
    std::string head;  // the whole file when `end` is empty
    std::string end;
  };
  const Row rows[] = {
      {1, shelx_head, modules_end},
      {3, key + tail, ""},
      {5, key, ""},
  };
  for (const Row& row : rows) {
    MasterRun m({{"C1      ", 6, 0, "m    ", 1}});
    m.run.opt.ftype = row.ftype;
    write_kq_master_tail(m.run);
    const std::string text = m.kq.str();
    if (row.end.empty()) {
      EXPECT_EQ(text, row.head) << row.ftype;
    } else {
      EXPECT_TRUE(text.starts_with(row.head)) << row.ftype << "\n" << text;
      EXPECT_TRUE(text.ends_with(row.end)) << row.ftype;
      EXPECT_EQ(split_lines(text).size(), 13u + 3u + 4u + 5u + 61u) << row.ftype;
    }
  }
}

}  // namespace
}  // namespace tesk
