// The elimination of open atoms against the plain algorithm: every cycle
// recounts every pair of the current list. Random boxes, polymer chains and
// scattered atoms must give the same printout, list and connectivity.
#include <gtest/gtest.h>

#include <random>

#include "connectivity/molecules.hpp"
#include "connectivity/rings.hpp"
#include "format/fortran_format.hpp"
#include "structure/cell.hpp"
#include "test_support.hpp"

namespace tesk {
namespace {

using testing::MoleculeRun;

struct Reduced {
  std::string log;
  std::vector<int> newat;
  std::vector<std::vector<int>> icon;
};

std::string table(const Run& run, const std::vector<int>& list,
                  const std::vector<std::vector<int>>& icon) {
  std::string out;
  for (std::size_t p = 0; p < list.size(); ++p) {
    std::vector<FArg> items{static_cast<int>(p + 1), run.atoms.at(list[p]).label};
    for (int q : icon[p]) items.emplace_back(run.atoms.at(list[static_cast<std::size_t>(q - 1)]).label);
    out += ffmt("(i7,1x,a8,' -',10(1x,a8))", items);
  }
  return out;
}

// The quadratic elimination, verbosity 3.
Reduced plain_elimination(const Run& run) {
  Reduced r;
  r.log = "\n" + std::string(80, '-') + "\n\n CREATING CONNECTIVITY TABLE AND ELIMINATING OPEN ATOMS\n";
  for (int a = 1; a <= run.cryst.nall; ++a) r.newat.push_back(a);
  const float tol1 = run.opt.tol1();
  for (int cycle = 0;; ++cycle) {
    const std::size_t n = r.newat.size();
    r.log += ffmt("(/' **** ELIMINATION CYCLE =',i5,5x,'NUMBER OF ATOMS =',i7)",
                  {cycle, static_cast<int>(n)});
    r.icon.assign(n, {});
    for (std::size_t p = 0; p < n; ++p) {
      const Atom& a = run.atoms.at(r.newat[p]);
      if (a.flag == -1) continue;
      for (std::size_t q = 0; q < n; ++q) {
        const Atom& b = run.atoms.at(r.newat[q]);
        if (q != p && dist(a.xc, b.xc) <= run.covrad[static_cast<std::size_t>(a.iz)] +
                                              run.covrad[static_cast<std::size_t>(b.iz)] + tol1)
          r.icon[p].push_back(static_cast<int>(q + 1));
      }
    }
    if (cycle == 0) r.log += table(run, r.newat, r.icon);
    std::vector<int> kept;
    for (std::size_t p = 0; p < n; ++p)
      if (r.icon[p].size() >= 2) kept.push_back(r.newat[p]);
    const int removed = static_cast<int>(n - kept.size());
    r.log += ffmt("(8x,'NUMBER OF ATOMS REMOVED FROM THE TABLE = ',i7)", {removed});
    if (removed == 0) break;
    r.newat = kept;
  }
  r.log += "\n CONNECTIVITY TABLE AFTER THE FINAL ELIMINATION CYCLE :\n" + table(run, r.newat, r.icon);
  return r;
}

void expect_same_as_plain(MoleculeRun& m, const std::string& what) {
  testing::ScratchDir dir;
  m.run.opt.verbosity = 3;
  const Reduced expected = plain_elimination(m.run);
  connect4rings(m.run);
  EXPECT_EQ(m.run.ringsearch.newat, expected.newat) << what;
  EXPECT_EQ(m.run.ringsearch.icon, expected.icon) << what;
  EXPECT_EQ(m.log.str(), expected.log) << what;
}

const int kElements[] = {1, 1, 6, 6, 6, 7, 8, 16};

TEST(RingElimination, RandomBoxesMatchThePlainAlgorithm) {
  for (unsigned seed : {1u, 2u, 3u, 4u}) {
    std::mt19937 gen(seed);
    std::uniform_real_distribution<float> coord(0.0f, 14.0f);
    std::uniform_int_distribution<int> element(0, 7);
    std::uniform_int_distribution<int> percent(0, 99);
    MoleculeRun m;
    for (int i = 1; i <= 350; ++i)
      m.add("A" + std::to_string(i), kElements[element(gen)], coord(gen), coord(gen), coord(gen),
            percent(gen) < 4 ? -1 : 0);
    expect_same_as_plain(m, "seed " + std::to_string(seed));
  }
}

TEST(RingElimination, BranchedChainsAndScatteredAtoms) {
  // Zig-zag chains with side chains peel from their open ends, one atom
  // per cycle, over many cycles; the first one hangs on a benzene ring. A
  // second structure spreads atoms over 10^5 A with some exact duplicates,
  // which are bonded (distance 0 is within any limit).
  std::mt19937 gen(7);
  std::uniform_real_distribution<float> jitter(-0.05f, 0.05f);
  MoleculeRun chains;
  testing::add_benzene(chains, 1.39f, 0.0f, false, 1);
  int n = 6;
  for (int strand = 0; strand < 4; ++strand) {
    const float y0 = 6.0f * static_cast<float>(strand);
    for (int i = 0; i < 45; ++i) {
      const float x = 2.9f + 1.25f * static_cast<float>(i), y = y0 + (i % 2 == 1 ? 0.85f : 0.0f);
      chains.add("C" + std::to_string(++n), 6, x + jitter(gen), y + jitter(gen), jitter(gen));
      if (i % 10 == 5) {
        for (int k = 1; k <= 3; ++k)
          chains.add("C" + std::to_string(++n), 6, x, y, 1.5f * static_cast<float>(k) + jitter(gen));
      }
    }
  }
  expect_same_as_plain(chains, "chains");

  MoleculeRun scattered;
  std::uniform_real_distribution<float> far(-5e4f, 5e4f);
  for (int i = 1; i <= 200; ++i) {
    const Vec3 x{far(gen), far(gen), far(gen)};
    scattered.add("X" + std::to_string(i), 6, x[0], x[1], x[2]);
    if (i % 3 == 0) {
      scattered.add("Y" + std::to_string(i), 6, x[0], x[1], x[2]);
      scattered.add("Z" + std::to_string(i), 8, x[0] + 1.2f, x[1], x[2]);
    }
  }
  expect_same_as_plain(scattered, "scattered");
}

}  // namespace
}  // namespace tesk
