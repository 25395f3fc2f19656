// The ring search on a real structure read from its SHELX file and
// completed by symmetry.
#include <gtest/gtest.h>

#include <set>

#include "connectivity/rings.hpp"
#include "app/control_file.hpp"
#include "structure/complete_fragments.hpp"
#include "structure/shelx_fixture.hpp"

namespace tesk {
namespace {

TEST(RingStructures, NaphthaleneOnAnInversionCentre) {
  // Half a molecule in the file; completed, the two fused six-rings share
  // the fusion bond, and the ten-ring perimeter holds every carbon. All
  // planar.
  testing::ScratchDir dir;
  testing::ShelxRun r;
  init(r.run);
  r.run.opt.compfrag = 1;
  r.run.opt.ring1 = {3, 10, 0};
  readshelx(r.run, testing::structures_dir() + "naphthalene_p21a.res", ShelxHeaders{});
  gencompletefrags(r.run);
  connect4rings(r.run);
  findrings(r.run);
  ASSERT_EQ(r.run.rings.nor(), 3);
  const auto& ring = r.run.rings.ring;
  EXPECT_EQ(ring[0].rsize, 6);
  EXPECT_EQ(ring[1].rsize, 6);
  EXPECT_EQ(ring[2].rsize, 10);
  for (const Ring& x : ring) EXPECT_EQ(x.rplan, 1);
  std::set<int> first(ring[0].ratom.begin(), ring[0].ratom.end());
  std::set<int> second(ring[1].ratom.begin(), ring[1].ratom.end());
  std::set<int> perimeter(ring[2].ratom.begin(), ring[2].ratom.end());
  int shared = 0;
  for (int a : second) shared += static_cast<int>(first.count(a));
  EXPECT_EQ(shared, 2);
  EXPECT_EQ(perimeter.size(), 10u);
  for (int a : perimeter) EXPECT_EQ(r.run.atoms.at(a).iz, 6);
  // The hydrogens were eliminated in cycle 0; the carbons all kept.
  EXPECT_EQ(r.run.ringsearch.count(), 10);
}

}  // namespace
}  // namespace tesk
