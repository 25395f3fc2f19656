// Completion of molecular fragments by symmetry. A structure file lists the
// asymmetric unit; a molecule on a symmetry element or a network running
// across the cell is completed by appending every symmetry image (operator
// plus lattice translation of a read atom) that bonds to the working list.
//
// The images are examined in the order (read atom, operator, u, v, w), w
// innermost, and the first acceptable one is added before looking again from
// the start. An image is acceptable when it sits on no atom of the list and
// bonds to one of them. Both conditions only change one way as the list
// grows: an image becomes bonded when an atom appears near it, and a
// duplicate when an atom appears on it. So instead of rescanning, each new
// list atom visits the images near it (through a cell grid of the images
// before translation), and a min-heap of image numbers hands out the first
// acceptable image in scan order.
#include "structure/complete_fragments.hpp"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <queue>
#include <unordered_set>
#include <vector>

#include "core/cell_grid.hpp"
#include "core/errors.hpp"
#include "model/run.hpp"
#include "format/fortran_format.hpp"
#include "structure/cell.hpp"
#include "structure/symmetry.hpp"

namespace tesk {

void set_working_list(Run& run) {
  const int natoms = run.atoms.natoms;
  run.cryst.nall = natoms;
  run.cryst.isq.assign(static_cast<std::size_t>(natoms), 0);
  run.cryst.nsq.assign(static_cast<std::size_t>(natoms), 0);
}

namespace {

// An image within this distance of a list atom is that atom again.
constexpr float kSameSite = 0.001f;

class Completion {
 public:
  explicit Completion(Run& run);
  void complete();

 private:
  int translations() const { return m_ * m_ * m_; }
  double apply_operators();
  void check_density() const;
  void set_shifts(double fmax);
  void file_images();
  Vec3 image_frac(std::size_t base, int t) const;
  void visit_images_near(int atom);
  void accept(std::uint64_t image);

