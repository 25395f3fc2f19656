// Checked access to the per-atom neighbour records.
#include "model/neighbour_table.hpp"

#include <string>

#include "core/errors.hpp"

namespace tesk {

NeighbourRecord& NeighbourTable::at(int atom) {
  if (atom < 1 || atom > size())
    err("NeighbourTable", "atom number " + std::to_string(atom) + " out of range");
  return rec[static_cast<std::size_t>(atom - 1)];
}

const NeighbourRecord& NeighbourTable::at(int atom) const {
  if (atom < 1 || atom > size())
    err("NeighbourTable", "atom number " + std::to_string(atom) + " out of range");
  return rec[static_cast<std::size_t>(atom - 1)];
}

}  // namespace tesk
