// A spatial grid of points in cartesian space: cubic cells of a fixed edge,
// keyed by their integer indices, so the points may spread over any extent.
// When the caller knows the box its points fill (`bound`), the cells are a
// dense array over that box instead of a hash map: a query then reads
// neighbouring cells from memory instead of chasing hash chains. Range
// queries return every stored id whose point can lie within a radius;
// callers apply the exact distance test themselves.
#pragma once

#include <algorithm>
#include <cmath>
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

  // Switches an empty grid to a dense array over the box lo..hi meant for
  // about `expected` points. Points and queries outside the box are clamped
  // to its border cells, which keeps every query a superset, so atoms moved
  // out of the box later are still found. A box too large for the expected
  // count widens the cells (fewer, larger cells: still a superset).
  void bound(const Vec3& lo, const Vec3& hi, std::size_t expected);
  // Bounds the grid to the box of the finite points among point(0 .. n-1).
  template <class PointAt>
  void bound_to_points(std::size_t n, PointAt point);

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
  std::vector<int>* dense_cell(const Vec3& p);
  void collect_dense(const Vec3& p, float radius, std::vector<int>& out) const;

  float edge_ = 1.0f;
  std::size_t count_ = 0;
  std::unordered_map<std::uint64_t, std::vector<int>> cells_;
  // Dense mode: cell (i, j, k) of the box is dense_[(i * n_[1] + j) * n_[2] + k];
  // points with a non-finite coordinate wait in wild_.
  bool dense_mode_ = false;
  Vec3 origin_{};
  std::int64_t n_[3] = {0, 0, 0};
  std::vector<std::vector<int>> dense_;
  std::vector<int> wild_;
};

template <class PointAt>
void CellGrid::bound_to_points(std::size_t n, PointAt point) {
  Vec3 lo{}, hi{};
  bool any = false;
  for (std::size_t j = 0; j < n; ++j) {
    const Vec3& x = point(j);
    if (!std::isfinite(x[0]) || !std::isfinite(x[1]) || !std::isfinite(x[2])) continue;
    for (std::size_t a = 0; a < 3; ++a) {
      lo[a] = any ? std::min(lo[a], x[a]) : x[a];
      hi[a] = any ? std::max(hi[a], x[a]) : x[a];
    }
    any = true;
  }
  if (any) bound(lo, hi, n);
}

}  // namespace tesk
