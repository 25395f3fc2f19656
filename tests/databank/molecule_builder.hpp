// Small test molecules: atoms placed by cartesian coordinates, on regular
// rings, radially off a ring, or by bond length, angle and torsion from atoms
// already placed. load() puts them into a Run and builds rings and bonded
// neighbours as the driver does (RINGS 3 8).
#pragma once

#include <cmath>
#include <string>
#include <vector>

#include "connectivity/neighbours.hpp"
#include "connectivity/rings.hpp"
#include "model/run.hpp"
#include "model/elements.hpp"

namespace tesk::testkit {

class Molecule {
 public:
  // Element from the label's first characters, as the structure readers do.
  int at(const std::string& label, Vec3 x) {
    atoms_.push_back({label, x});
    return static_cast<int>(atoms_.size());
  }

  // A regular polygon of `labels` with edge `side` in the xy plane, centred
  // at the origin, the first atom on +x.
  std::vector<int> ring(const std::vector<std::string>& labels, float side) {
    const double n = static_cast<double>(labels.size());
    const double pi = std::acos(-1.0);
    const double radius = side / (2.0 * std::sin(pi / n));
    std::vector<int> ids;
    for (std::size_t k = 0; k < labels.size(); ++k) {
      double phi = 2.0 * pi * static_cast<double>(k) / n;
      ids.push_back(at(labels[k], {static_cast<float>(radius * std::cos(phi)),
                                   static_cast<float>(radius * std::sin(phi)), 0.0f}));
    }
    return ids;
  }

  // Bonded to ring atom a at distance r, pointing away from the ring centre
  // (the origin): the exocyclic bond of a regular planar ring.
  int radial(const std::string& label, int a, float r) {
    Vec3 p = pos(a);
    double len = std::sqrt(p[0] * p[0] + p[1] * p[1] + p[2] * p[2]);
    Vec3 x;
    for (int i = 0; i < 3; ++i)
      x[static_cast<std::size_t>(i)] = static_cast<float>(p[static_cast<std::size_t>(i)] *
                                                          (1.0 + r / len));
    return at(label, x);
  }

  // Bonded to a at distance r, with angle (new, a, b) = theta and torsion
  // (new, a, b, c) = phi in degrees. c = 0 takes a fixed reference direction
  // for the torsion (z, or x when a-b lies along z).
  int bonded(const std::string& label, int a, double r, int b, double theta, int c, double phi) {
    const double d2r = std::acos(-1.0) / 180.0;
    D3 pa = d3(pos(a)), pb = d3(pos(b));
    D3 bc = unit(sub(pa, pb));
    D3 pc;
    if (c != 0) {
      pc = d3(pos(c));
    } else {
      D3 e = std::fabs(bc[2]) < 0.9 ? D3{0, 0, 1} : D3{1, 0, 0};
      pc = {pb[0] + e[0], pb[1] + e[1], pb[2] + e[2]};
    }
    D3 n = unit(cross(sub(pb, pc), bc));
    D3 m = cross(n, bc);
    double t = theta * d2r, p = phi * d2r;
    double u = -r * std::cos(t), v = r * std::sin(t) * std::cos(p), w = r * std::sin(t) * std::sin(p);
    Vec3 x;
    for (std::size_t i = 0; i < 3; ++i)
      x[i] = static_cast<float>(pa[i] + u * bc[i] + v * m[i] + w * n[i]);
    return at(label, x);
  }

  // Shifts atom i, e.g. to make one ring bond shorter than its neighbours.
  void move(int i, Vec3 d) {
    Vec3& x = atoms_.at(static_cast<std::size_t>(i - 1)).x;
    for (std::size_t k = 0; k < 3; ++k) x[k] += d[k];
  }

  int size() const { return static_cast<int>(atoms_.size()); }
  const std::string& label(int i) const { return atoms_.at(static_cast<std::size_t>(i - 1)).label; }

  void load(Run& run) const {
    for (const Entry& e : atoms_) {
      Atom& a = run.atoms.at(run.atoms.append("test"));
      a.label = e.label;
      a.label.resize(8, ' ');
      a.xc = e.x;
      a.xf = e.x;  // identity cell matrices: fractional = cartesian
      a.iz = iatnum(e.label);
      a.occ = 1.0f;
      a.flag = 0;
    }
    run.atoms.natoms = size();
    run.cryst.nall = size();
    run.cryst.isq.assign(static_cast<std::size_t>(size()), 0);
    for (int z = 1; z < static_cast<int>(run.covrad.size()); ++z)
      run.covrad[static_cast<std::size_t>(z)] = covrad_table(z);
    run.opt.ring1 = {3, 8, 0};
    connect4rings(run);
    findrings(run);
    findallneighbors(run);
    run.db.except.assign(static_cast<std::size_t>(size()), ExceptRow{});
  }

 private:
  using D3 = std::array<double, 3>;
  struct Entry {
    std::string label;
    Vec3 x;
  };

  Vec3 pos(int i) const { return atoms_.at(static_cast<std::size_t>(i - 1)).x; }
  static D3 d3(Vec3 v) { return {v[0], v[1], v[2]}; }
  static D3 sub(D3 a, D3 b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }
  static D3 cross(D3 a, D3 b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
  }
  static D3 unit(D3 a) {
    double l = std::sqrt(a[0] * a[0] + a[1] * a[1] + a[2] * a[2]);
    return {a[0] / l, a[1] / l, a[2] / l};
  }

  std::vector<Entry> atoms_;
};

}  // namespace tesk::testkit
