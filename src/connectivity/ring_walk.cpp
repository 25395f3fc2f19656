// The ring walk: a depth-first walk over the reduced connectivity in which
// every directed edge is walked at most once. Whenever the walk reaches a
// list position already on its path, the closed stretch of path is a ring
// candidate.
#include <string>
#include <vector>

#include "connectivity/planes.hpp"
#include "connectivity/rings.hpp"
#include "core/errors.hpp"
#include "model/run.hpp"
#include "format/fortran_format.hpp"

namespace tesk {
namespace {

// The walk's state, by list position (1-based; index 0 unused). `last`
// and `earlier` index the path so the latest occurrence of a position is
// found without scanning it.
struct Walk {
  const std::vector<std::vector<int>>* icon = nullptr;
  std::vector<std::vector<char>> choices;  // 1 while the edge (position, slot) is unwalked
  std::vector<int> unwalked;               // per position: edges still unwalked
  std::vector<char> visited;
  std::vector<int> ird{0};                 // the path, entries 1..k; ird[0] = 0 precedes it
  std::vector<int> earlier{0};             // per entry: earlier entry of the same position, or 0
  std::vector<int> last;                   // per position: its latest path entry, or 0
  int first_unvisited = 1;
  int minsize = 0;
  int maxsize = 0;

  int k() const { return static_cast<int>(ird.size()) - 1; }
  const std::vector<int>& con(int p) const { return (*icon)[static_cast<std::size_t>(p - 1)]; }

