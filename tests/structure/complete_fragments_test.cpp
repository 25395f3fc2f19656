// Fragment completion by symmetry: molecules on inversion centres, chains
// along an axis, duplicates, the log list and complete.ang, and agreement of
// the incremental search with the restart-from-the-beginning scan.
#include "structure/complete_fragments.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <functional>
#include <random>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "core/errors.hpp"
#include "model/run.hpp"
#include "structure/cell.hpp"
#include "model/elements.hpp"
#include "structure/symmetry.hpp"
#include "structure/shelx_fixture.hpp"
#include "test_support.hpp"

namespace tesk {
namespace {

using testing::ScratchDir;

struct FracSite {
  std::string label;
  int z;
  Vec3 xf;
  float occ = 1.0f;
  int flag = 0;
};

SymOp make_op(std::array<std::array<float, 3>, 3> rot, std::array<float, 3> trn = {0, 0, 0}) {
  SymOp op;
  op.rot = rot;
  op.trn = trn;
  return op;
}

const SymOp kIdentity = make_op({{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}});
const SymOp kInversion = make_op({{{-1, 0, 0}, {0, -1, 0}, {0, 0, -1}}});
// P2(1)/c, unique axis b: -x, y+1/2, -z+1/2 and x, -y+1/2, z+1/2.
const SymOp kScrew = make_op({{{-1, 0, 0}, {0, 1, 0}, {0, 0, -1}}}, {0, 0.5f, 0.5f});
const SymOp kGlide = make_op({{{1, 0, 0}, {0, -1, 0}, {0, 0, 1}}}, {0, 0.5f, 0.5f});

// A monoclinic cell (alpha = gamma = 90) given by a, b, c and beta: x along
// a, y along b, z completing a right-handed set.
void set_cell(Run& run, float a, float b, float c, float beta_deg = 90.0f) {
  float beta = beta_deg * 0.017453292f;
  Mat3 m{{{a, 0, c * std::cos(beta)}, {0, b, 0}, {0, 0, c * std::sin(beta)}}};
  if (beta_deg == 90.0f) m[0][2] = 0.0f;
  run.transf.frac_to_cart = m;
  run.transf.cart_to_frac = inverse(m);
}

void fill(Run& run, const std::vector<FracSite>& sites, std::vector<SymOp> ops, int ncells) {
  for (int z = 0; z < static_cast<int>(run.covrad.size()); ++z)
    run.covrad[static_cast<std::size_t>(z)] = covrad_table(z);
  run.symm.ops = std::move(ops);
  run.opt.compfrag = ncells;
  for (const FracSite& s : sites) {
    Atom& a = run.atoms.at(run.atoms.append("test"));
    a.label = s.label;
    a.label.resize(8, ' ');
    a.iz = s.z;
    a.xf = s.xf;
    a.xc = rabs(run.transf, 0, s.xf);
    a.occ = s.occ;
    a.flag = s.flag;
  }
  run.atoms.natoms = static_cast<int>(sites.size());
}

std::vector<int> isq(const Run& run) { return run.cryst.isq; }
std::vector<int> nsq(const Run& run) { return run.cryst.nsq; }

// Half of an ethylene molecule whose C=C bond is cut by an inversion centre
// at the origin; cell edges of 10 Angstrom, so fractions are tenths of
// Angstroms.
void half_ethylene(Run& run, int ncells) {
  set_cell(run, 10.0f, 10.0f, 10.0f);
  fill(run,
       {{"C1", 6, {0.0667f, 0.0f, 0.0f}},
        {"H1", 1, {0.1232f, 0.0921f, 0.0f}},
        {"H2", 1, {0.1232f, -0.0921f, 0.0f}}},
       {kIdentity, kInversion}, ncells);
}

TEST(CompleteFragments, MoleculeOnInversionCentreLogAndPlatonFile) {
  ScratchDir dir;
  tesk::Run run;
  half_ethylene(run, 1);
  std::ostringstream log;
  run.out.log.attach(log);
  gencompletefrags(run);

  ASSERT_EQ(run.cryst.nall, 6);
  EXPECT_EQ(run.atoms.natoms, 3);
  EXPECT_EQ(isq(run), (std::vector<int>{0, 0, 0, 1, 2, 3}));
  EXPECT_EQ(nsq(run), (std::vector<int>{1, 1, 1, 0, 0, 0}));
  EXPECT_EQ(log.str(),
            "\n"
            " List of atoms in complete fragment(s) :\n"
            "\n"
            "       ATOM        ------ FRACTIONAL ------    ----- CARTESIAN -----     ISQ NSQ\n"
            "     1 C1          0.0667   0.0000   0.0000    0.667   0.000   0.000       0   1\n"
            "     2 H1          0.1232   0.0921   0.0000    1.232   0.921   0.000       0   1\n"
            "     3 H2          0.1232  -0.0921   0.0000    1.232  -0.921   0.000       0   1\n"
            "     4 C1         -0.0667   0.0000   0.0000   -0.667   0.000   0.000       1   0\n"
            "     5 H1         -0.1232  -0.0921   0.0000   -1.232  -0.921   0.000       2   0\n"
            "     6 H2         -0.1232   0.0921   0.0000   -1.232   0.921   0.000       3   0\n"
            "\n"
            " File with complete fragment(s) in PLATON format : complete.ang\n");
  EXPECT_EQ(testing::read_file("complete.ang"),
            "ATOM   C1               0.6670      0.0000      0.0000\n"
            "ATOM   H1               1.2320      0.9210      0.0000\n"
            "ATOM   H2               1.2320     -0.9210      0.0000\n"
            "ATOM   C1              -0.6670      0.0000      0.0000\n"
            "ATOM   H1              -1.2320     -0.9210      0.0000\n"
            "ATOM   H2              -1.2320      0.9210      0.0000\n");
}

// Oxalic acid, HOOC-COOH, with its C-C bond across the inversion centre of
// P2(1)/c; the other operators place whole molecules 2.8 Angstrom away.
void half_oxalic_acid(Run& run, int ncells) {
  set_cell(run, 5.3f, 6.1f, 5.6f);
  auto frac = [](float x, float y, float z) { return Vec3{x / 5.3f, y / 6.1f, z / 5.6f}; };
  fill(run,
       {{"C1", 6, frac(0.77f, 0, 0)},
        {"O1", 8, frac(1.37f, 1.05f, 0)},
        {"O2", 8, frac(1.37f, -1.1f, 0)},
        {"H1", 1, frac(2.33f, -1.1f, 0)}},
       {kIdentity, kInversion, kScrew, kGlide}, ncells);
}

TEST(CompleteFragments, AcidOnInversionCentreGetsOneCopyPerAtom) {
  for (int ncells : {0, 1}) {
    ScratchDir dir;
    tesk::Run run;
    half_oxalic_acid(run, ncells);
    gencompletefrags(run);
    ASSERT_EQ(run.cryst.nall, 8) << "NCELLS " << ncells;
    EXPECT_EQ(nsq(run), (std::vector<int>{1, 1, 1, 1, 0, 0, 0, 0}));
    EXPECT_EQ(isq(run), (std::vector<int>{0, 0, 0, 0, 1, 2, 3, 4}));
    for (int k = 5; k <= 8; ++k) {
      const Atom& copy = run.atoms.at(k);
      const Atom& source = run.atoms.at(k - 4);
      EXPECT_EQ(copy.label, source.label);
      EXPECT_EQ(copy.iz, source.iz);
      for (std::size_t c = 0; c < 3; ++c) EXPECT_EQ(copy.xf[c], -source.xf[c]);
    }
    EXPECT_TRUE(std::filesystem::exists("complete.ang"));
  }
}

// Structures whose images bond to nothing: no copies, no log lines and no
// complete.ang.
TEST(CompleteFragments, NothingBondsToTheImages) {
  const std::vector<std::vector<FracSite>> cases = {
      // An isolated chlorine in a 10 Angstrom cell.
      {{"CL1", 17, {0.2f, 0.3f, 0.4f}}},
      // Formic acid read whole; its inversion partner faces it with O-H...O
      // bridges (H...O 1.62 Angstrom, beyond the O-H limit of 1.33).
      {{"C1", 6, {0.19f, 0.0f, 0.0f}},
       {"O1", 8, {0.13f, 0.105f, 0.0f}},
       {"O2", 8, {0.13f, -0.11f, 0.0f}},
       {"H1", 1, {0.032f, -0.1081f, 0.0f}},
       {"H2", 1, {0.299f, 0.0f, 0.0f}}},
  };
  for (const auto& sites : cases) {
    ScratchDir dir;
    tesk::Run run;
    set_cell(run, 10.0f, 10.0f, 10.0f);
    fill(run, sites, {kIdentity, kInversion}, 1);
    std::ostringstream log;
    run.out.log.attach(log);
    gencompletefrags(run);
    EXPECT_EQ(run.cryst.nall, run.atoms.natoms);
    EXPECT_EQ(nsq(run), std::vector<int>(sites.size(), 0));
    EXPECT_EQ(log.str(), "");
    EXPECT_FALSE(std::filesystem::exists("complete.ang"));
  }
}

// A carbon chain along a: one atom per 1.5 Angstrom cell edge, only the
// identity operator. Each copy bonds to its neighbour one cell over, so the
// chain grows until the translation range runs out, the first acceptable
// image in scan order (u = -NCELLS first) coming first.
TEST(CompleteFragments, ChainGrowsToTheEndOfTheTranslationRange) {
  struct Case { int ncells; std::vector<float> x; };
  const Case cases[] = {
      {0, {0.0f}},
      {1, {0.0f, -1.0f, 1.0f}},
      {2, {0.0f, -1.0f, -2.0f, 1.0f, 2.0f}},
  };
  for (const Case& c : cases) {
    ScratchDir dir;
    tesk::Run run;
    set_cell(run, 1.5f, 10.0f, 10.0f);
    fill(run, {{"C1", 6, {0.0f, 0.5f, 0.5f}}}, {kIdentity}, c.ncells);
    gencompletefrags(run);
    ASSERT_EQ(run.cryst.nall, static_cast<int>(c.x.size())) << "NCELLS " << c.ncells;
    for (int k = 1; k <= run.cryst.nall; ++k)
      EXPECT_EQ(run.atoms.at(k).xf[0], c.x[static_cast<std::size_t>(k - 1)]) << "atom " << k;
    EXPECT_EQ(run.cryst.nsq[0], run.cryst.nall - 1);
  }
}

TEST(CompleteFragments, CopyOnAnotherAtomIsNotAdded) {
  // C1 and C2 1.5 Angstrom apart around the inversion centre: the image of
  // each falls on the other (within 0.001 Angstrom) unless C2 is moved off
  // by 0.002 Angstrom.
  struct Case { float offset; int nall; };
  for (Case c : {Case{0.0f, 2}, Case{0.0005f, 2}, Case{0.002f, 4}}) {
    ScratchDir dir;
    tesk::Run run;
    set_cell(run, 10.0f, 10.0f, 10.0f);
    fill(run, {{"C1", 6, {0.075f, 0, 0}}, {"C2", 6, {-0.075f - c.offset / 10.0f, 0, 0}}},
         {kIdentity, kInversion}, 1);
    gencompletefrags(run);
    EXPECT_EQ(run.cryst.nall, c.nall) << "offset " << c.offset;
  }
}

// With a bond tolerance of -1.5 Angstrom two carbons bond only within 0.04
// Angstrom and a hydrogen bonds to nothing. The inversion image of C1 at
// (-1, 0, 0) sits on H1 (0.0005 away), so it is refused although it bonds to
// C2 (0.03 away); the image of C2 at (1, 0, -0.03) bonds to C1 and is the one
// copy added.
TEST(CompleteFragments, ImageOnAnAtomWithoutBondingReachIsStillADuplicate) {
  ScratchDir dir;
  tesk::Run run;
  set_cell(run, 10.0f, 10.0f, 10.0f);
  fill(run,
       {{"C1", 6, {0.1f, 0, 0}}, {"H1", 1, {-0.1f, 0, 0.00005f}}, {"C2", 6, {-0.1f, 0, 0.003f}}},
       {kIdentity, kInversion}, 0);
  run.opt.tols[0] = -1.5f;
  gencompletefrags(run);
  ASSERT_EQ(run.cryst.nall, 4);
  EXPECT_EQ(isq(run), (std::vector<int>{0, 0, 0, 3}));
  EXPECT_EQ(run.atoms.at(4).xf, (Vec3{0.1f, 0.0f, -0.003f}));
}

// An octahedral Mg(H2O)6 core (Mg-O 2.07 Angstrom) on the inversion centre
// at the origin, three O read: each O gets its inversion partner through Mg,
// in whatever cell the file puts the molecule, on a cell face or across one.
TEST(CompleteFragments, MoleculeCompletesInWhateverCellItLies) {
  struct Case { Vec3 shift; float o3z; int ncells; };
  const Case cases[] = {{{0, 0, 0}, 0.207f, 1}, {{0, 0, 1}, 0.207f, 1}, {{0, 0, 1}, 0.207f, 0},
                        {{1, 0, 0}, 0.207f, 1}, {{0, 0, 1}, -0.207f, 1}, {{-3, 2, 1}, 0.207f, 0}};
  for (const Case& c : cases) {
    ScratchDir dir;
    tesk::Run run;
    set_cell(run, 10.0f, 10.0f, 10.0f);
    std::vector<FracSite> sites = {{"MG1", 12, {0, 0, 0}}, {"O1", 8, {0.207f, 0, 0}},
                                   {"O2", 8, {0, 0.207f, 0}}, {"O3", 8, {0, 0, c.o3z}}};
    for (FracSite& s : sites)
      for (std::size_t k = 0; k < 3; ++k) s.xf[k] += c.shift[k];
    fill(run, sites, {kIdentity, kInversion}, c.ncells);
    gencompletefrags(run);
    ASSERT_EQ(run.cryst.nall, 7) << c.shift[0] << " " << c.shift[2] << " " << c.ncells;
    EXPECT_EQ(isq(run), (std::vector<int>{0, 0, 0, 0, 2, 3, 4}));
    for (int k = 5; k <= 7; ++k)
      for (std::size_t j = 0; j < 3; ++j)
        EXPECT_NEAR(run.atoms.at(k).xf[j], 2.0f * c.shift[j] - run.atoms.at(k - 3).xf[j], 1e-5f);
  }
}

TEST(CompleteFragments, FullAtomTableStops) {
  // Two carbons 1.06 Angstrom apart beside an inversion centre, each bonded
  // to its own image, and 99997 atoms without a covalent radius 2 Angstrom
  // apart on a net far away: the first copy fills the table, the second
  // finds it full.
  ScratchDir dir;
  tesk::Run run;
  set_cell(run, 10.0f, 700.0f, 700.0f);
  std::vector<FracSite> sites = {{"C1", 6, {0.075f, 0, 0}}, {"C2", 6, {0, 0.75f / 700.0f, 0}}};
  for (int k = 0; k < 99997; ++k) {
    float y = 10.0f + 2.0f * static_cast<float>(k % 316);
    float z = 10.0f + 2.0f * static_cast<float>(k / 316);
    sites.push_back({"X", 0, {0.5f, y / 700.0f, z / 700.0f}});
  }
  fill(run, sites, {kIdentity, kInversion}, 0);
  try {
    gencompletefrags(run);
    FAIL();
  } catch (const FatalError& e) {
    EXPECT_EQ(e.routine(), "GenCompleteFrags");
    EXPECT_EQ(e.message(), "Too many atoms");
  }
  EXPECT_EQ(run.cryst.nall, kMaxAtoms);
}

// --- The incremental search equals the restart-from-the-beginning scan ---

float radius(const Run& run, int z) {
  return z >= 1 && z <= kMaxRadiusZ ? run.covrad[static_cast<std::size_t>(z)] : 0.0f;
}

// Every combination of read atom, operator and translation, in that nesting
// order; the first acceptable image is added and the scan starts again.
void plain_complete(Run& run) {
  Cryst& cr = run.cryst;
  const int natoms = run.atoms.natoms;
  const int n = run.opt.compfrag;
  cr.nall = natoms;
  cr.isq.assign(static_cast<std::size_t>(natoms), 0);
  cr.nsq.assign(static_cast<std::size_t>(natoms), 0);
  // Operator s searches -n..n cells about C - R C for every cell C holding a
  // read atom (`far` 0), and one cell beyond (`far` 1) the images of a
  // rotation that bond to a read atom on a site nothing inside reaches.
  auto far_from = [&](const SymOp& op, const int (&t)[3]) {
    int best = 99;
    for (int i = 1; i <= natoms; ++i) {
      int far = 0;
      for (int j = 0; j < 3; ++j) {
        float rc = 0.0f;
        for (int k = 0; k < 3; ++k) rc += op.rot[k][j] * std::floor(run.atoms.at(i).xf[k]);
        far = std::max(far, std::abs(t[j] - int(std::floor(run.atoms.at(i).xf[j]) - rc)) - n);
      }
      best = std::min(best, far);
    }
    return best;
  };
  std::map<std::array<int, 4>, int> codes;  // (s, u, v, w) -> far, 0 or 1
  for (int s = 1; s <= run.symm.nsym(); ++s)
    for (int u = -n - 4; u <= n + 4; ++u)
      for (int v = -n - 4; v <= n + 4; ++v)
        for (int w = -n - 4; w <= n + 4; ++w)
          if (int d = far_from(run.symm.ops[std::size_t(s - 1)], {u, v, w}); d <= 1)
            codes[{s, u, v, w}] = std::max(d, 0);
  auto frac = [&](int i, const std::array<int, 4>& c) {
    Vec3 x = apply_op(run.symm.ops[std::size_t(c[0] - 1)], run.atoms.at(i).xf);
    return Vec3{x[0] + float(c[1]), x[1] + float(c[2]), x[2] + float(c[3])};
  };
  auto image = [&](int i, const std::array<int, 4>& c) { return rabs(run.transf, 0, frac(i, c)); };
  auto limit = [&](int i, int j) {
    return run.opt.tol1() + radius(run, run.atoms.at(i).iz) + radius(run, run.atoms.at(j).iz);
  };
  std::set<std::array<int, 4>> beyond;
  for (int p = 1; p <= natoms; ++p)
    for (int i = 1; i <= natoms; ++i)
      for (const auto& [c, far] : codes) {
        const float d = dist(image(i, c), run.atoms.at(p).xc);
        if (far == 0 || run.symm.ops[std::size_t(c[0] - 1)].rot == kIdentity.rot || d < 0.001f ||
            d > limit(p, i))
          continue;
        bool reached = false;
        for (int j = 1; j <= natoms; ++j)
          for (const auto& [e, f] : codes)
            reached |= f == 0 && dist(image(j, e), image(i, c)) < 0.001f;
        if (!reached) beyond.insert(c);
      }
  auto first_acceptable = [&](int& src, Vec3& xf) {
    for (int i = 1; i <= natoms; ++i)
      for (const auto& [code, far] : codes) {
        const auto [s, u, v, w] = code;
        if ((s == 1 && u == 0 && v == 0 && w == 0) || (far != 0 && beyond.count(code) == 0))
          continue;
        const Atom& a = run.atoms.at(i);
        Vec3 c = image(i, code);
        if (dist(c, a.xc) < 0.001f) continue;
        bool dup = false, bonded = false;
        for (int j = 1; j <= cr.nall; ++j) {
          float d = dist(c, run.atoms.at(j).xc);
          dup = dup || d < 0.001f;
          bonded = bonded || d <= limit(j, i);
        }
        if (!dup && bonded) {
          src = i;
          xf = frac(i, code);
          return true;
        }
      }
    return false;
  };
  int src = 0;
  Vec3 xf{};
  while (first_acceptable(src, xf)) {
    int k = run.atoms.append("plain");
    Atom& copy = run.atoms.at(k);
    const Atom& a = run.atoms.at(src);
    copy.label = a.label;
    copy.iz = a.iz;
    copy.occ = a.occ;
    copy.flag = a.flag;
    copy.xf = xf;
    copy.xc = rabs(run.transf, 0, xf);
    cr.nall = k;
    cr.isq.push_back(src);
    cr.nsq.push_back(0);
    ++cr.nsq[static_cast<std::size_t>(src - 1)];
  }
}

// A few atoms in a small cell: bonded pairs, atoms on the inversion centre
// and on the screw axis, near-duplicates, elements without a radius.
void random_cell(Run& run, unsigned seed) {
  std::mt19937 rng(seed);
  std::uniform_real_distribution<float> unit(0.0f, 1.0f);
  float a = 4.0f + 4.0f * unit(rng), b = 4.0f + 4.0f * unit(rng), c = 4.0f + 4.0f * unit(rng);
  set_cell(run, a, b, c, seed % 2 == 0 ? 90.0f : 95.0f + 20.0f * unit(rng));
  std::vector<std::vector<SymOp>> groups = {
      {kIdentity}, {kIdentity, kInversion}, {kIdentity, kInversion, kScrew, kGlide}};
  const int elements[] = {1, 6, 6, 8, 17, 0, 57, 97};
  std::vector<FracSite> sites;
  int n = 2 + static_cast<int>(rng() % 4);
  for (int k = 0; k < n; ++k) {
    FracSite s{"A" + std::to_string(k + 1), elements[rng() % 8], {unit(rng), unit(rng), unit(rng)}};
    unsigned kind = rng() % 8;
    if (kind == 0) s.xf = {0.0f, 0.5f, 0.0f};  // on an inversion centre
    if (kind == 1) s.xf[0] = 0.0f, s.xf[2] = 0.25f;  // on the screw axis
    if (kind == 2 && k > 0) {  // bonded to the previous atom, 1.3 Angstrom along x
      s.xf = sites.back().xf;
      s.xf[0] += 1.3f / a;
    }
    if (kind == 3 && k > 0) {  // the previous atom again, 0.0005 Angstrom off
      s.xf = sites.back().xf;
      s.xf[1] += 0.0005f / b;
    }
    sites.push_back(s);
  }
  fill(run, sites, groups[rng() % 3], static_cast<int>(rng() % 2));
  run.opt.tols[0] = 0.2f + 0.6f * unit(rng);
}

TEST(CompleteFragments, IncrementalSearchEqualsRestartScan) {
  ScratchDir dir;
  int grown = 0;
  for (unsigned seed = 1; seed <= 150; ++seed) {
    tesk::Run fast, plain;
    random_cell(fast, seed);
    random_cell(plain, seed);
    gencompletefrags(fast);
    plain_complete(plain);
    ASSERT_EQ(fast.cryst.nall, plain.cryst.nall) << "seed " << seed;
    ASSERT_EQ(isq(fast), isq(plain)) << "seed " << seed;
    ASSERT_EQ(nsq(fast), nsq(plain)) << "seed " << seed;
    for (int k = 1; k <= fast.cryst.nall; ++k) {
      ASSERT_EQ(fast.atoms.at(k).xf, plain.atoms.at(k).xf) << "seed " << seed << " atom " << k;
      ASSERT_EQ(fast.atoms.at(k).xc, plain.atoms.at(k).xc);
      ASSERT_EQ(fast.atoms.at(k).label, plain.atoms.at(k).label);
    }
    if (fast.cryst.nall > fast.atoms.natoms) ++grown;
  }
  EXPECT_GT(grown, 30);  // the structures exercise completion, not just no-ops
}

TEST(CompleteFragments, IncrementalSearchEqualsRestartScanOnRealStructures) {
  // Half molecules on inversion centres (naphthalene, tetrazine), a partly
  // occupied solvent molecule in a C-centred cell, and two molecules already
  // whole (nothing to add).
  for (const char* name : {"naphthalene_p21a.res", "tetrazine_p21c.res",
                           "ch2cl2_c2c_fragment.ins", "zp2_pna21.ins"}) {
    testing::ShelxRun fast, plain;
    for (testing::ShelxRun* r : {&fast, &plain}) {
      readshelx(r->run, testing::structures_dir() + "/" + name, ShelxHeaders{});
      for (int z = 0; z < static_cast<int>(r->run.covrad.size()); ++z)
        r->run.covrad[static_cast<std::size_t>(z)] = covrad_table(z);
      r->run.opt.compfrag = 1;
    }
    ScratchDir dir;
    gencompletefrags(fast.run);
    plain_complete(plain.run);
    ASSERT_EQ(fast.run.cryst.nall, plain.run.cryst.nall) << name;
    EXPECT_EQ(isq(fast.run), isq(plain.run)) << name;
    for (int k = 1; k <= fast.run.cryst.nall; ++k)
      ASSERT_EQ(fast.run.atoms.at(k).xc, plain.run.atoms.at(k).xc) << name << " atom " << k;
  }
}

}  // namespace
}  // namespace tesk
