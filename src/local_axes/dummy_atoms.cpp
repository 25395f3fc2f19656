// Dummy atoms: the list DUM1, DUM2, ... with a cell grid over their
// cartesian positions, so that the 0.1 Angstrom reuse test and the search
// for symmetry-generated axis atoms look only near the point in question.
#include "local_axes/dummy_atoms.hpp"

#include <algorithm>
#include <utility>
#include <vector>

#include "core/errors.hpp"
#include "format/fortran_format.hpp"
#include "model/run.hpp"
#include "structure/cell.hpp"

namespace tesk {

namespace {

// An axis point this close to a symmetry-generated atom is that atom.
constexpr float kSameSite = 0.001f;
constexpr float kGridEdge = 1.0f;

// Dummy positions are kept as fractional coordinates when the structure has
// a cell (ifra 1) and as cartesian ones otherwise.
Vec3 stored_to_cart(const Run& run, const Vec3& stored) {
  return run.opt.ifra == 1 ? rabs(run.transf, 0, stored) : stored;
}

// A fractional point is turned into cartesian coordinates when dummies are
// kept cartesian, so that a stored position always has one meaning.
Vec3 stored_form(const Run& run, bool frac, const Vec3& x) {
  if (run.opt.ifra == 1) return frac ? x : rabs(run.transf, 1, x);
  return frac ? rabs(run.transf, 0, x) : x;
}

// The dummy table with its grid in step with the list; a list filled by
// other means is filed afresh.
DummyTable& filed_dummies(Run& run) {
  DummyTable& t = run.axes.dummy;
  if (static_cast<int>(t.grid.size()) != t.ndum()) {
    t.grid.reset(kGridEdge);
    for (int k = 1; k <= t.ndum(); ++k)
      t.grid.insert(k, stored_to_cart(run, t.dum[static_cast<std::size_t>(k - 1)].x));
  }
  return t;
}

// Appends dummy ndum + 1 at a position already in the stored form. The
// label is made first: its three-digit limit is the capacity check.
int append_dummy(Run& run, const Vec3& stored) {
  DummyTable& t = filed_dummies(run);
  const int k = t.ndum() + 1;
  t.dum.push_back({dummylab(k), stored});
  t.grid.insert(k, stored_to_cart(run, stored));
  return k;
}

const DummyAtom& dummy_at(const Run& run, int k) {
  return run.axes.dummy.dum.at(static_cast<std::size_t>(k - 1));
}

// The symmetry-generated atoms natoms+1 .. nall filed by cartesian position.
// Copies never move once fragment completion is over, so the grid is refiled
// only when the working list has changed.
const CellGrid& filed_generated(Run& run) {
  GeneratedAtomGrid& gen = run.axes.generated;
  const int natoms = run.atoms.natoms, nall = run.cryst.nall;
  if (gen.natoms != natoms || gen.nall != nall) {
    gen.grid.reset(kGridEdge);
    for (int g = natoms + 1; g <= nall; ++g) gen.grid.insert(g, run.atoms.at(g).xc);
    gen.natoms = natoms;
    gen.nall = nall;
  }
  return gen.grid;
}

// Every (generated atom, axis point 1 or 2) closer than kSameSite, ordered
// as a loop over the generated atoms in ascending number, first point
// before second, would meet them.
std::vector<std::pair<int, int>> generated_hits(Run& run, const AxisDecision& d) {
  const CellGrid& grid = filed_generated(run);
  std::vector<std::pair<int, int>> hits;
  std::vector<int> near;
  const Vec3* points[2] = {&d.p1.xc, &d.p2.xc};
  for (int which = 1; which <= 2; ++which) {
    const Vec3& p = *points[which - 1];
    near.clear();
    grid.collect(p, kSameSite, near);
    for (int g : near)
      if (dist(p, run.atoms.at(g).xc) < kSameSite) hits.emplace_back(g, which);
  }
  std::sort(hits.begin(), hits.end());
  hits.erase(std::unique(hits.begin(), hits.end()), hits.end());
  return hits;
}

}  // namespace

std::string dummylab(int k) {
  if (k > kMaxDummyLabels) err("DummyLab", "DUMMY label exceeds format...");
  return "DUM" + std::to_string(k);
}

int adddummyatom(Run& run, bool frac, const Vec3& x) {
  const Vec3 stored = stored_form(run, frac, x);
  const Vec3 xc = frac ? stored_to_cart(run, stored) : x;
  DummyTable& t = filed_dummies(run);
  std::vector<int> near;
  t.grid.collect(xc, kDummyReuse, near);
  std::sort(near.begin(), near.end());
  for (int k : near)
    if (dist(xc, stored_to_cart(run, dummy_at(run, k).x)) < kDummyReuse) return k;
  return append_dummy(run, stored);
}

Vec3 dummy_xc(const Run& run, int k) { return stored_to_cart(run, dummy_at(run, k).x); }

AxisPoint dummy_point(const Run& run, int k) {
  AxisPoint p;
  p.label = fixed_width(dummy_at(run, k).label, 8);
  p.atom = 0;
  p.dummy = k;
  p.xc = dummy_xc(run, k);
  return p;
}

int centroid_dummy(Run& run, const std::vector<int>& atoms) {
  // The centroid is a linear mean, so fractional and cartesian averages name
  // the same point; the stored form decides which is taken.
  const bool frac = run.opt.ifra == 1;
  Vec3 sum{};
  for (int a : atoms) {
    const Atom& atom = run.atoms.at(a);
    const Vec3& x = frac ? atom.xf : atom.xc;
    for (std::size_t c = 0; c < 3; ++c) sum[c] += x[c];
  }
  const float n = static_cast<float>(atoms.size());
  return adddummyatom(run, frac, {sum[0] / n, sum[1] / n, sum[2] / n});
}

int ring_centre_dummy(Run& run, int r) {
  Ring& ring = run.rings.ring.at(static_cast<std::size_t>(r - 1));
  if (ring.rcent == 0) ring.rcent = centroid_dummy(run, ring.ratom);
  return ring.rcent;
}

// The KQ master file names only the atoms read in, so an axis atom that is a
// symmetry copy becomes a dummy atom at the copy's position. Every hit makes
// its own dummy, even where one already stands.
void checksymeq(Run& run, AxisDecision& d) {
  for (const auto& [g, which] : generated_hits(run, d)) {
    AxisPoint& p = which == 1 ? d.p1 : d.p2;
    const char letter = letter_char(which == 1 ? d.first : d.second);
    const Atom& copy = run.atoms.at(g);
    const int k = append_dummy(run, run.opt.ifra == 1 ? copy.xf : copy.xc);
    run.out.log << ffmt("(/' Atom ',a,' used in definition of ',a,'-axis is',"
                        "' symmetry-generated; replace with dummy ',i4)",
                        {p.label, std::string(1, letter), k});
    p.label = fixed_width(dummy_at(run, k).label, 8);
    p.atom = 0;
    p.dummy = k;
  }
}

}  // namespace tesk
