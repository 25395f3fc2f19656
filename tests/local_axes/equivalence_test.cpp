// Chemical equivalence: the trace of each criterion of the pairwise test,
// the kappa sets and CHEMCON references of acetone under the options that
// change them, and the indexed search against the plain scan over every
// earlier atom on random bonded graphs.
#include "local_axes/equivalence.hpp"

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <sstream>

#include "databank/molecule_builder.hpp"
#include "model/run.hpp"

namespace tesk {
namespace {

using testkit::Molecule;

std::string pad(std::string s, std::size_t n) {
  s.resize(n, ' ');
  return s;
}

// A structure given as elements and bonds; the neighbour records are built
// directly: members in atom order, types by ascending atomic number.
struct Graph {
  std::vector<int> z;
  std::vector<std::vector<int>> bonded;

  int add(int zz) {
    z.push_back(zz);
    bonded.emplace_back();
    return static_cast<int>(z.size());
  }
  void bond(int a, int b) {
    bonded[static_cast<std::size_t>(a - 1)].push_back(b);
    bonded[static_cast<std::size_t>(b - 1)].push_back(a);
  }
  int degree(int a) const { return static_cast<int>(bonded[static_cast<std::size_t>(a - 1)].size()); }

  void load(Run& run, std::mt19937* rng = nullptr) const {
    const int n = static_cast<int>(z.size());
    std::uniform_real_distribution<float> box(0.0f, 30.0f);
    run.nb.neighbors.rec.assign(static_cast<std::size_t>(n), NeighbourRecord{});
    for (int a = 1; a <= n; ++a) {
      Atom& atom = run.atoms.at(run.atoms.append("test"));
      atom.label = pad("A" + std::to_string(a), 8);
      atom.iz = z[static_cast<std::size_t>(a - 1)];
      atom.sftype = atom.iz;
      atom.occ = 1.0f;
      atom.sitesym = "NO   ";
      if (rng) atom.xc = atom.xf = {box(*rng), box(*rng), box(*rng)};
      NeighbourRecord& r = run.nb.neighbors.at(a);
      std::vector<int> nb = bonded[static_cast<std::size_t>(a - 1)];
      std::sort(nb.begin(), nb.end());
      r.nnei = static_cast<int>(nb.size());
      r.jnei = nb;
      r.dnei.assign(nb.size(), 1.5f);
      for (int zz = 1; zz <= 100; ++zz) {
        std::vector<int> members;
        for (int j : nb)
          if (z[static_cast<std::size_t>(j - 1)] == zz) members.push_back(j);
        if (members.empty()) continue;
        r.ztyp.push_back(zz);
        r.ntnei.push_back(static_cast<int>(members.size()));
        r.tnei.push_back(members);
      }
      r.ntyp = static_cast<int>(r.ztyp.size());
    }
    run.atoms.natoms = run.cryst.nall = n;
    run.cryst.isq.assign(static_cast<std::size_t>(n), 0);
    run.db.except.assign(static_cast<std::size_t>(n), ExceptRow{});
    run.db.forh.assign(static_cast<std::size_t>(n), {0, 0, 0});
  }
};

void add_ring(Run& run, std::vector<int> atoms, int planar) {
  run.rings.ring.push_back({static_cast<int>(atoms.size()), atoms, planar, 0});
  run.rings.member_of.resize(static_cast<std::size_t>(run.atoms.size()));
  for (int a : atoms) run.rings.member_of[static_cast<std::size_t>(a - 1)].push_back(run.rings.nor());
}

// ---------------------------------------------------------------- pairwise test

// C1 and C2, each bonded to one N and two H (atoms 3-5 and 6-8).
struct PairRow {
  const char* why;
  std::function<void(Graph&)> graph;
  std::function<void(Run&)> state;
  bool bysym, simple;
  int result;
  const char* trace;  // after the header line
};

TEST(SameAtoms, EachCriterionTracesItsReason) {
  const std::string no = "   atoms are NOT chemically equivalent : ";
  const auto none = [](auto&) {};
  const PairRow rows[] = {
      {"identical", none, none, true, false, 1, "  YES, these atoms are chemically equivalent !"},
      {"element", [](Graph& g) { g.z[1] = 7; }, none, true, false, 0, " Diff. atomic numbers"},
      {"bond count", [](Graph& g) { g.bonded[1].pop_back(); }, none, true, false, 0,
       " Diff. number of neighbors"},
      {"an O for an H adds a type", [](Graph& g) { g.z[7] = 8; }, none, true, false, 0,
       " Diff. number of neighbor types"},
      {"O for N: second type differs", [](Graph& g) { g.z[5] = 8; }, none, true, false, 0,
       " Diff. atomic numbers of  2-th type"},
      {"NNH against NHH: counts of the first type", [](Graph& g) { g.z[7] = 7; }, none, true,
       false, 0, " Diff. num. of nei. of  1-th type"},
      {"in a planar six-ring", none, [](tesk::Run& r) { add_ring(r, {1, 3, 4, 5, 6, 7}, 1); }, true,
       false, 0, " Diff. ring memb numbers"},
      {"site symmetry", none, [](tesk::Run& r) { r.atoms.at(2).sitesym = "m    "; }, true, false, 0,
       " Diff. local symmetry"},
      {"site symmetry not asked (axis rules)", none,
       [](tesk::Run& r) { r.atoms.at(2).sitesym = "m    "; }, false, false, 1,
       "  YES, these atoms are chemically equivalent !"},
      {"functional group", none, [](tesk::Run& r) { r.db.except[1].group = pad("ester", 40); }, true,
       false, 0, " Diff. functional groups"},
      {"group names compare case-blind", none,
       [](tesk::Run& r) {
         r.db.except[0].group = pad("ESTER", 40);
         r.db.except[1].group = pad("Ester", 40);
       },
       true, false, 1, "  YES, these atoms are chemically equivalent !"},
      {"SIMPLE: neighbour elements and rings ignored", [](Graph& g) { g.z[5] = 8; },
       [](tesk::Run& r) { add_ring(r, {1, 3, 4, 5, 6, 7}, 1); }, true, true, 1,
       "  YES, these atoms are chemically equivalent !"},
      {"SIMPLE still counts neighbours", [](Graph& g) { g.bonded[1].pop_back(); }, none, true,
       true, 0, " Diff. number of neighbors"},
  };
  for (const PairRow& row : rows) {
    Graph g;
    for (int zz : {6, 6, 7, 1, 1, 7, 1, 1}) g.add(zz);
    for (int k = 3; k <= 5; ++k) g.bond(1, k);
    for (int k = 6; k <= 8; ++k) g.bond(2, k);
    row.graph(g);
    tesk::Run run;
    std::ostringstream log;
    run.out.log.attach(log);
    run.opt.verbosity = 3;
    g.load(run);
    row.state(run);
    EXPECT_EQ(sameatoms(run, 1, 2, row.bysym, true, row.simple, true), row.result) << row.why;
    const std::string reason = row.result == 1 ? row.trace : no + row.trace;
    EXPECT_EQ(log.str(), "\n Checking if atoms A1       and A2       are chemically equivalent:\n" +
                             reason + "\n")
        << row.why;
  }
}

// ---------------------------------------------------------------- kappa sets

// Acetone, in input order C2 O1 C1 C3 H11 H12 H13 H31 H32 H33.
Molecule acetone() {
  Molecule m;
  int c2 = m.at("C2", {0, 0, 0});
  int o = m.at("O1", {1.21f, 0, 0});
  int c1 = m.bonded("C1", c2, 1.51, o, 121.5, 0, 0);
  int c3 = m.bonded("C3", c2, 1.51, o, 121.5, c1, 180.0);
  for (int k = 0; k < 3; ++k)
    m.bonded("H1" + std::to_string(k + 1), c1, 1.09, c2, 109.5, o, 60.0 + 120.0 * k);
  for (int k = 0; k < 3; ++k)
    m.bonded("H3" + std::to_string(k + 1), c3, 1.09, c2, 109.5, o, 60.0 + 120.0 * k);
  return m;
}

// What the axis rules leave behind before the kappa-set search: site
// symmetry, and for a hydrogen its parent's bond count, element and H count.
void axis_results(Run& run, int a) {
  Atom& atom = run.atoms.at(a);
  const NeighbourRecord& r = run.nb.neighbors.at(a);
  atom.sitesym = atom.iz == 1 ? "cyl  " : r.nnei == 4 ? "3m   " : r.nnei == 3 ? "mm2  " : "m    ";
  if (atom.iz != 1) return;
  const NeighbourRecord& p = run.nb.neighbors.at(r.jnei[0]);
  run.db.forh.at(static_cast<std::size_t>(a - 1)) = {p.nnei, run.atoms.at(r.jnei[0]).iz,
                                                     p.ztyp[0] == 1 ? p.ntnei[0] : 0};
}

void kappas(Run& run, std::vector<KappaSet> sets) {
  run.db.kappas = sets;
  run.db.nkappas = run.db.nkappaset = static_cast<int>(sets.size());
}

struct KappaRow {
  const char* why;
  std::function<void(Run&)> setup;
  std::vector<int> kset, chemcon;
  const char* logged;
};

TEST(KappaSets, AcetoneUnderTheOptions) {
  const auto none = [](tesk::Run&) {};
  const KappaRow rows[] = {
      {"defaults: first atom opens set 1, methyls and their H share", none,
       {1, 2, 3, 3, 4, 4, 4, 4, 4, 4}, {0, 0, 0, 3, 0, 5, 5, 5, 5, 5}, "\n Old kappa set =    4\n"},
      {"no non-H constraints", [](tesk::Run& r) { r.opt.lchem = {1, 0}; },
       {1, 2, 3, 4, 5, 5, 5, 5, 5, 5}, {0, 0, 0, 0, 0, 5, 5, 5, 5, 5}, "\n New kappa set =    4\n"},
      {"no H constraints", [](tesk::Run& r) { r.opt.lchem = {0, 1}; }, {1, 2, 3, 3, 4, 5, 6, 7, 8, 9},
       {0, 0, 0, 3, 0, 0, 0, 0, 0, 0}, "\n New kappa set =    9\n"},
      {"methyl carbons differing in site symmetry",
       [](tesk::Run& r) { r.atoms.at(4).sitesym = "m    "; }, {1, 2, 3, 4, 5, 5, 5, 5, 5, 5},
       {0, 0, 0, 0, 0, 5, 5, 5, 5, 5}, "\n Old kappa set =    5\n"},
      {"TOKQ: sets are scattering types", [](tesk::Run& r) { r.opt.lsx = 1; },
       {6, 8, 6, 6, 1, 1, 1, 1, 1, 1}, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, ""},
      {"ordered C next to disordered H reuses the IAM set of carbon",
       [](tesk::Run& r) {
         r.atoms.at(5).flag = -1;
         kappas(r, {{{0.98f, 1.02f}, 6}, {{1.0f, 1.0f}, 8}, {{1.00005f, 0.99995f}, 6}});
       },
       {4, 5, 3, 3, 6, 6, 6, 6, 6, 6}, {0, 0, 0, 3, 0, 5, 5, 5, 5, 5},
       "\n Using old [IAM] kappa set =    3\n"},
      {"... or opens one when carbon has none",
       [](tesk::Run& r) {
         r.atoms.at(5).flag = -1;
         kappas(r, {{{0.98f, 1.0f}, 6}, {{1.0f, 1.0f}, 1}});
       },
       {3, 4, 5, 5, 6, 6, 6, 6, 6, 6}, {0, 0, 0, 3, 0, 5, 5, 5, 5, 5}, "\n New kappa set =    5\n"},
  };
  for (const KappaRow& row : rows) {
    tesk::Run run;
    std::ostringstream log;
    run.out.log.attach(log);
    acetone().load(run);
    run.db.forh.resize(static_cast<std::size_t>(run.atoms.natoms));
    for (int a = 1; a <= run.atoms.natoms; ++a) run.atoms.at(a).sftype = run.atoms.at(a).iz;
    row.setup(run);
    std::vector<int> refs;
    for (int a = 1; a <= run.atoms.natoms; ++a) {
      if (run.atoms.at(a).sitesym == "     ") axis_results(run, a);
      AxisDecision d;
      assign_kappa_set(run, a, d);
      refs.push_back(run.axes.rec.at(static_cast<std::size_t>(a - 1)).chemcon);
      EXPECT_EQ(run.axes.chemcon.at(static_cast<std::size_t>(a - 1)), refs.back() > 0 ? 1 : 0);
    }
    EXPECT_EQ(run.db.kappaset, row.kset) << row.why;
    EXPECT_EQ(refs, row.chemcon) << row.why;
    EXPECT_EQ(run.db.nkappaset, *std::max_element(row.kset.begin(), row.kset.end())) << row.why;
    EXPECT_NE(log.str().find(row.logged), std::string::npos) << row.why << "\n" << log.str();
  }
}

// The carbonyl oxygen: its group is logged and kept upper-cased.
TEST(KappaSets, GroupIsLoggedUpperCased) {
  tesk::Run run;
  std::ostringstream log;
  run.out.log.attach(log);
  acetone().load(run);
  run.db.forh.resize(static_cast<std::size_t>(run.atoms.natoms));
  AxisDecision d;
  axis_results(run, 1);
  assign_kappa_set(run, 1, d);
  log.str("");
  axis_results(run, 2);
  assign_kappa_set(run, 2, d);
  EXPECT_EQ(log.str(),
            "\n Calling DetExcept...\n"
            "\n DetExcept :: checking (?)c=O group...\n"
            "\n Exception identified for O1       : Functional group = [" +
                pad("KETONE", 40) +
                "]\n"
                "\n Trying to determine the KAPPA SET : \n"
                "\n New kappa set =    2\n");
  EXPECT_EQ(run.db.except.at(1).group, pad("KETONE", 40));
}

// ---------------------------------------------------------------- index against plain scan

// Random bonded graphs of H, C, N, O and P with random rings, site
// symmetries, parent summaries, disorder and preset group names (kept by
// atoms that skip recognition), followed by phosphate ions whose P is named
// only when its oxygens are treated, after the P itself was filed.
void random_structure(Run& run, unsigned seed) {
  std::mt19937 rng(seed);
  auto pick = [&rng](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
  const int elements[] = {1, 1, 1, 1, 6, 6, 6, 7, 8, 8, 15};
  const int valence[] = {0, 1, 0, 0, 0, 0, 4, 3, 2, 0, 0, 0, 0, 0, 0, 4};
  Graph g;
  for (int a = 1; a <= 300; ++a) {
    const int z = elements[pick(11)];
    g.add(z);
    for (int tries = 0; tries < 3 && a > 1; ++tries) {
      const int b = 1 + pick(a - 1);
      if (g.degree(a) < valence[z] && g.degree(b) < valence[g.z[static_cast<std::size_t>(b - 1)]])
        g.bond(a, b);
    }
  }
  for (int k = 0; k < 4; ++k) {
    const int p = g.add(15);
    for (int o = 0; o < 4; ++o) g.bond(p, g.add(8));
  }
  g.load(run, &rng);
  const char* symmetry[] = {"NO   ", "m    ", "mm2  "};
  const char* groups[] = {"", "ester", "ESTER", "Phenol"};
  for (int a = 1; a <= 300; ++a) {
    Atom& atom = run.atoms.at(a);
    atom.sitesym = symmetry[pick(3)];
    atom.flag = pick(20) == 0 ? -1 : 0;
    if (atom.iz == 1 && pick(4) == 0) atom.sftype = 2;
    if (atom.iz == 1) run.db.forh[static_cast<std::size_t>(a - 1)] = {1 + pick(3), 6 + pick(2), pick(3)};
    run.db.except[static_cast<std::size_t>(a - 1)].group = pad(groups[pick(4)], 40);
  }
  for (int r = 0; r < 4; ++r) {
    std::vector<int> members;
    for (int k = 0; k < 5 + pick(2); ++k) members.push_back(1 + pick(300));
    std::sort(members.begin(), members.end());
    members.erase(std::unique(members.begin(), members.end()), members.end());
    add_ring(run, members, pick(2));
  }
  for (auto& in : run.rings.member_of) std::sort(in.begin(), in.end());
}

bool next_to_disorder(const Run& run, int a) {
  const auto& jnei = run.nb.neighbors.at(a).jnei;
  return run.atoms.at(a).flag != -1 &&
         std::any_of(jnei.begin(), jnei.end(), [&](int j) { return run.atoms.at(j).flag == -1; });
}

std::string upper_group(const Run& run, int a) {
  std::string s = run.db.except.at(static_cast<std::size_t>(a - 1)).group;
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

// The first earlier atom equivalent to `a`, by comparing with each in turn.
int plain_scan(Run& run, int a) {
  for (int j = 1; j < a; ++j) {
    if (run.atoms.at(a).iz != 1) {
      if (sameatoms(run, a, j, true, true, false, true) == 1) return j;
    } else if (run.atoms.at(a).sftype == run.atoms.at(j).sftype &&
               run.db.forh[static_cast<std::size_t>(a - 1)] ==
                   run.db.forh[static_cast<std::size_t>(j - 1)] &&
               upper_group(run, a) == upper_group(run, j)) {
      return j;
    }
  }
  return 0;
}

TEST(KappaSets, IndexFindsWhatThePlainScanFinds) {
  for (unsigned seed = 1; seed <= 8; ++seed) {
    for (int verbosity : {1, 3}) {
      tesk::Run run;
      random_structure(run, seed);
      int matched = 0;
      for (int a = 1; a <= run.atoms.natoms; ++a) {
        AxisDecision d;
        run.opt.verbosity = verbosity;
        assign_kappa_set(run, a, d);
        run.opt.verbosity = 1;  // the reference scan writes nothing
        const int want = next_to_disorder(run, a) ? 0 : plain_scan(run, a);
        const int got = run.axes.rec.at(static_cast<std::size_t>(a - 1)).chemcon;
        ASSERT_EQ(got, want) << "seed " << seed << " verbosity " << verbosity << " atom " << a;
        if (want > 0) ++matched;
      }
      EXPECT_GT(matched, 50) << "seed " << seed;
      // Every phosphate P was filed unnamed and then named by its oxygens.
      for (int p = 301; p <= 320; p += 5) EXPECT_EQ(upper_group(run, p), pad("PO4", 40));
    }
  }
}

}  // namespace
}  // namespace tesk