  Run& run_;
  int natoms_;
  int nsym_;
  int ncells_;
  int m_;                       // 2 NCELLS + 1 translations per axis
  int zero_shift_;              // translation number of (0, 0, 0)
  float tol1_;
  float rmax_ = 0.0f;           // largest covalent radius of the read atoms
  float margin_ = 0.0f;         // rounding between an image and base + shift
  std::vector<Vec3> base_frac_;     // per (i, s): operator s applied to atom i
  std::vector<Vec3> base_cart_;
  std::vector<std::array<double, 3>> shift_;  // cartesian of each translation
  Vec3 lo_{}, hi_{};
  bool bounded_ = true;
  CellGrid grid_;
  std::unordered_set<std::uint64_t> duplicate_;
  std::unordered_set<std::uint64_t> bonded_;
  std::priority_queue<std::uint64_t, std::vector<std::uint64_t>, std::greater<>> acceptable_;
};

Completion::Completion(Run& run)
    : run_(run),
      natoms_(run.atoms.natoms),
      nsym_(run.symm.nsym()),
      ncells_(run.opt.compfrag),
      m_(2 * run.opt.compfrag + 1),
      zero_shift_((m_ * m_ * m_) / 2),
      tol1_(run.opt.tol1()) {
  double fmax = apply_operators();
  check_density();
  set_shifts(fmax);
  file_images();
}

// The image of every read atom under every operator, before translation.
// Returns the largest fractional coordinate met.
double Completion::apply_operators() {
  double fmax = 0.0;
  std::size_t nbase = static_cast<std::size_t>(natoms_) * static_cast<std::size_t>(nsym_);
  base_frac_.reserve(nbase);
  base_cart_.reserve(nbase);
  for (int i = 1; i <= natoms_; ++i) {
    const Atom& a = run_.atoms.at(i);
    rmax_ = std::max(rmax_, bond_radius(run_, a.iz));
    for (const SymOp& op : run_.symm.ops) {
      Vec3 x = apply_op(op, a.xf);
      for (float c : x) fmax = std::max(fmax, std::fabs(static_cast<double>(c)));
      base_frac_.push_back(x);
      base_cart_.push_back(rabs(run_.transf, 0, x));
    }
  }
  return fmax;
}

// A cell far too small for its atoms (a mistyped CELL, a wrong LATT or
// SYMM) packs hundreds of images into every bonding sphere, and completing
// the fragments would take hours before the atom table overflows. Dense
// crystals hold about 0.2 atoms per cubic Angstrom; even heavily split
// disorder stays far below the bound. An atom on a special position counts
// once: operators that take it within kTooCloseSite of itself, modulo the
// lattice, form its site-symmetry group.
void Completion::check_density() const {
  constexpr double kMaxPerCubicAngstrom = 5.0;
  constexpr double kTooCloseSite = 0.5;
  const Mat3& c = run_.transf.frac_to_cart;
  const double volume = std::fabs(determinant(c));
  if (!std::isfinite(volume) || volume <= 0.0) return;
  double sites = 0.0;
  for (int i = 1; i <= natoms_; ++i) {
    const Vec3& x = run_.atoms.at(i).xf;
    int stabiliser = 0;
    for (int s = 0; s < nsym_; ++s) {
      const Vec3& y = base_frac_[static_cast<std::size_t>(i - 1) * static_cast<std::size_t>(nsym_) +
                                 static_cast<std::size_t>(s)];
      double d[3], r2 = 0.0;
      for (std::size_t k = 0; k < 3; ++k) {
        d[k] = static_cast<double>(y[k]) - static_cast<double>(x[k]);
        d[k] -= std::round(d[k]);
      }
      for (std::size_t k = 0; k < 3; ++k) {
        const double e = c[k][0] * d[0] + c[k][1] * d[1] + c[k][2] * d[2];
        r2 += e * e;
      }
      if (r2 < kTooCloseSite * kTooCloseSite) ++stabiliser;
    }
    sites += static_cast<double>(nsym_) / std::max(stabiliser, 1);
  }
  if (sites > kMaxPerCubicAngstrom * volume)
    err("GenCompleteFrags",
        ffmt_text("(a,i0,a,f0.2,a)", {"Symmetry puts ", static_cast<std::int64_t>(sites),
                                      " atoms into a unit cell of ", volume,
                                      " A**3, more than 5 per A**3: check CELL, LATT and SYMM"}));
}

// Cartesian lattice translations, and the margin that covers the rounding
// between an image computed as a whole and its untranslated image plus the
// translation (single precision, a few units of the last place of the
// largest coordinate).
void Completion::set_shifts(double fmax) {
  const Mat3& c = run_.transf.frac_to_cart;
  double norm = 0.0;
  for (const auto& row : c)
    for (float e : row) norm += std::fabs(static_cast<double>(e));
  double scale = norm * (fmax + static_cast<double>(ncells_) + 1.0);
  margin_ = static_cast<float>(0.01 + 1.0e-5 * (std::isfinite(scale) ? scale : 0.0));
  for (int t = 0; t < translations(); ++t) {
    double uvw[3] = {static_cast<double>(t / (m_ * m_) - ncells_),
                     static_cast<double>((t / m_) % m_ - ncells_),
                     static_cast<double>(t % m_ - ncells_)};
    std::array<double, 3> s{};
    for (std::size_t r = 0; r < 3; ++r)
      for (std::size_t k = 0; k < 3; ++k) s[r] += static_cast<double>(c[r][k]) * uvw[k];
    shift_.push_back(s);
  }
}

// The untranslated images go into a cell grid; their bounding box lets a
// list atom skip the translations that take it far from all of them.
void Completion::file_images() {
  grid_.reset(std::max(tol1_ + rmax_ + rmax_ + kCoordinationReach + margin_, 0.5f));
  lo_ = {INFINITY, INFINITY, INFINITY};
  hi_ = {-INFINITY, -INFINITY, -INFINITY};
  grid_.bound_to_points(base_cart_.size(), [&](std::size_t b) -> const Vec3& { return base_cart_[b]; });
  for (std::size_t b = 0; b < base_cart_.size(); ++b) {
    const Vec3& p = base_cart_[b];
    grid_.insert(static_cast<int>(b), p);
    for (std::size_t k = 0; k < 3; ++k) {
      if (!std::isfinite(p[k])) bounded_ = false;
      lo_[k] = std::min(lo_[k], p[k]);
      hi_[k] = std::max(hi_[k], p[k]);
    }
  }
}

// Fractional coordinates of the image: the operator applied to the atom,
// plus the lattice translation.
Vec3 Completion::image_frac(std::size_t base, int t) const {
  Vec3 x = base_frac_[base];
  x[0] += static_cast<float>(t / (m_ * m_) - ncells_);
  x[1] += static_cast<float>((t / m_) % m_ - ncells_);
  x[2] += static_cast<float>(t % m_ - ncells_);
  return x;
}

// Settles every image that a list atom can bond to or sit on: within
// tol1 + its own radius + the largest radius of the read atoms, and never
// less than the margin, so that an image sitting on the atom is seen even
// when a negative tolerance leaves the atom no bonding reach.
void Completion::visit_images_near(int atom) {
  const Atom& p = run_.atoms.at(atom);
  const float rp = bond_radius(run_, p.iz);
  const float radius = std::max(tol1_ + rp + rmax_ + kCoordinationReach, 0.0f) + margin_;
  std::vector<int> bases;
  for (int t = 0; t < translations(); ++t) {
    const auto& s = shift_[static_cast<std::size_t>(t)];
    Vec3 q{};
    bool outside = false;
    for (std::size_t k = 0; k < 3; ++k) {
      q[k] = static_cast<float>(static_cast<double>(p.xc[k]) - s[k]);
      if (bounded_ && (q[k] < lo_[k] - radius || q[k] > hi_[k] + radius)) outside = true;
    }
    if (outside) continue;
    bases.clear();
    grid_.collect(q, radius, bases);
    for (int b : bases) {
      auto base = static_cast<std::size_t>(b);
      int source = b / nsym_ + 1;
      if (b % nsym_ == 0 && t == zero_shift_) continue;  // the atom itself
      std::uint64_t image = static_cast<std::uint64_t>(base) *
                                static_cast<std::uint64_t>(translations()) +
                            static_cast<std::uint64_t>(t);
      float d = dist(rabs(run_.transf, 0, image_frac(base, t)), p.xc);
      if (d < kSameSite) {
        duplicate_.insert(image);
      } else if (d <= tol1_ + rp + bond_radius(run_, run_.atoms.at(source).iz) +
                           (coordination_pair(p.iz, run_.atoms.at(source).iz) ? kCoordinationReach : 0.0f)) {
        if (duplicate_.count(image) == 0 && bonded_.insert(image).second) acceptable_.push(image);
      }
    }
  }
}

void Completion::accept(std::uint64_t image) {
  auto base = static_cast<std::size_t>(image / static_cast<std::uint64_t>(translations()));
  int t = static_cast<int>(image % static_cast<std::uint64_t>(translations()));
  int source = static_cast<int>(base) / nsym_ + 1;
  Cryst& cryst = run_.cryst;

  int k = run_.atoms.append("GenCompleteFrags");
  if (k != cryst.nall + 1) err("GenCompleteFrags", "atom table does not end with the working list");
  const Atom& src = run_.atoms.at(source);
  Atom& copy = run_.atoms.at(k);
  copy.label = src.label;
  copy.iz = src.iz;
  copy.occ = src.occ;
  copy.flag = src.flag;
  copy.xf = image_frac(base, t);
  copy.xc = rabs(run_.transf, 0, copy.xf);
  cryst.nall = k;
  cryst.isq.push_back(source);
  cryst.nsq.push_back(0);
  ++cryst.nsq[static_cast<std::size_t>(source - 1)];
  visit_images_near(k);
}

void Completion::complete() {
  set_working_list(run_);
  if (nsym_ < 1) return;
  for (int i = 1; i <= natoms_; ++i) visit_images_near(i);
  while (!acceptable_.empty()) {
    std::uint64_t image = acceptable_.top();
    acceptable_.pop();
    if (duplicate_.count(image) == 0) accept(image);
  }
}

void write_list(Run& run) {
  const Cryst& cryst = run.cryst;
  Sink& log = run.out.log;
  log << ffmt("(/1x,a)", {"List of atoms in complete fragment(s) :"});
  Sink ang;
  ang.open_or_stop("complete.ang", "GenCompleteFrags");
  log << ffmt("(/7x,'ATOM',8x,'------ FRACTIONAL ------',4x,'----- CARTESIAN -----',5x,"
              "'ISQ NSQ')");
  for (int k = 1; k <= cryst.nall; ++k) {
    const Atom& a = run.atoms.at(k);
    auto kk = static_cast<std::size_t>(k - 1);
    log << ffmt("(i6,1x,a,1x,3f9.4,1x,3f8.3,i8,i4)", {k, a.label, a.xf[0], a.xf[1], a.xf[2],
                                                      a.xc[0], a.xc[1], a.xc[2], cryst.isq[kk],
                                                      cryst.nsq[kk]});
    // PLATON reads the label right-aligned in ten columns.
    ang << ffmt("('ATOM ',a10,3x,3f12.4)", {"  " + a.label, a.xc[0], a.xc[1], a.xc[2]});
  }
  log << ffmt("(/a)", {" File with complete fragment(s) in PLATON format : complete.ang"});
  ang.close();
}

}  // namespace

void gencompletefrags(Run& run) {
  if (run.opt.compfrag < 0) return set_working_list(run);
  Completion(run).complete();
  if (run.cryst.nall != run.atoms.natoms) write_list(run);
}

}  // namespace tesk
