// The spatial hash grid behind the neighbour and fragment searches.
#include "core/cell_grid.hpp"

#include <algorithm>
#include <cmath>

namespace tesk {

namespace {

constexpr std::int64_t kIndexLimit = std::int64_t{1} << 40;

bool finite(const Vec3& p) {
  return std::isfinite(p[0]) && std::isfinite(p[1]) && std::isfinite(p[2]);
}

}  // namespace

void CellGrid::reset(float edge) {
  edge_ = edge > 0.0f ? edge : 1.0f;
  count_ = 0;
  cells_.clear();
  dense_mode_ = false;
  dense_.clear();
  wild_.clear();
}

void CellGrid::bound(const Vec3& lo, const Vec3& hi, std::size_t expected) {
  if (count_ != 0 || !finite(lo) || !finite(hi)) return;
  // A few cells per point at most: beyond that the box is mostly empty.
  const double limit = 8.0 * static_cast<double>(expected) + 64.0;
  double edge = static_cast<double>(edge_);
  auto cells_along = [&](int a) {
    double span = std::max(0.0, static_cast<double>(hi[static_cast<std::size_t>(a)]) -
                                    static_cast<double>(lo[static_cast<std::size_t>(a)]));
    return std::floor(span / edge) + 1.0;
  };
  while (cells_along(0) * cells_along(1) * cells_along(2) > limit) edge *= 1.5;
  edge_ = static_cast<float>(edge);
  for (int a = 0; a < 3; ++a) n_[a] = static_cast<std::int64_t>(cells_along(a));
  origin_ = lo;
  dense_.assign(static_cast<std::size_t>(n_[0] * n_[1] * n_[2]), {});
  dense_mode_ = true;
}

std::vector<int>* CellGrid::dense_cell(const Vec3& p) {
  if (!finite(p)) return &wild_;
  std::int64_t idx[3];
  for (int a = 0; a < 3; ++a) {
    auto u = static_cast<std::size_t>(a);
    idx[a] = std::clamp(index_of(static_cast<double>(p[u]) - static_cast<double>(origin_[u])),
                        std::int64_t{0}, n_[a] - 1);
  }
  return &dense_[static_cast<std::size_t>((idx[0] * n_[1] + idx[1]) * n_[2] + idx[2])];
}

std::int64_t CellGrid::index_of(double x) const {
  double q = std::floor(x / static_cast<double>(edge_));
  q = std::clamp(q, -static_cast<double>(kIndexLimit), static_cast<double>(kIndexLimit));
  return static_cast<std::int64_t>(q);
}

// Cells are keyed by 21 bits of each index. Indices further apart than that
// share keys, which only adds candidates: a point is always filed under the
// key its own cell computes.
std::uint64_t CellGrid::key(std::int64_t i, std::int64_t j, std::int64_t k) {
  constexpr std::uint64_t mask = (std::uint64_t{1} << 21) - 1;
  return (static_cast<std::uint64_t>(i) & mask) | ((static_cast<std::uint64_t>(j) & mask) << 21) |
         ((static_cast<std::uint64_t>(k) & mask) << 42);
}

CellGrid::Range CellGrid::range_of(const Vec3& p, float radius) const {
  Range r{};
  for (int a = 0; a < 3; ++a) {
    double x = static_cast<double>(p[static_cast<std::size_t>(a)]);
    double h = static_cast<double>(radius);
    r.lo[a] = index_of(x - h);
    r.hi[a] = index_of(x + h);
  }
  return r;
}

// Points with a non-finite coordinate have no cell; they are kept under a
// key of their own and handed out by every query, so a search that tests all
// candidates treats them as a plain scan would.
void CellGrid::insert(int id, const Vec3& p) {
  if (dense_mode_) {
    dense_cell(p)->push_back(id);
    ++count_;
    return;
  }
  std::uint64_t k = finite(p) ? key(index_of(p[0]), index_of(p[1]), index_of(p[2]))
                              : ~std::uint64_t{0};
  cells_[k].push_back(id);
  ++count_;
}

bool CellGrid::erase(int id, const Vec3& p) {
  if (dense_mode_) {
    auto& ids = *dense_cell(p);
    auto pos = std::find(ids.begin(), ids.end(), id);
    if (pos == ids.end()) return false;
    ids.erase(pos);
    --count_;
    return true;
  }
  std::uint64_t k = finite(p) ? key(index_of(p[0]), index_of(p[1]), index_of(p[2]))
                              : ~std::uint64_t{0};
  auto it = cells_.find(k);
  if (it == cells_.end()) return false;
  auto& ids = it->second;
  auto pos = std::find(ids.begin(), ids.end(), id);
  if (pos == ids.end()) return false;
  ids.erase(pos);
  if (ids.empty()) cells_.erase(it);
  --count_;
  return true;
}

void CellGrid::collect_dense(const Vec3& p, float radius, std::vector<int>& out) const {
  std::int64_t lo[3], hi[3];
  if (!finite(p) || !std::isfinite(radius)) {
    for (int a = 0; a < 3; ++a) lo[a] = 0, hi[a] = n_[a] - 1;
  } else {
    const double h = static_cast<double>(std::max(radius, 0.0f));
    for (int a = 0; a < 3; ++a) {
      auto u = static_cast<std::size_t>(a);
      const double x = static_cast<double>(p[u]) - static_cast<double>(origin_[u]);
      lo[a] = std::clamp(index_of(x - h), std::int64_t{0}, n_[a] - 1);
      hi[a] = std::clamp(index_of(x + h), std::int64_t{0}, n_[a] - 1);
    }
  }
  for (std::int64_t i = lo[0]; i <= hi[0]; ++i)
    for (std::int64_t j = lo[1]; j <= hi[1]; ++j) {
      const std::size_t row = static_cast<std::size_t>((i * n_[1] + j) * n_[2]);
      for (std::int64_t k = lo[2]; k <= hi[2]; ++k) {
        const auto& ids = dense_[row + static_cast<std::size_t>(k)];
        out.insert(out.end(), ids.begin(), ids.end());
      }
    }
  out.insert(out.end(), wild_.begin(), wild_.end());
}

void CellGrid::collect(const Vec3& p, float radius, std::vector<int>& out) const {
  if (count_ == 0) return;
  if (dense_mode_) return collect_dense(p, radius, out);
  auto all = [&] {
    for (const auto& [k, ids] : cells_) out.insert(out.end(), ids.begin(), ids.end());
  };
  if (!finite(p) || !std::isfinite(radius)) return all();
  Range r = range_of(p, std::max(radius, 0.0f));
  double ncell = 1.0;
  for (int a = 0; a < 3; ++a) ncell *= static_cast<double>(r.hi[a] - r.lo[a] + 1);
  // A query box larger than the filled part of the grid: visiting every
  // stored cell is cheaper and still a superset.
  if (ncell > 2.0 * static_cast<double>(cells_.size()) + 27.0) return all();
  for (std::int64_t i = r.lo[0]; i <= r.hi[0]; ++i) {
    for (std::int64_t j = r.lo[1]; j <= r.hi[1]; ++j) {
      for (std::int64_t k = r.lo[2]; k <= r.hi[2]; ++k) {
        auto it = cells_.find(key(i, j, k));
        if (it != cells_.end()) out.insert(out.end(), it->second.begin(), it->second.end());
      }
    }
  }
  auto wild = cells_.find(~std::uint64_t{0});
  if (wild != cells_.end()) out.insert(out.end(), wild->second.begin(), wild->second.end());
}

}  // namespace tesk
