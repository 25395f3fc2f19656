// A spatial hash grid of points in cartesian space: cubic cells of a fixed
// edge keyed by their integer indices, so the points may spread over any
// extent. Range queries return every stored id whose point can lie within a
// radius; callers apply the exact distance test themselves.
#pragma once

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "core/vec3.hpp"

namespace tesk {

class CellGrid {
 public:
  CellGrid() = default;
  explicit CellGrid(float edge) { reset(edge); }

  // Empties the grid and sets the cell edge (Angstrom, > 0).
  void reset(float edge);
  float edge() const { return edge_; }
  bool empty() const { return count_ == 0; }
  std::size_t size() const { return count_; }

  void insert(int id, const Vec3& p);
  // Removes `id` stored at `p`; false when it is not there.
  bool erase(int id, const Vec3& p);

  // Appends to `out` the ids of every cell that meets the cube of half-width
  // `radius` around `p`: a superset of the points within `radius` of `p`.
  // Ids come cell by cell, in no particular order.
  void collect(const Vec3& p, float radius, std::vector<int>& out) const;

 private:
  struct Range { std::int64_t lo[3]; std::int64_t hi[3]; };
  std::int64_t index_of(double x) const;
  Range range_of(const Vec3& p, float radius) const;
  static std::uint64_t key(std::int64_t i, std::int64_t j, std::int64_t k);

  float edge_ = 1.0f;
  std::size_t count_ = 0;
  std::unordered_map<std::uint64_t, std::vector<int>> cells_;
};

}  // namespace tesk
