// Least-squares plane: the normal is the eigenvector of the smallest
// eigenvalue of the moment matrix about the centroid. Sums in single
// precision, as the printed digits depend on it.
#include "connectivity/planes.hpp"

#include <algorithm>
#include <cmath>
#include <string>

#include "connectivity/eigen3.hpp"
#include "model/run.hpp"
#include "format/fortran_format.hpp"

namespace tesk {

PlaneFit lsqplane(const Run& run, const std::vector<int>& atoms) {
  PlaneFit fit;
  const int n = static_cast<int>(atoms.size());
  if (n == 0) return fit;
  Vec3 c{};
  for (int a : atoms) {
    const Vec3& x = run.atoms.at(a).xc;
    for (std::size_t i = 0; i < 3; ++i) c[i] += x[i];
  }
  for (std::size_t i = 0; i < 3; ++i) c[i] /= static_cast<float>(n);

  std::array<std::array<float, 3>, 3> m{};
  for (int a : atoms) {
    const Vec3& x = run.atoms.at(a).xc;
    for (std::size_t i = 0; i < 3; ++i) {
      for (std::size_t j = 0; j < 3; ++j) m[i][j] += (x[i] - c[i]) * (x[j] - c[j]);
    }
  }
  const Eigen3 eig = eigen_symmetric3(m);
  for (std::size_t i = 0; i < 3; ++i) fit.normal[i] = eig.vec[i][0];
  const auto& p = fit.normal;
  fit.s = p[0] * c[0] + p[1] * c[1] + p[2] * c[2];

  float sum = 0.0f;
  for (int a : atoms) {
    const Vec3& x = run.atoms.at(a).xc;
    const float d = p[0] * x[0] + p[1] * x[1] + p[2] * x[2] - fit.s;
    fit.deviation.push_back(d);
    sum += d * d;
  }
  // n - 3 degrees of freedom; three points or fewer lie in a plane exactly.
  if (n > 3) fit.sigpln = std::sqrt(sum / static_cast<float>(n - 3));
  return fit;
}

int planarity(Run& run, bool print, const std::vector<int>& atoms, int kind) {
  const bool ring = kind == kRingMode;
  const float tol = ring ? run.opt.tol2() : run.opt.tol3();
  const std::string word = ring ? "ring" : "group";
  const int n = static_cast<int>(atoms.size());
  const bool detail = print && run.verbosity() > 1;

  if (print) {
    std::vector<FArg> items{n, word};
    for (int a : atoms) items.emplace_back(run.atoms.at(a).label);
    run.out.log << ffmt("(/' Planarity test for ',i3,'-atom ',a,' : ',//,6(2x,a))", items);
  }
  const PlaneFit fit = lsqplane(run, atoms);
  if (detail) {
    run.out.log << ffmt("(/5x,'P Q R S = ',4f12.4/)",
                        {fit.normal[0], fit.normal[1], fit.normal[2], fit.s});
    for (std::size_t i = 0; i < atoms.size(); ++i) {
      run.out.log << ffmt("(7x,'dist. from ',a,' to lsq plane =',f11.3,' Ang')",
                          {run.atoms.at(atoms[i]).label, fit.deviation[i]});
    }
  }
  const int planar = fit.sigpln > tol ? 0 : 1;
  if (print) {
    run.out.log << ffmt(
        "(/5x,'Esd atoms from the plane (sigpln) = ',f12.4,' ( tol = ',f8.4,' )'"
        "//5x,'This ',a,' is planar = .',l1,'.')",
        {fit.sigpln, tol, word, planar == 1});
  }
  return planar;
}

int checkat(std::vector<int>& list, int atom) {
  if (std::find(list.begin(), list.end(), atom) != list.end()) return 1;
  list.push_back(atom);
  return 0;
}

void printgroup(Run& run, int atom) {
  // The atom, then for each neighbour b: the neighbours c of b, each after
  // its own neighbours d; then b. Everything up to three bonds away, once.
  const auto bonded = [&run](int a) {
    const NeighbourRecord& r = run.nb.neighbors.at(a);
    return std::vector<int>(r.jnei.begin(), r.jnei.begin() + r.nnei);
  };
  std::vector<int> group{atom};
  for (int b : bonded(atom)) {
    for (int c : bonded(b)) {
      for (int d : bonded(c)) checkat(group, d);
      checkat(group, c);
    }
    checkat(group, b);
  }
  Sink file;
  file.open_or_stop("group.ang", "PrintGroup");
  file << "ANGSTROM\n";
  for (int a : group) {
    const Atom& at = run.atoms.at(a);
    file << ffmt("('ATOM ',a,2x,3f12.4)", {at.label, at.xc[0], at.xc[1], at.xc[2]});
  }
  file.close();
}

}  // namespace tesk
