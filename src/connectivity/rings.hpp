// Ring search: elimination of open atoms, the ring walk and ring membership.
#pragma once

namespace tesk {

struct Run;

void connect4rings(Run& run);
void findrings(Run& run);

struct RingMembership {
  int cyclic = 0;
  int inplanar = 0;
  int intwoplanar = 0;
  int ring = 0;
  int size = 0;
};
RingMembership isitcyclic(const Run& run, int atom);

}  // namespace tesk
