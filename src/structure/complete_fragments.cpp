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
// before translation), and a min-heap of images hands out the first
// acceptable image in scan order.
#include "structure/complete_fragments.hpp"

#include <algorithm>
#include <array>
#include <compare>
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

bool parts_allow_bond(const Atom& a, const ImageCode& ia, const Atom& b, const ImageCode& ib) {
  if (a.part == 0 || b.part == 0 || a.assembly != b.assembly) return true;
  if (a.part != b.part) return false;
  return a.part > 0 || ia == ib;
}

void set_working_list(Run& run) {
  const int natoms = run.atoms.natoms;
  run.cryst.nall = natoms;
  run.cryst.isq.assign(static_cast<std::size_t>(natoms), 0);
  run.cryst.nsq.assign(static_cast<std::size_t>(natoms), 0);
  run.cryst.image.assign(static_cast<std::size_t>(natoms), ImageCode{});
}

namespace {

// An image within this distance of a list atom is that atom again.
constexpr float kSameSite = 0.001f;

// One symmetry image of a read atom: the operator applied to it (base
// (i - 1) nsym + s - 1) plus a lattice translation. Ordered as the scan visits
// the images: read atom, operator, then u, v, w.
struct Image {
  std::uint32_t base = 0;
  std::array<int, 3> t{};
  auto operator<=>(const Image&) const = default;
};

struct ImageHash {
  std::size_t operator()(const Image& m) const {
    std::uint64_t h = m.base;
    for (int c : m.t) h = h * 0x9E3779B97F4A7C15ull + static_cast<std::uint32_t>(c);
    return static_cast<std::size_t>(h ^ (h >> 29));
  }
};

// The untranslated image of a read atom moved by the lattice vector that
// carries the translation window of one occupied cell (see frame_offsets).
// `exact`: the translation itself only, without the window around it.
struct Placed {
  std::uint32_t base = 0;
  std::array<int, 3> offset{};
  bool exact = false;
};

// The placed image moved on by the lattice translation uvw.
Image translated(const Placed& p, const std::array<int, 3>& uvw) {
  return {p.base, {p.offset[0] + uvw[0], p.offset[1] + uvw[1], p.offset[2] + uvw[2]}};
}

class Completion {
 public:
  explicit Completion(Run& run);
  void complete();

 private:
  int translations() const { return m_ * m_ * m_; }
  double apply_operators();
  void check_density() const;
  std::vector<std::array<int, 3>> occupied_cells() const;
  int place_images();
  void set_shifts(double fmax, int reach);
  void file_images();
  void file(const Placed& p);
  void admit_images_across_faces();
  bool in_window(const Image& m) const;
  Vec3 image_frac(const Image& m) const;
  ImageCode image_code(const Image& m) const {
    return {static_cast<int>(m.base % static_cast<std::uint32_t>(nsym_)) + 1, m.t};
  }
  void visit_images_near(int atom);
  // How far around read atom p an image may lie and still bond to it or sit
  // on it; whether an image of src at distance d is within p's bond limit.
  float search_radius(const Atom& p) const;
  bool within_bond(const Atom& p, const Atom& src, float d) const;
  // The placed images within `radius` of q (none when q lies that far
  // beyond everything placed).
  void collect_placed(const Vec3& q, float radius, std::vector<int>& near) const;
  // Lattice translation number t of the window, -NCELLS..NCELLS along each axis.
  std::array<int, 3> window_translation(int t) const {
    return {t / (m_ * m_) - ncells_, (t / m_) % m_ - ncells_, t % m_ - ncells_};
  }
  void accept(const Image& m);

