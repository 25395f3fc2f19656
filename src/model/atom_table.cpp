// Checked access to the atom table.
#include "model/atom_table.hpp"

#include "core/errors.hpp"

namespace tesk {

Atom& AtomTable::at(int i) {
  if (i < 1 || i > size()) err("AtomTable", "atom number " + std::to_string(i) + " out of range");
  return list[static_cast<std::size_t>(i - 1)];
}

const Atom& AtomTable::at(int i) const {
  if (i < 1 || i > size()) err("AtomTable", "atom number " + std::to_string(i) + " out of range");
  return list[static_cast<std::size_t>(i - 1)];
}

int AtomTable::append(const char* routine) {
  if (size() >= capacity) err(routine, "Too many atoms");
  list.emplace_back();
  return size();
}

int AtomTypes::z_of(int type) const {
  if (type < 1 || type > ntypes()) return 0;
  return tz[static_cast<std::size_t>(type - 1)];
}

}  // namespace tesk