  void push(int p) {
    if (k() >= kMaxPath) err("FindRings", "Path too long (maxpath)");
    ird.push_back(p);
    earlier.push_back(last[static_cast<std::size_t>(p)]);
    last[static_cast<std::size_t>(p)] = k();
  }
  void truncate(int top) {
    while (k() > top) {
      last[static_cast<std::size_t>(ird.back())] = earlier.back();
      ird.pop_back();
      earlier.pop_back();
    }
  }
  void walk_edge(int p, std::size_t slot) {
    choices[static_cast<std::size_t>(p)][slot] = 0;
    --unwalked[static_cast<std::size_t>(p)];
  }
};

// The first unwalked edge of `cur` that does not lead back to `prev`,
// marked walked; 0 if there is none.
int ichoice(Walk& w, int prev, int cur) {
  const auto& con = w.con(cur);
  for (std::size_t s = 0; s < con.size(); ++s) {
    if (w.choices[static_cast<std::size_t>(cur)][s] && con[s] != prev) {
      w.walk_edge(cur, s);
      return con[s];
    }
  }
  return 0;
}

// Back along the path below the top to the last branch point that still
// has an unwalked edge, which becomes the top. False when there is none.
bool go2lcp(Walk& w) {
  for (int e = w.k() - 1; e >= 1; --e) {
    const int p = w.ird[static_cast<std::size_t>(e)];
    if (w.con(p).size() > 2 && w.unwalked[static_cast<std::size_t>(p)] > 0) {
      w.truncate(e);
      return true;
    }
  }
  return false;
}

// A new path from the first position not yet visited, along its first
// edge. False when every position has been visited.
bool checkvisited(Walk& w) {
  const int n = static_cast<int>(w.icon->size());
  while (w.first_unvisited <= n && w.visited[static_cast<std::size_t>(w.first_unvisited)])
    ++w.first_unvisited;
  if (w.first_unvisited > n) return false;
  const int p = w.first_unvisited;
  // Edges are walked only from visited positions.
  if (w.con(p).empty() || !w.choices[static_cast<std::size_t>(p)][0]) err("CheckVisited", "Internal error");
  w.truncate(0);
  w.push(p);
  w.push(w.con(p)[0]);
  w.walk_edge(p, 0);
  w.visited[static_cast<std::size_t>(p)] = 1;
  w.visited[static_cast<std::size_t>(w.con(p)[0])] = 1;
  return true;
}

void store_ring(Run& run, const std::vector<int>& atoms) {
  if (run.rings.nor() >= kMaxRings) err("FindRings", "Too many rings (maxrings)");
  Ring ring;
  ring.rsize = static_cast<int>(atoms.size());
  ring.ratom = atoms;
  run.rings.ring.push_back(ring);
  const int r = run.rings.nor();
  for (int a : atoms) {
    auto& list = run.rings.member_of[static_cast<std::size_t>(a - 1)];
    if (list.empty() || list.back() != r) list.push_back(r);
  }

  run.out.log << ffmt("(/' **********  FOUND RING # ',i4,' ---> ',i3,' - MEMBERED  **********',/)",
                      {r, ring.rsize});
  std::vector<FArg> labels, numbers;
  for (int a : atoms) {
    labels.emplace_back(run.atoms.at(a).label);
    numbers.emplace_back(a);
  }
  run.out.log << ffmt("(99(2x,a))", labels);
  run.out.log << ffmt("(99(i6,4x) )", numbers);

  // Three points always lie in a plane.
  int planar = 1;
  if (ring.rsize > 3) planar = planarity(run, true, atoms, kRingMode);
  run.rings.ring.back().rplan = planar;
}

// The closed path ird(m..top): a ring when its size is in range, it does
// not close back along its own first edge, and it is not stored already.
void checkring(Run& run, const Walk& w, int m, int top) {
  std::vector<int> atoms;
  for (int e = m; e <= top; ++e) {
    atoms.push_back(run.ringsearch.newat[static_cast<std::size_t>(w.ird[static_cast<std::size_t>(e)] - 1)]);
    if (static_cast<int>(atoms.size()) > w.maxsize) return;
  }
  if (static_cast<int>(atoms.size()) < w.minsize) return;
  if (w.ird[static_cast<std::size_t>(m + 1)] == w.ird[static_cast<std::size_t>(top)]) return;
  if (ichk_ring(run, atoms) == 1) return;
  store_ring(run, atoms);
}

// Moves the first branch atom (three connections or more) to list position
// 1, so the walk starts inside a ring system at a fusion atom.
void start_at_branch(RingSearchState& rs) {
  int v = 0;
  for (int p = 1; p <= rs.count() && v == 0; ++p)
    if (rs.icon[static_cast<std::size_t>(p - 1)].size() >= 3) v = p;
  if (v <= 1) return;
  std::swap(rs.newat[0], rs.newat[static_cast<std::size_t>(v - 1)]);
  std::swap(rs.icon[0], rs.icon[static_cast<std::size_t>(v - 1)]);
  for (auto& con : rs.icon) {
    for (int& q : con) {
      if (q == 1) q = v;
      else if (q == v) q = 1;
    }
  }
}

void walk(Run& run, Walk& w) {
  checkvisited(w);
  for (;;) {
    const int top = w.k();
    const int c = ichoice(w, w.ird[static_cast<std::size_t>(top - 1)], w.ird[static_cast<std::size_t>(top)]);
    if (c != 0) {
      const int m = w.last[static_cast<std::size_t>(c)];
      w.push(c);
      w.visited[static_cast<std::size_t>(c)] = 1;
      if (m > 0) checkring(run, w, m, top);
      continue;
    }
    if (go2lcp(w)) continue;
    if (!checkvisited(w)) return;
  }
}

}  // namespace

void findrings(Run& run) {
  const int minsize = run.opt.ring1[0];
  const int maxsize = run.opt.ring1[1];
  if (maxsize > kMaxRingSize) err("FindRings", "Largest ring size above 100 (maxsize)");
  run.rings.ring.clear();
  run.rings.member_of.assign(static_cast<std::size_t>(run.atoms.size()), {});

  run.out.log << ffmt("(/80a)", std::vector<FArg>(80, FArg("-")));
  run.both_console_first(ffmt("(/' AUTOMATED SEARCH FOR ',i3,' -',i3,' - MEMBERED RINGS')",
                              {minsize, maxsize}));
  run.out.console << "\n";

  auto& rs = run.ringsearch;
  if (rs.count() < 3) {
    run.both_console_first(ffmt("(/' THERE ARE NO ATOMS IN THE REDUCED CONNECTIVITY TABLE',//,"
                                "' SEARCH FOR RINGS WILL NOT BE PERFORMED...')"));
    return;
  }
  start_at_branch(rs);

  Walk w;
  w.icon = &rs.icon;
  w.minsize = minsize;
  w.maxsize = maxsize;
  const auto n = static_cast<std::size_t>(rs.count());
  w.choices.resize(n + 1);
  w.unwalked.assign(n + 1, 0);
  for (std::size_t p = 1; p <= n; ++p) {
    w.choices[p].assign(rs.icon[p - 1].size(), 1);
    w.unwalked[p] = static_cast<int>(rs.icon[p - 1].size());
  }
  w.visited.assign(n + 1, 0);
  w.last.assign(n + 1, 0);
  walk(run, w);

  run.out.log << ffmt("(/79a)", std::vector<FArg>(79, FArg("-")));
  run.both(ffmt("(/' TOTAL RINGS FOUND (nor)  = ',i6)", {run.rings.nor()}));
}

}  // namespace tesk