  Run& run_;
  int natoms_;
  int nsym_;
  int ncells_;
  int m_;                       // 2 NCELLS + 1 translations per axis
  float tol1_;
  float rmax_ = 0.0f;           // largest covalent radius of the read atoms
  float margin_ = 0.0f;         // rounding between an image and base + shift
  std::vector<Vec3> base_frac_;     // per (i, s): operator s applied to atom i
  std::vector<Placed> placed_;      // the grid's entries
  std::vector<std::array<double, 3>> shift_;  // cartesian of each translation
  Vec3 lo_{}, hi_{};
  bool bounded_ = true;
  CellGrid grid_;
  std::vector<bool> pure_translation_;  // per operator
  std::unordered_set<Image, ImageHash> duplicate_;
  std::unordered_set<Image, ImageHash> bonded_;
  std::priority_queue<Image, std::vector<Image>, std::greater<>> acceptable_;
};

Completion::Completion(Run& run)
    : run_(run),
      natoms_(run.atoms.natoms),
      nsym_(run.symm.nsym()),
      ncells_(run.opt.compfrag),
      m_(2 * run.opt.compfrag + 1),
      tol1_(run.opt.tol1()) {
  double fmax = apply_operators();
  check_density();
  int reach = place_images();
  set_shifts(fmax, reach + 1);
  file_images();
  admit_images_across_faces();
}

// The image of every read atom under every operator, before translation.
// Returns the largest fractional coordinate met.
double Completion::apply_operators() {
  double fmax = 0.0;
  std::size_t nbase = static_cast<std::size_t>(natoms_) * static_cast<std::size_t>(nsym_);
  base_frac_.reserve(nbase);
  for (int i = 1; i <= natoms_; ++i) {
    const Atom& a = run_.atoms.at(i);
    rmax_ = std::max(rmax_, bond_radius(run_, a.iz));
    for (const SymOp& op : run_.symm.ops) {
      Vec3 x = apply_op(op, a.xf);
      for (float c : x) fmax = std::max(fmax, std::fabs(static_cast<double>(c)));
      base_frac_.push_back(x);
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

// The cells the read atoms lie in (the whole-number parts of their
// coordinates), in order of first appearance.
std::vector<std::array<int, 3>> Completion::occupied_cells() const {
  std::vector<std::array<int, 3>> cells;
  for (int i = 1; i <= natoms_; ++i) {
    const Vec3& x = run_.atoms.at(i).xf;
    std::array<int, 3> c{};
    for (std::size_t k = 0; k < 3; ++k) {
      const double f = std::floor(static_cast<double>(x[k]));
      c[k] = std::isfinite(f) ? static_cast<int>(std::clamp(f, -1.0e6, 1.0e6)) : 0;
    }
    if (std::find(cells.begin(), cells.end(), c) == cells.end()) cells.push_back(c);
  }
  return cells;
}

// The images searched are those within NCELLS cells of each operator's
// image, taken for the structure as if moved into the cell at the origin:
// for the read atoms of cell C, operator (R, tau) and translation t give
// R (x - C) + tau + t + C, that is the image R x + tau moved by t + C - R C.
// So every cell that holds read atoms carries the translation window of
// each operator along by C - R C, and a molecule completes the same way
// whatever cell the file puts it in. Files whose atoms all lie in the
// cell at the origin search exactly the window -NCELLS..NCELLS.
// Returns the largest whole-cell offset met.
int Completion::place_images() {
  const auto cells = occupied_cells();
  int reach = 0;
  for (std::size_t b = 0; b < base_frac_.size(); ++b) {
    const SymOp& op = run_.symm.ops[b % static_cast<std::size_t>(nsym_)];
    const std::size_t first = placed_.size();
    for (const auto& c : cells) {
      Placed p{static_cast<std::uint32_t>(b), {}};
      for (std::size_t j = 0; j < 3; ++j) {
        double rc = 0.0;
        for (std::size_t k = 0; k < 3; ++k) rc += static_cast<double>(op.rot[k][j]) * c[k];
        const double off = static_cast<double>(c[j]) - std::round(rc);
        p.offset[j] = static_cast<int>(std::clamp(off, -4.0e6, 4.0e6));
        reach = std::max(reach, std::abs(p.offset[j]));
      }
      bool seen = false;
      for (std::size_t e = first; e < placed_.size(); ++e)
        seen = seen || placed_[e].offset == p.offset;
      if (!seen) placed_.push_back(p);
    }
  }
  return reach;
}

// Cartesian lattice translations, and the margin that covers the rounding
// between an image computed as a whole and its untranslated image plus the
// translation (single precision, a few units of the last place of the
// largest coordinate).
void Completion::set_shifts(double fmax, int reach) {
  const Mat3& c = run_.transf.frac_to_cart;
  double norm = 0.0;
  for (const auto& row : c)
    for (float e : row) norm += std::fabs(static_cast<double>(e));
  double scale = norm * (fmax + static_cast<double>(ncells_) + reach + 1.0);
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

// The placed images go into a cell grid; their bounding box lets a list
// atom skip the translations that take it far from all of them.
void Completion::file_images() {
  std::vector<Vec3> cart;
  for (const Placed& p : placed_) {
    Vec3 x = base_frac_[p.base];
    for (std::size_t k = 0; k < 3; ++k) x[k] += static_cast<float>(p.offset[k]);
    cart.push_back(rabs(run_.transf, 0, x));
  }
  grid_.reset(std::max(tol1_ + rmax_ + rmax_ + kCoordinationReach + margin_, 0.5f));
  lo_ = {INFINITY, INFINITY, INFINITY};
  hi_ = {-INFINITY, -INFINITY, -INFINITY};
  grid_.bound_to_points(cart.size(), [&](std::size_t e) -> const Vec3& { return cart[e]; });
  const std::vector<Placed> placed = std::move(placed_);
  placed_.clear();
  for (const Placed& p : placed) file(p);
}

void Completion::file(const Placed& p) {
  Vec3 x = base_frac_[p.base];
  for (std::size_t k = 0; k < 3; ++k) x[k] += static_cast<float>(p.offset[k]);
  const Vec3 c = rabs(run_.transf, 0, x);
  grid_.insert(static_cast<int>(placed_.size()), c);
  placed_.push_back(p);
  for (std::size_t k = 0; k < 3; ++k) {
    if (!std::isfinite(c[k])) bounded_ = false;
    lo_[k] = std::min(lo_[k], c[k]);
    hi_[k] = std::max(hi_[k], c[k]);
  }
}

// Whether some image inside the windows lies on the site of image m.
bool Completion::in_window(const Image& m) const {
  const Vec3 y = rabs(run_.transf, 0, image_frac(m));
  std::vector<int> near;
  for (int t = 0; t < translations(); ++t) {
    const auto& s = shift_[static_cast<std::size_t>(t)];
    const std::array<int, 3> uvw = window_translation(t);
    Vec3 q{};
    for (std::size_t k = 0; k < 3; ++k) q[k] = static_cast<float>(static_cast<double>(y[k]) - s[k]);
    near.clear();
    grid_.collect(q, kSameSite + margin_, near);
    for (int e : near) {
      const Placed& pl = placed_[static_cast<std::size_t>(e)];
      if (pl.exact) continue;
      const Image w = translated(pl, uvw);
      if (dist(rabs(run_.transf, 0, image_frac(w)), y) < kSameSite) return true;
    }
  }
  return false;
}

// A molecule on a cell face whose read atoms lie on one side of it (x = 0.9
// beside the inversion centre at x = 1) bonds across the face to images one
// cell beyond the window. Each operator and translation up to one cell
// beyond the window that brings an image into bonding contact with a read
// atom, on a site no image inside the window reaches, is searched as well,
// for every read atom; images out there that touch only copies are not, so
// a network still ends where the window ends.
// Only operators with a rotation matter: the window of a translation alone
// lies symmetrically about the atom.
void Completion::admit_images_across_faces() {
  const Mat3& c = run_.transf.frac_to_cart;
  const int r = ncells_ + 1;
  // A translation alone (the identity, a centring) moves the window with
  // the atom: a chain along an axis grows by NCELLS cells and no further.
  for (const SymOp& op : run_.symm.ops) pure_translation_.push_back(op.rot == identity_op().rot);
  std::vector<std::pair<std::uint32_t, std::array<int, 3>>> codes;
  std::vector<int> near;
  for (int i = 1; i <= natoms_; ++i) {
    const Atom& p = run_.atoms.at(i);
    const float radius = search_radius(p);
    for (int t = 0; t < (2 * r + 1) * (2 * r + 1) * (2 * r + 1); ++t) {
      const int n = 2 * r + 1;
      const std::array<int, 3> uvw = {t / (n * n) - r, (t / n) % n - r, t % n - r};
      if (std::abs(uvw[0]) <= ncells_ && std::abs(uvw[1]) <= ncells_ && std::abs(uvw[2]) <= ncells_)
        continue;  // inside the window
      Vec3 q{};
      for (std::size_t k = 0; k < 3; ++k) {
        double shift = 0.0;
        for (std::size_t j = 0; j < 3; ++j) shift += static_cast<double>(c[k][j]) * uvw[j];
        q[k] = static_cast<float>(static_cast<double>(p.xc[k]) - shift);
      }
      collect_placed(q, radius, near);
      for (int e : near) {
        const Placed& pl = placed_[static_cast<std::size_t>(e)];
        if (pure_translation_[pl.base % static_cast<std::uint32_t>(nsym_)]) continue;
        const Image m = translated(pl, uvw);
        const Atom& src = run_.atoms.at(static_cast<int>(m.base) / nsym_ + 1);
        float d = dist(rabs(run_.transf, 0, image_frac(m)), p.xc);
        if (d >= kSameSite && within_bond(p, src, d) &&
            parts_allow_bond(src, image_code(m), p, ImageCode{}) && !in_window(m))
          codes.emplace_back(m.base % static_cast<std::uint32_t>(nsym_), m.t);
      }
    }
  }
  std::sort(codes.begin(), codes.end());
  codes.erase(std::unique(codes.begin(), codes.end()), codes.end());
  for (const auto& [op, t] : codes)
    for (std::uint32_t b = op; b < base_frac_.size(); b += static_cast<std::uint32_t>(nsym_))
      file(Placed{b, t, true});
}

// Fractional coordinates of the image: the operator applied to the atom,
// plus the lattice translation.
Vec3 Completion::image_frac(const Image& m) const {
  Vec3 x = base_frac_[m.base];
  for (std::size_t k = 0; k < 3; ++k) x[k] += static_cast<float>(m.t[k]);
  return x;
}

// Settles every image that a list atom can bond to or sit on: within
// tol1 + its own radius + the largest radius of the read atoms, and never
// less than the margin, so that an image sitting on the atom is seen even
// when a negative tolerance leaves the atom no bonding reach.
float Completion::search_radius(const Atom& p) const {
  return std::max(tol1_ + bond_radius(run_, p.iz) + rmax_ + kCoordinationReach, 0.0f) + margin_;
}

bool Completion::within_bond(const Atom& p, const Atom& src, float d) const {
  return d <= tol1_ + bond_radius(run_, p.iz) + bond_radius(run_, src.iz) +
                  (coordination_pair(p.iz, src.iz) ? kCoordinationReach : 0.0f);
}

void Completion::collect_placed(const Vec3& q, float radius, std::vector<int>& near) const {
  near.clear();
  for (std::size_t k = 0; k < 3; ++k)
    if (bounded_ && (q[k] < lo_[k] - radius || q[k] > hi_[k] + radius)) return;
  grid_.collect(q, radius, near);
}

void Completion::visit_images_near(int atom) {
  const Atom& p = run_.atoms.at(atom);
  const float radius = search_radius(p);
  std::vector<int> near;
  for (int t = 0; t < translations(); ++t) {
    const auto& s = shift_[static_cast<std::size_t>(t)];
    const std::array<int, 3> uvw = window_translation(t);
    Vec3 q{};
    for (std::size_t k = 0; k < 3; ++k) q[k] = static_cast<float>(static_cast<double>(p.xc[k]) - s[k]);
    collect_placed(q, radius, near);
    for (int e : near) {
      const Placed& pl = placed_[static_cast<std::size_t>(e)];
      if (pl.exact && uvw != std::array<int, 3>{}) continue;
      const Image m = translated(pl, uvw);
      if (m.base % static_cast<std::uint32_t>(nsym_) == 0 && m.t == std::array<int, 3>{})
        continue;  // the atom itself
      const int source = static_cast<int>(m.base) / nsym_ + 1;
      const Atom& src = run_.atoms.at(source);
      float d = dist(rabs(run_.transf, 0, image_frac(m)), p.xc);
      if (d < kSameSite) {
        duplicate_.insert(m);
      } else if (within_bond(p, src, d) &&
                 parts_allow_bond(src, image_code(m), p, run_.cryst.image_of(atom))) {
        if (duplicate_.count(m) == 0 && bonded_.insert(m).second) acceptable_.push(m);
      }
    }
  }
}

void Completion::accept(const Image& m) {
  const int source = static_cast<int>(m.base) / nsym_ + 1;
  Cryst& cryst = run_.cryst;

  int k = run_.atoms.append("GenCompleteFrags");
  if (k != cryst.nall + 1) err("GenCompleteFrags", "atom table does not end with the working list");
  const Atom& src = run_.atoms.at(source);
  Atom& copy = run_.atoms.at(k);
  copy.label = src.label;
  copy.iz = src.iz;
  copy.occ = src.occ;
  copy.flag = src.flag;
  copy.part = src.part;
  copy.assembly = src.assembly;
  copy.xf = image_frac(m);
  copy.xc = rabs(run_.transf, 0, copy.xf);
  cryst.nall = k;
  cryst.isq.push_back(source);
  cryst.nsq.push_back(0);
  cryst.image.push_back(image_code(m));
  ++cryst.nsq[static_cast<std::size_t>(source - 1)];
  visit_images_near(k);
}

void Completion::complete() {
  set_working_list(run_);
  if (nsym_ < 1) return;
  for (int i = 1; i <= natoms_; ++i) visit_images_near(i);
  while (!acceptable_.empty()) {
    Image m = acceptable_.top();
    acceptable_.pop();
    if (duplicate_.count(m) == 0) accept(m);
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
