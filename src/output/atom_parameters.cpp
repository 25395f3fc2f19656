// Per-atom records as the parameter writers read them.
#include "output/atom_parameters.hpp"

#include "model/run.hpp"

namespace tesk {

const AxisRecord& axis_record(const Run& run, int atom) {
  static const AxisRecord blank{};
  const auto i = static_cast<std::size_t>(atom - 1);
  return atom >= 1 && i < run.axes.rec.size() ? run.axes.rec[i] : blank;
}

const AtomPoles& atom_poles(const Run& run, int atom) {
  static const AtomPoles none{};
  const auto i = static_cast<std::size_t>(atom - 1);
  return atom >= 1 && i < run.db.mpoles.size() ? run.db.mpoles[i] : none;
}

namespace {

struct LM {
  int l, m;
};

// The dipoles go x, y, z (P11, P1-1, P10); every other level starts with its
// m = 0 term and pairs +m before -m.
constexpr std::array<LM, 25> kListed{{{0, 0},
                                      {1, 1}, {1, -1}, {1, 0},
                                      {2, 0}, {2, 1}, {2, -1}, {2, 2}, {2, -2},
                                      {3, 0}, {3, 1}, {3, -1}, {3, 2}, {3, -2}, {3, 3}, {3, -3},
                                      {4, 0}, {4, 1}, {4, -1}, {4, 2}, {4, -2}, {4, 3}, {4, -3},
                                      {4, 4}, {4, -4}}};

}  // namespace

std::array<float, 26> pv_and_populations(const AtomPoles& poles) {
  std::array<float, 26> v{};
  v[0] = poles.pv;
  for (std::size_t k = 0; k < kListed.size(); ++k) v[k + 1] = poles.plm.at(kListed[k].l, kListed[k].m);
  return v;
}

}  // namespace tesk
