// The databank file as the reader sees it: entry headers, records split into
// keyword words and numbers, free-atom valence populations, and the shipped
// example databank against the aspirin molecule.
#include <gtest/gtest.h>

#include "connectivity/neighbours.hpp"
#include "connectivity/rings.hpp"
#include "databank/functional_groups.hpp"

#include <cmath>

#include "connectivity/neighbours.hpp"
#include "databank/databank.hpp"
#include "databank_fixture.hpp"
#include "test_support.hpp"

namespace tesk {
namespace {

TEST(DatabankFile, FreeAtomValencePopulations) {
  // The valence shells of the scattering table: electrons outside the last
  // noble-gas core, the d shell included (Fe 3d6 4s2 = 8, Zn 3d10 4s2 = 12,
  // In 4d10 5s2 5p1 = 13); iodine alone has 4d in its core (5s2 5p5 = 7).
  const std::pair<int, float> rows[] = {
      {1, 1.0f},   {2, 2.0f},   {6, 4.0f},   {7, 5.0f},   {8, 6.0f},  {17, 7.0f},
      {26, 8.0f},  {30, 12.0f}, {35, 17.0f}, {44, 8.0f},  {49, 13.0f}, {53, 7.0f},
      {56, 2.0f},  {79, 25.0f}, {92, 6.0f},  {96, 10.0f}, {98, 12.0f}, {0, 0.0f}};
  for (auto [z, pv] : rows) EXPECT_EQ(pval(z), pv) << "Z = " << z;
}

TEST(DatabankFile, FirstNonBlankColumn) {
  EXPECT_EQ(ifs("  carboxylic  "), 3);
  EXPECT_EQ(ifs("x"), 1);
  EXPECT_EQ(ifs("     "), 0);
  EXPECT_EQ(ifs(""), 0);
}

TEST(DatabankFile, RecordSplitting) {
  // Keyword words are upper-cased and cut to 8 characters; the numbers stay.
  DbRecord neig = split_record("neig  nei 3  typ 2  ring 1  memb 6   mm2  planarity t");
  ASSERT_EQ(neig.kword.size(), 8u);
  EXPECT_EQ(neig.word(1), "NEIG    ");
  EXPECT_EQ(neig.word(6), "MM2     ");
  EXPECT_EQ(neig.word(7), "PLANARIT");
  EXPECT_EQ(neig.word(8), "T       ");
  EXPECT_EQ(neig.word(9), "        ");
  EXPECT_TRUE(neig.keyword_is("NEIG"));
  EXPECT_EQ(neig.ints, (std::vector<int>{3, 2, 1, 6}));
  EXPECT_EQ(neig.nnum, 4);

  // Reals may carry D or sign-only exponents; an integer read stops at them.
  DbRecord pval_rec = split_record("PVAL  4.05 1.0D0 8.9-1 .06");
  EXPECT_EQ(pval_rec.reals.size(), 4u);
  EXPECT_FLOAT_EQ(pval_rec.reals[2], 0.89f);
  EXPECT_TRUE(pval_rec.ints.empty());
  EXPECT_TRUE(pval_rec.ints_stop_bad);

  DbRecord blank = split_record("");
  EXPECT_EQ(blank.word(1), "        ");
  EXPECT_FALSE(blank.keyword_is("PLMS"));
}

TEST(DatabankFile, HeadersAreIndexedByElementInFileOrder) {
  Databank bank;
  bank.load(testing::split_lines(R"(! comment
ATOM  6  first carbon
NEIG 3 2 0 0
ATOM  1  hydrogen
  ATOM 6 indented: not a header
atom 6 lower case: not a header
ATOM  6  second carbon
ATOM  C  unreadable atomic number
ATOM
ATOMS 8 oxygen
)"),
            "x.db");
  EXPECT_EQ(bank.headers.at(6), (std::vector<std::size_t>{1, 6}));
  EXPECT_EQ(bank.headers.at(1), (std::vector<std::size_t>{3}));
  EXPECT_EQ(bank.headers.at(8), (std::vector<std::size_t>{9}));
  EXPECT_EQ(bank.bad_headers, (std::vector<std::size_t>{7, 8}));
  // A carbon search stops at carbon headers and at unreadable ones.
  auto h = bank.next_header(6, 2);
  ASSERT_TRUE(h);
  EXPECT_EQ(h->line, 6u);
  EXPECT_TRUE(h->readable);
  h = bank.next_header(6, 7);
  ASSERT_TRUE(h);
  EXPECT_EQ(h->line, 7u);
  EXPECT_FALSE(h->readable);
  EXPECT_FALSE(bank.next_header(6, 10));
  EXPECT_EQ(bank.next_noncomment(0), 1u);
}

TEST(DatabankFile, LoadFromFile) {
  testing::ScratchDir dir;
  testing::write_file("bank.db", "ATOM 6 C\r\nNEIG 1 1 0 0\r\n" + std::string(250, 'x') + "\n");
  tesk::Run run;
  EXPECT_FALSE(load_databank(run, "missing.db"));
  ASSERT_TRUE(load_databank(run, "bank.db"));
  ASSERT_EQ(run.db.bank.size(), 3u);
  EXPECT_EQ(run.db.bank.raw[0], "ATOM 6 C");  // carriage return dropped
  EXPECT_EQ(run.db.bank.raw[2].size(), 200u);  // lines are read into 200 columns
  EXPECT_EQ(run.db.bank.path, "bank.db");
}

// Aspirin (P2(1)/c, a 11.492 b 6.621 c 11.453 Angstrom, beta 95.615 deg).
struct AspirinAtom {
  const char* label;
  int z;
  float x, y, zf;
  const char* sitesym;
  int iring;
  bool lpg;
  const char* group;
  std::array<int, 3> forh;
  const char* entry;  // comment of the example databank entry it takes
};

const AspirinAtom kAspirin[] = {
    {"O2", 8, 0.879181f, 0.140375f, 0.051044f, "m", 0, true, "carboxylic", {}, "hydroxyl oxygen of a carboxylic acid"},
    {"H2", 1, 0.925036f, 0.046729f, 0.065472f, "cyl", 0, true, "carboxylic", {2, 8, 1}, "carboxylic acid hydrogen, O-H...O"},
    {"O3", 8, 0.714314f, 0.411976f, 0.087940f, "m", 0, true, "ester", {}, "bridging ester oxygen, aryl-O-C(=O)"},
    {"C2", 6, 0.846429f, 0.436128f, -0.067477f, "m", 1, true, "", {}, "aromatic carbon carrying a carbon substituent (C-COOH)"},
    {"O1", 8, 0.989649f, 0.187859f, -0.096470f, "m", 0, true, "carboxylic", {}, "carbonyl oxygen of a carboxylic acid"},
    {"C3", 6, 0.883500f, 0.550173f, -0.159841f, "m", 1, true, "", {}, "aromatic C-H carbon, six-membered planar ring"},
    {"H3", 1, 0.945193f, 0.503717f, -0.199359f, "cyl", 0, true, "", {3, 6, 1}, "hydrogen on an aromatic carbon"},
    {"C7", 6, 0.910013f, 0.242812f, -0.037585f, "m", 0, true, "carboxylic", {}, "carboxylic acid carbon, C(=O)OH on a ring"},
    {"C1", 6, 0.754688f, 0.511841f, -0.009478f, "m", 1, true, "phenolic", {}, "aromatic carbon of an aryl ester (C-O-C=O)"},
    {"C6", 6, 0.701446f, 0.694836f, -0.041608f, "m", 1, true, "", {}, "aromatic C-H carbon, six-membered planar ring"},
    {"H6", 1, 0.640709f, 0.743710f, -0.001563f, "cyl", 0, true, "", {3, 6, 1}, "hydrogen on an aromatic carbon"},
    {"O4", 8, 0.596499f, 0.219939f, -0.034410f, "m", 0, true, "", {}, "carbonyl oxygen of an ester, C=O"},
    {"C5", 6, 0.739822f, 0.803914f, -0.134050f, "m", 1, true, "", {}, "aromatic C-H carbon, six-membered planar ring"},
    {"H5", 1, 0.704633f, 0.926467f, -0.155929f, "cyl", 0, true, "", {3, 6, 1}, "hydrogen on an aromatic carbon"},
    {"C8", 6, 0.634563f, 0.262008f, 0.063872f, "m", 0, true, "anhydride", {}, "acetyl ester carbonyl carbon, C(=O)O-aryl"},
    {"C4", 6, 0.829521f, 0.731819f, -0.193418f, "m", 1, true, "", {}, "aromatic C-H carbon, six-membered planar ring"},
    {"H4", 1, 0.854077f, 0.804532f, -0.256010f, "cyl", 0, true, "", {3, 6, 1}, "hydrogen on an aromatic carbon"},
    {"C9", 6, 0.602602f, 0.163875f, 0.172952f, "3m", 0, false, "", {}, "methyl carbon bonded to a carbon (CH3-C)"},
    {"H9A", 1, 0.571182f, 0.263181f, 0.222267f, "cyl", 0, true, "", {4, 6, 3}, "methyl hydrogen"},
    {"H9C", 1, 0.670926f, 0.103865f, 0.213827f, "cyl", 0, true, "", {4, 6, 3}, "methyl hydrogen"},
    {"H9B", 1, 0.545047f, 0.061174f, 0.153241f, "cyl", 0, true, "", {4, 6, 3}, "methyl hydrogen"},
};

TEST(DatabankFile, ExampleDatabankCoversEveryAspirinAtom) {
  testing::Molecules m;  // its molecules are replaced by aspirin
  tesk::Run& run = m.run;
  run.atoms = AtomTable{};
  const float a = 11.492f, b = 6.621f, c = 11.453f;
  const float beta = 95.615f * 3.14159265f / 180.0f;
  for (const AspirinAtom& at : kAspirin) {
    int i = run.atoms.append("test");
    Atom& atom = run.atoms.at(i);
    atom.label = fixed_width(at.label, 8);
    atom.iz = at.z;
    atom.occ = 1.0f;
    // a along x, b along y, c in the x-z plane
    atom.xc = {a * at.x + c * std::cos(beta) * at.zf, b * at.y, c * std::sin(beta) * at.zf};
  }
  run.atoms.natoms = run.atoms.size();
  run.cryst.nall = run.atoms.natoms;
  run.db.except.assign(std::size(kAspirin), ExceptRow{});
  run.db.forh.assign(std::size(kAspirin), {0, 0, 0});
  ASSERT_TRUE(load_databank(run, testing::source_dir() + "/examples/example.db"));
  // The group names the entries ask for are the ones the functional-group
  // rules give these atoms.
  run.opt.ring1 = {3, 8, 0};
  connect4rings(run);
  findrings(run);
  findallneighbors(run);

  for (int i = 1; i <= run.atoms.natoms; ++i) {
    const AspirinAtom& at = kAspirin[i - 1];
    detexcept(run, i);
    EXPECT_EQ(trim_right(run.db.except[static_cast<std::size_t>(i - 1)].group), at.group) << at.label;
    m.group(i, at.group);
    run.db.forh[static_cast<std::size_t>(i - 1)] = at.forh;
    m.environment(i, at.sitesym, at.iring, at.iring == 1 ? 6 : 0, at.lpg);
    readdb(run, i);
    EXPECT_EQ(m.found_comment(), at.entry) << at.label;
  }
  EXPECT_EQ(run.opt.ldb_count, (std::array<int, 3>{21, 21, 0}));
}

}  // namespace
}  // namespace tesk
