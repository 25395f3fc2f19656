// The operator list after the cards: lattice centring, the inversion centre,
// the operator printouts, and the occupancy flag of every atom.
#include "structure/symmetry.hpp"

#include <cctype>
#include <cmath>

#include "core/errors.hpp"
#include "model/run.hpp"
#include "format/fortran_format.hpp"
#include "structure/cell.hpp"

namespace tesk {
namespace {

// Centring vectors of a lattice letter; empty when the letter is unknown.
// R is the obverse rhombohedral setting on hexagonal axes.
std::vector<Vec3> centring_vectors(char letter) {
  constexpr float h = 0.5f;
  const float t1 = 1.0f / 3.0f, t2 = 2.0f / 3.0f;
  switch (std::toupper(static_cast<unsigned char>(letter))) {
    case 'C': return {{h, h, 0}};
    case 'A': return {{0, h, h}};
    case 'B': return {{h, 0, h}};
    case 'I': return {{h, h, h}};
    case 'F': return {{h, h, 0}, {0, h, h}, {h, 0, h}};
    case 'R': return {{t2, t1, t1}, {t1, t2, t2}};
    default: return {};
  }
}

// " SYMM " and the number, then the operator as three rows "(3f12.6,5x,f12.6)"
// holding rot(r,1..3) and trn(r) for input coordinate r.
void print_matrix(Run& run, int s, const char* numfmt) {
  const SymOp& op = run.symm.op(s);
  run.out.log << ffmt(numfmt, {" SYMM ", s});
  for (int r = 0; r < 3; ++r) {
    run.out.log << ffmt("(3f12.6,5x,f12.6)",
                        {op.rot[r][0], op.rot[r][1], op.rot[r][2], op.trn[r]});
  }
}

}  // namespace

SymOp identity_op() {
  SymOp op;
  for (int k = 0; k < 3; ++k) op.rot[k][k] = 1.0f;
  return op;
}

const SymOp& Symmetry::op(int s) const {
  if (s < 1 || s > nsym()) err("Symmetry", "operator number " + std::to_string(s) + " out of range");
  return ops[static_cast<std::size_t>(s - 1)];
}

void Symmetry::append(const SymOp& op, const char* routine) {
  if (nsym() >= kMaxSymOps) err(routine, "Too many symmetry operators");
  ops.push_back(op);
}

Vec3 apply_op(const SymOp& op, const Vec3& x) {
  Vec3 y{};
  for (int j = 0; j < 3; ++j) {
    y[j] = op.trn[j] + op.rot[0][j] * x[0] + op.rot[1][j] * x[1] + op.rot[2][j] * x[2];
  }
  return y;
}

std::string opout(const SymOp& op) {
  static constexpr char kAxes[] = {'X', 'Y', 'Z'};
  std::string text;
  for (int j = 0; j < 3; ++j) {
    if (j > 0) text += ",";
    if (op.trn[j] != 0.0f) {
      // Nearest twelfth; floor keeps negative translations right (-1/4 is -3/12).
      const double k12 = std::floor(12.0 * static_cast<double>(op.trn[j]) + 0.5);
      const long k = std::isfinite(k12) && std::fabs(k12) < 1e9 ? static_cast<long>(k12) : 0;
      for (long d : {6L, 4L, 3L, 2L, 1L}) {
        if (k % d == 0) {
          text += ffmt("( I2, '/', I1)", {k / d, 12 / d});
          text.pop_back();  // the record's newline
          break;
        }
      }
    }
    for (int k = 0; k < 3; ++k) {
      const float r = op.rot[k][j];
      if (r == 0.0f) continue;
      text += r < 0.0f ? " - " : " + ";
      if (std::fabs(r) != 1.0f) {
        std::string num = ffmt("(F3.1)", {std::fabs(r)});
        num.pop_back();
        text += num;
      }
      text += kAxes[k];
    }
  }
  return text;
}

void symout(Run& run, int s) {
  run.out.log << ffmt("(3x,'SYMM', I3, 5X, A)", {s, opout(run.symm.op(s))});
}

void nonp(Run& run, char letter) {
  const std::string let(1, letter);
  run.out.log << ffmt("(/a)", {" Non-Primitive lattice..."});
  run.out.log << ffmt("(3a)", {" Lattice centring type is [ ", let, " ]"});
  const auto vectors = centring_vectors(letter);
  if (vectors.empty()) {
    run.out.console << ffmt("(3a)", {" Lattice type ", let, " is not supported"});
    stop_run("Lattice type " + let + " is not supported");
  }
  const int points = static_cast<int>(vectors.size()) + 1;
  run.out.log << ffmt("(a,i1)", {" Number of lattice points per cell = ", points});
  const int n = run.symm.nsym();
  for (const Vec3& v : vectors) {
    for (int s = 1; s <= n; ++s) {
      SymOp op = run.symm.op(s);
      for (int j = 0; j < 3; ++j) op.trn[j] += v[j];
      run.symm.append(op, "Nonp");
    }
  }
  checkts(run.symm);
  run.out.log << ffmt("(/a)", {" Symmetry operations after applying the lattice centering:"});
  prsymop(run);
}

void checkts(Symmetry& symm) {
  for (SymOp& op : symm.ops) {
    for (float& t : op.trn) {
      if (t >= 1.0f || t <= -1.0f) t -= std::trunc(t);
    }
  }
}

void addcentsymm(Run& run) {
  // With the inversion centre at the origin, (R, t) followed by the
  // inversion, x -> R(-x) + t = (-R, t), is itself an operator of the group,
  // for any translation t (quarter translations of d-glides and 4_1 screws
  // included), so the translation is kept as it is.
  const int n = run.symm.nsym();
  for (int s = 1; s <= n; ++s) {
    SymOp op = run.symm.op(s);
    for (auto& row : op.rot) {
      for (float& r : row) r = -r;
    }
    run.symm.append(op, "AddCentSymm");
  }
  run.out.log << ffmt("(/a,i4)", {" Symmetry operations with Center of Symmetry applied: ",
                                  run.symm.nsym()});
  for (int s = 1; s <= run.symm.nsym(); ++s) print_matrix(run, s, "(/a,i4)");
}

void prsymop(Run& run) {
  // I2 holds the 48 operators of a primitive group; F-centred cubic groups
  // have up to 192, which take a third column.
  const char* numfmt = run.symm.nsym() > 99 ? "(/a,i3)" : "(/a,i2)";
  run.out.log << ffmt(numfmt, {" Number of symmetry operations = ", run.symm.nsym()});
  if (run.verbosity() < 2) return;
  for (int s = 1; s <= run.symm.nsym(); ++s) print_matrix(run, s, s > 99 ? "(/a,i3)" : "(/a,i2)");
}

namespace {

// Fractional coordinates given with four decimals (2/3 as 0.6667, 1/12 as
// 0.0833) are off their true values by up to 0.00005. An output coordinate
// of an operator sums at most two input coordinates (x - y on hexagonal
// axes), so an atom on a special position lies within 0.00015 of its image
// in every coordinate; 0.0002 covers that with room for single precision.
// No real structure has two atoms that close (0.002 Angstrom on a 10
// Angstrom axis): an atom that near its own image is on the special position.
constexpr double kSpecialFrac = 2.0e-4;
// The test a site passes however long the axes: within 0.001 Angstrom.
constexpr double kSpecialCart = 0.001;

using Frac = std::array<double, 3>;

// The images of x that fall on x itself: each operator's image moved by the
// lattice translation that brings it nearest, when it comes within
// kSpecialFrac in every coordinate or within kSpecialCart Angstrom. The
// identity is always among them.
std::vector<Frac> images_on_site(const Run& run, const Frac& x) {
  const Mat3& m = run.transf.frac_to_cart;
  std::vector<Frac> on_site;
  for (const SymOp& op : run.symm.ops) {
    Frac y{}, d{};
    bool near = true;
    for (std::size_t j = 0; j < 3; ++j) {
      y[j] = op.trn[j];
      for (std::size_t k = 0; k < 3; ++k) y[j] += static_cast<double>(op.rot[k][j]) * x[k];
      y[j] += std::round(x[j] - y[j]);
      d[j] = y[j] - x[j];
      near = near && std::fabs(d[j]) <= kSpecialFrac;
    }
    double r2 = 0.0;
    for (std::size_t r = 0; r < 3; ++r) {
      double c = 0.0;
      for (std::size_t k = 0; k < 3; ++k) c += static_cast<double>(m[r][k]) * d[k];
      r2 += c * c;
    }
    if (near || r2 < kSpecialCart * kSpecialCart) on_site.push_back(y);
  }
  return on_site;
}

}  // namespace

// The images that fall on the site form its site-symmetry group; their mean
// is the point of the special position nearest to x, fixed by every one of
// them. A second round settles a site that the first found only in part.
Vec3 special_position(const Run& run, const Vec3& xf) {
  Frac x = {xf[0], xf[1], xf[2]};
  for (int pass = 0; pass < 2; ++pass) {
    const std::vector<Frac> images = images_on_site(run, x);
    if (images.size() < 2) break;
    Frac mean{};
    for (const Frac& y : images)
      for (std::size_t k = 0; k < 3; ++k) mean[k] += y[k] / static_cast<double>(images.size());
    x = mean;
  }
  Vec3 out{};
  for (std::size_t k = 0; k < 3; ++k) out[k] = static_cast<float>(x[k]);
  return out;
}

void snap_special_positions(Run& run) {
  for (int i = 1; i <= run.atoms.natoms; ++i) {
    Atom& a = run.atoms.at(i);
    const Vec3 x = special_position(run, a.xf);
    // Six decimals (SHELXL's) put a site on its position to within what
    // single precision resolves; such sites keep the numbers of the file.
    bool off = false;
    for (std::size_t k = 0; k < 3; ++k) off = off || std::fabs(x[k] - a.xf[k]) > 1.0e-6f;
    if (!off) continue;
    const Vec3 c = rabs(run.transf, 0, x);
    const float moved = dist(c, a.xc);
    a.xf = x;
    a.xc = c;
    // Moves that show in coordinates printed to four decimals.
    if (moved >= 1.0e-4f)
      run.out.log << ffmt("(' Atom ',a,' moved',f8.4,' A onto its special position',3f10.6)",
                          {trim_right(a.label), moved, x[0], x[1], x[2]});
  }
}

void checkocc(Run& run) {
  const int nsym = run.symm.nsym();
  for (int i = 1; i <= run.atoms.natoms; ++i) {
    Atom& at = run.atoms.at(i);
    at.flag = 0;
    if (at.occ == 1.0f) continue;
    at.flag = -1;
    for (int s = 1; s <= nsym && at.flag != 1; ++s) {
      const Vec3 xs = apply_op(run.symm.op(s), at.xf);
      // Of the lattice translations -2..2 only the one that brings the copy
      // nearest in fractional terms can come within 0.001 Angstrom.
      Vec3 shifted{};
      bool in_range = true;
      bool zero_shift = true;
      for (int j = 0; j < 3; ++j) {
        const float u = std::round(at.xf[j] - xs[j]);
        if (u < -2.0f || u > 2.0f) in_range = false;
        if (u != 0.0f) zero_shift = false;
        shifted[j] = xs[j] + u;
      }
      if (!in_range || (s == 1 && zero_shift)) continue;
      if (dist(rabs(run.transf, 0, shifted), at.xc) < 0.001f) at.flag = 1;
    }
  }
}

}  // namespace tesk
