// The ring walk, which indexes the path and counts unwalked edges, against a
// plain walk that searches the path and the edge slots afresh every time, on
// random carbon networks.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "connectivity/molecules.hpp"
#include "connectivity/rings.hpp"
#include "test_support.hpp"

namespace tesk {
namespace {

using testing::MoleculeRun;

std::vector<std::vector<int>> plain_walk(std::vector<int> newat, std::vector<std::vector<int>> icon,
                                         int minsize, int maxsize) {
  const int n = static_cast<int>(newat.size());
  std::vector<std::vector<int>> rings;
  if (n < 3) return rings;
  int v = 0;
  for (int p = 1; p <= n && v == 0; ++p)
    if (icon[p - 1].size() >= 3) v = p;
  if (v > 1) {
    std::swap(newat[0], newat[v - 1]);
    std::swap(icon[0], icon[v - 1]);
    for (auto& c : icon)
      for (int& q : c) q = q == 1 ? v : (q == v ? 1 : q);
  }
  std::vector<std::vector<int>> choices(n + 1);
  for (int p = 1; p <= n; ++p) choices[p].assign(icon[p - 1].size(), 1);
  std::vector<int> visited(n + 1, 0);
  std::vector<int> ird(2000000, 0);
  auto ichoice = [&](int prev, int cur) {
    for (std::size_t s = 0; s < icon[cur - 1].size(); ++s)
      if (choices[cur][s] == 1 && icon[cur - 1][s] != prev) {
        choices[cur][s] = 0;
        return icon[cur - 1][s];
      }
    return 0;
  };
  auto checkring = [&](int m, int k) {
    std::vector<int> atoms;
    for (int e = m; e <= k; ++e) {
      atoms.push_back(newat[ird[e] - 1]);
      if (static_cast<int>(atoms.size()) > maxsize) return;
    }
    if (static_cast<int>(atoms.size()) < minsize || ird[m + 1] == ird[k]) return;
    for (const auto& r : rings) {
      if (r.size() != atoms.size()) continue;
      bool all = true;
      for (int a : atoms) all = all && std::find(r.begin(), r.end(), a) != r.end();
      if (all) return;
    }
    rings.push_back(atoms);
  };
  ird[1] = 1;
  ird[2] = icon[0][0];
  choices[1][0] = 0;
  visited[1] = visited[ird[2]] = 1;
  int k = 2;
  for (;;) {
    int c = ichoice(ird[k - 1], ird[k]);
    if (c != 0) {
      ird[k + 1] = c;
      visited[c] = 1;
      int m = 0;
      for (int e = k; e >= 1 && m == 0; --e)
        if (ird[e] == c) m = e;
      if (m > 0) checkring(m, k);
      ++k;
      continue;
    }
    bool found = false;
    for (int e = k - 1; e >= 1 && !found; --e) {
      int p = ird[e];
      if (icon[p - 1].size() > 2 &&
          std::find(choices[p].begin(), choices[p].end(), 1) != choices[p].end()) {
        k = e;
        found = true;
      }
    }
    if (found) continue;
    int p = 1;
    while (p <= n && visited[p]) ++p;
    if (p > n) break;
    EXPECT_EQ(choices[p][0], 1);
    ird[1] = p;
    ird[2] = icon[p - 1][0];
    choices[p][0] = 0;
    visited[p] = visited[ird[2]] = 1;
    k = 2;
  }
  return rings;
}

TEST(RingWalkPlain, RandomNetworks) {
  int total = 0;
  for (unsigned seed = 1; seed <= 200; ++seed) {
    std::mt19937 gen(seed);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    MoleculeRun m;
    m.run.opt.verbosity = 0;
    // Carbons on a jittered cubic net of 1.45 Angstrom, two layers, with
    // holes: bonds along the edges only (the diagonal 2.05 is beyond the C-C
    // limit). Some sites hold two atoms, which bond to each other and to the
    // same partners; the atoms come in random order, so the walk starts and
    // branches anywhere.
    const int side = 3 + static_cast<int>(seed % 5);
    std::vector<Vec3> sites;
    for (int i = 0; i < side; ++i)
      for (int j = 0; j < side; ++j)
        for (int l = 0; l < 2; ++l) {
          if (unit(gen) < 0.2f) continue;
          Vec3 x{1.45f * static_cast<float>(i) + 0.05f * unit(gen),
                 1.45f * static_cast<float>(j) + 0.05f * unit(gen),
                 1.45f * static_cast<float>(l) + 0.05f * unit(gen)};
          sites.push_back(x);
          if (unit(gen) < 0.04f) sites.push_back(x);
        }
    std::shuffle(sites.begin(), sites.end(), gen);
    int label = 0;
    for (const Vec3& x : sites) m.add("C" + std::to_string(++label), 6, x[0], x[1], x[2]);
    int lo = 3 + static_cast<int>(seed % 3), hi = lo + static_cast<int>(seed % 17);
    m.rings(lo, hi);
    testing::ScratchDir dir;
    connect4rings(m.run);
    auto expected = plain_walk(m.run.ringsearch.newat, m.run.ringsearch.icon, lo, hi);
    findrings(m.run);
    std::vector<std::vector<int>> got;
    for (const Ring& r : m.run.rings.ring) got.push_back(r.ratom);
    ASSERT_EQ(got, expected) << "seed " << seed;
    total += static_cast<int>(got.size());
  }
  EXPECT_GT(total, 100);
}

}  // namespace
}  // namespace tesk
