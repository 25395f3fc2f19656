// The indexed search must give what a plain scan of the file from its first
// line gives: same entry, parameters, counters, and the same fatal stop at
// the same point. The plain scan below reads the lines one by one, as the
// file would be read; randomised databanks exercise comments, missing and
// extra records, EXCEPT entries, broken headers and truncated ends.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "core/errors.hpp"
#include "databank/databank.hpp"
#include "databank_fixture.hpp"

namespace tesk {
namespace {

using testing::Molecules;
using M = Molecules;

struct Outcome {
  bool stopped = false;
  FatalError::Kind kind = FatalError::Kind::Stop;
  std::string routine, message;
  MatchRecord match;
  std::string comment;
};

// The reference: one pass over the lines with a file position.
class PlainScan {
 public:
  PlainScan(const std::vector<std::string>& lines, const Run& run, int atom)
      : lines_(lines), run_(run), atom_(atom) {
    const NeighbourRecord& n = run.nb.neig;
    inei_ = n.nnei;
    for (int t = 0; t < n.ntyp; ++t) types_.push_back({n.ztyp[t], n.ntnei[t]});
    asymi_ = upper(fixed_width(run.atoms.at(atom).sitesym, 5));
    ex_ = run.db.except[static_cast<std::size_t>(atom - 1)];
  }

  Outcome run() {
    Outcome out;
    try {
      search(out);
    } catch (const FatalError& e) {
      out.stopped = true;
      out.kind = e.kind();
      out.routine = e.routine();
      out.message = e.message();
    }
    return out;
  }

 private:
  struct Rec {
    std::size_t line;
    LineExtract ex;
    std::string text;  // upper-cased, keyword words blanked
    bool is(const char* key) const { return trim_right(ex.word(1)) == key; }
  };

  std::string raw(std::size_t i) const { return lines_[i].substr(0, 200); }
  std::string where(std::size_t i) const {
    return "databank line " + std::to_string(i + 1) + ": " + trim_right(raw(i));
  }

  Rec readfile() {
    for (;;) {
      if (pos_ >= lines_.size()) {
        std::size_t h = lines_.size();
        while (h > 0 && lines_[h - 1].substr(0, 4) != "ATOM") --h;
        err("ReadFile", "Error reading databank random.db: the file ends at line " +
                            std::to_string(lines_.size()) + " inside the entry of line " +
                            std::to_string(h));
      }
      std::size_t i = pos_++;
      if (!lines_[i].empty() && lines_[i][0] == '!') continue;
      Rec r{i, {}, upper(fixed_width(raw(i), 200))};
      readline(r.text, r.ex);
      return r;
    }
  }
  std::vector<int> ints(const Rec& r, int n) {
    FreeReader f(r.text);
    std::vector<int> v(static_cast<std::size_t>(n));
    for (int& x : v)
      if (f.integer(x) != FreeReader::Status::Ok) input_error("ref", "integer");
    return v;
  }
  std::vector<float> reals(const Rec& r, int n) {
    FreeReader f(r.text);
    std::vector<float> v(static_cast<std::size_t>(n));
    for (float& x : v)
      if (f.real(x) != FreeReader::Status::Ok) input_error("ref", "real");
    return v;
  }

  int exceptdb() {
    Rec r = readfile();
    if (!r.is("EXCEPT")) {
      --pos_;
      return ex_.flag == 0 ? 0 : 1;
    }
    if (ex_.flag == 0) return 1;
    std::string text = upper(fixed_width(raw(r.line), 200));
    std::string name;
    if (auto at = text.find("GROUP"); at != std::string::npos) {
      std::string rest = trim_right(text.substr(at + 5));
      name = rest.substr(std::min(rest.size(), rest.find_first_not_of(' ')));
    }
    return fixed_width(name, 40) == fixed_width(ex_.group, 40) ? 0 : 1;
  }

  bool hydrogen() {
    Rec r = readfile();
    while (!r.is("PRNT")) r = readfile();
    std::vector<int> v = ints(r, 3);
    std::string asymr = r.ex.word(5).substr(0, 5);
    if (exceptdb() == 1) return false;
    const auto& f = run_.db.forh[static_cast<std::size_t>(atom_ - 1)];
    return f[1] == v[0] && f[0] == v[1] && f[2] == v[2] && asymr == asymi_;
  }

  bool other() {
    Rec r = readfile();
    while (!r.is("NEIG")) r = readfile();
    std::vector<int> v = ints(r, 4);
    std::string asymr = r.ex.word(6).substr(0, 5);
    bool planar = inei_ <= 3;
    if (r.ex.word(8) == "T       ") planar = true;
    if (r.ex.word(8) == "F       ") planar = false;
    if (v[1] > 10) err("ReadDB", "More than 10 neighbour types in " + where(r.line));
    if (v[0] != inei_ || v[1] != static_cast<int>(types_.size()) || v[2] != run_.db.iring ||
        v[3] != run_.db.imemb || !(trim_right(asymr).empty() || asymr == asymi_) ||
        planar != run_.db.lpg)
      return false;
    std::vector<std::pair<int, int>> listed;
    for (int t = 0; t < v[1]; ++t) {
      std::vector<int> w = ints(readfile(), 3);
      listed.push_back({w[1], w[2]});
    }
    for (auto& type : types_)
      if (std::find(listed.begin(), listed.end(), type) == listed.end()) return false;
    return exceptdb() == 0;
  }

  void search(Outcome& out) {
    const int ityp = run_.atoms.at(atom_).iz;
    MatchRecord& m = out.match;
    m.Pval = pval(ityp);
    while (pos_ < lines_.size()) {
      std::size_t h = pos_++;
      std::string line = fixed_width(raw(h), 200);
      if (line.substr(0, 4) != "ATOM") continue;
      int s = 0, e = 0;
      readchar(line, 2, s, e);
      int z = 0;
      FreeReader word(line.substr(static_cast<std::size_t>(s - 1), static_cast<std::size_t>(e - s + 1)));
      if (word.integer(z) != FreeReader::Status::Ok) input_error("ref", "header");
      if (z != ityp) continue;
      out.comment.clear();
      if (dnumline(line) >= 4) {
        readchar(line, 4, s, e);
        out.comment = trim_right(line.substr(static_cast<std::size_t>(s - 1))).substr(0, 80);
      }
      if (ityp == 1 ? hydrogen() : other()) {
        m.ifind = 1;
        break;
      }
    }
    if (m.ifind == 0) {
      out.comment.clear();
      return;
    }
    Rec r = readfile();
    while (!r.is("PVAL")) r = readfile();
    std::vector<float> pv = reals(r, 4);
    m.Pval = pv[0];
    m.kappa = {pv[1], pv[2]};
    m.sigmaPv = pv[3];
    for (r = readfile(); r.is("PLMS"); r = readfile()) {
      int n = dnumline(r.text);
      std::vector<float> v = reals(r, n);
      for (int g = 0; g + 2 < n; g += 3) {
        long l = std::lround(v[g]), mm = std::lround(v[g + 1]);
        if (l < 0 || l > 4 || std::labs(mm) > l)
          err("ReadDB", "PLMS l or m out of range in " + where(r.line));
        m.plm.at(static_cast<int>(l), static_cast<int>(mm)) = v[g + 2];
      }
    }
  }

  const std::vector<std::string>& lines_;
  const Run& run_;
  int atom_;
  std::size_t pos_ = 0;
  int inei_ = 0;
  std::vector<std::pair<int, int>> types_;
  std::string asymi_;
  ExceptRow ex_;
};

// Random databanks built from plausible and broken pieces.
class BankMaker {
 public:
  explicit BankMaker(unsigned seed) : rng_(seed) {}

  std::vector<std::string> make() {
    std::vector<std::string> lines;
    int entries = pick(2, 14);
    for (int k = 1; k <= entries; ++k) entry(lines, k);
    if (chance(15)) lines.resize(static_cast<std::size_t>(pick(0, static_cast<int>(lines.size()))));
    return lines;
  }

 private:
  int pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }
  bool chance(int percent) { return pick(1, 100) <= percent; }
  template <class T, std::size_t N>
  T one_of(const T (&list)[N]) { return list[pick(0, static_cast<int>(N) - 1)]; }
  void maybe_comment(std::vector<std::string>& lines) {
    if (chance(15)) lines.push_back("! a comment line");
  }

  void entry(std::vector<std::string>& lines, int k) {
    const int z = one_of({1, 1, 6, 6, 8});
    const std::string id = "entry " + std::to_string(k);
    std::string header = "ATOM  " + std::to_string(z) + "  T" + std::to_string(k) + "  " + id;
    if (chance(4)) header = "  " + header;
    if (chance(4)) header = "atom  " + std::to_string(z) + "  x  " + id;
    if (chance(1)) header = "ATOM  C  T  " + id;
    if (chance(1) && chance(50)) header = "ATOM";
    lines.push_back(header);
    maybe_comment(lines);
    if (z == 1) {
      if (chance(90)) lines.push_back(chance(60) ? one_of(kParents) : random_parent());
    } else if (chance(90)) {
      Neighbours nb = chance(60) ? (z == 6 ? one_of(kCarbons) : one_of(kOxygens)) : random_neig();
      lines.push_back(nb.neig);
      int ntl = static_cast<int>(nb.types.size()) + (chance(10) ? pick(-1, 1) : 0);
      for (int t = 1; t <= ntl; ++t) {
        maybe_comment(lines);
        lines.push_back(t <= static_cast<int>(nb.types.size()) ? nb.types[t - 1] : "  9  7  1");
      }
    }
    if (chance(1)) lines.push_back("NEIG  x y z w");
    if (chance(30))
      lines.push_back(std::string("EXCEPT  GROUP ") + one_of({"alcohol", "ester", "Alcohol"}));
    if (chance(3)) lines.push_back("EXCEPT alcohol");
    maybe_comment(lines);
    if (chance(95))
      lines.push_back("PVAL  " + std::to_string(pick(1, 700) / 100.0) + " 1.0" +
                      std::to_string(pick(0, 9)) + " 0.9 0.0" + std::to_string(pick(1, 9)));
    int nplms = pick(0, 3);
    for (int p = 0; p < nplms; ++p) {
      int l = chance(1) ? 5 : pick(0, 4);
      std::string text = "PLMS";
      for (int g = pick(1, 3); g > 0; --g)
        text += "  " + std::to_string(l) + " " + std::to_string(pick(-l, l)) + " 0." +
                std::to_string(pick(1, 99));
      if (chance(20)) text += " 7";
      lines.push_back(text);
      maybe_comment(lines);
    }
    if (chance(97)) lines.push_back("END");
  }

  struct Neighbours {
    std::string neig;
    std::vector<std::string> types;
  };
  // Entries written for the test molecules' own environments.
  static constexpr const char* kParents[] = {"PRNT  parent 6  nnei 3  nH 1   cyl",
                                             "PRNT  parent 6  nnei 4  nH 3   cyl",
                                             "PRNT  parent 8  nnei 2  nH 1   cyl"};
  static inline const Neighbours kCarbons[] = {
      {"NEIG  nei 3  typ 2  ring 1  memb 6   m   planar T", {"  1  1  1", "  2  6  2"}},
      {"NEIG  nei 3  typ 2  ring 1  memb 6", {"  1  6  2", "  2  1  1"}},
      {"NEIG  nei 4  typ 2  ring 0  memb 0   3m  planar F", {"  1  1  3", "  2  8  1"}}};
  static inline const Neighbours kOxygens[] = {
      {"NEIG  nei 2  typ 2  ring 0  memb 0   m", {"  1  1  1", "  2  6  1"}},
      {"NEIG  nei 2  typ 1  ring 0  memb 0   mm2", {"  1  1  2"}}};

  std::string random_parent() {
    return "PRNT  parent " + std::to_string(one_of({6, 8})) + "  nnei " +
           std::to_string(pick(2, 4)) + "  nH " + std::to_string(one_of({1, 3})) + "   " +
           one_of({"cyl", "cyl", "", "m"});
  }
  Neighbours random_neig() {
    Neighbours nb;
    int typ = one_of({1, 2, 2, 2, 2, 2, 2, 11});
    nb.neig = "NEIG  nei " + std::to_string(pick(1, 4)) + "  typ " + std::to_string(typ) +
              "  ring " + std::to_string(pick(0, 1)) + "  memb " + std::to_string(one_of({0, 6})) +
              "   " + one_of({"m", "3m", "NO", ""}) + "  planar " + one_of({"T", "F", ""});
    for (int t = 1; t <= std::min(typ, 3); ++t)
      nb.types.push_back("  " + std::to_string(t) + "  " + std::to_string(one_of({1, 6, 8})) +
                         "  " + std::to_string(pick(1, 3)));
    return nb;
  }

  std::mt19937 rng_;
};

Outcome indexed_search(Molecules& m, int atom) {
  Outcome out;
  m.log.str("");
  try {
    readdb(m.run, atom);
    out.match = m.run.db.mpoles1;
    out.comment = m.found_comment();
  } catch (const FatalError& e) {
    out.stopped = true;
    out.kind = e.kind();
    out.routine = e.routine();
    out.message = e.message();
  }
  return out;
}

void expect_same(const Outcome& a, const Outcome& b, const std::string& ctx) {
  ASSERT_EQ(a.stopped, b.stopped) << ctx << a.routine << a.message << b.routine << b.message;
  if (a.stopped) {
    EXPECT_EQ(a.kind, b.kind) << ctx;
    if (a.kind != FatalError::Kind::Input) {
      EXPECT_EQ(a.routine, b.routine) << ctx;
      EXPECT_EQ(a.message, b.message) << ctx;
    }
    return;
  }
  EXPECT_EQ(a.match.ifind, b.match.ifind) << ctx;
  EXPECT_EQ(a.comment, b.comment) << ctx;
  EXPECT_EQ(a.match.Pval, b.match.Pval) << ctx;
  EXPECT_EQ(a.match.kappa, b.match.kappa) << ctx;
  EXPECT_EQ(a.match.sigmaPv, b.match.sigmaPv) << ctx;
  EXPECT_EQ(a.match.plm.p, b.match.plm.p) << ctx;
}

TEST(DatabankScan, IndexedSearchEqualsPlainFileScan) {
  // each atom with the environment the axis rules would give it
  struct Natural {
    int atom;
    const char* sitesym;
    int iring;
    bool lpg;
    std::array<int, 3> forh;
  };
  const Natural atoms[] = {{M::kRingC, "m", 1, true, {}},        {M::kMethanolC, "3m", 0, false, {}},
                           {M::kMethanolO, "m", 0, true, {}},    {M::kRingH, "cyl", 0, true, {3, 6, 1}},
                           {M::kMethylH, "cyl", 0, true, {4, 6, 3}}, {M::kHydroxylH, "cyl", 0, true, {2, 8, 1}},
                           {M::kWaterO, "mm2", 0, true, {}}};
  int found = 0, stopped = 0;
  for (unsigned seed = 1; seed <= 300; ++seed) {
    BankMaker maker(seed);
    std::vector<std::string> lines = maker.make();
    Molecules m;
    m.run.db.bank.load(lines, "random.db");
    std::mt19937 env(seed);
    auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(env); };
    for (const Natural& atom : atoms) {
      if (pick(10) < 7) {
        m.environment(atom.atom, atom.sitesym, atom.iring, atom.iring * 6, atom.lpg);
        m.parent(atom.atom, atom.forh[0], atom.forh[1], atom.forh[2]);
      } else {
        const char* syms[] = {"m", "3m", "NO", "", "cyl"};
        m.environment(atom.atom, syms[pick(5)], pick(2), pick(2) * 6, pick(2) == 1);
        m.parent(atom.atom, 2 + pick(3), pick(2) == 0 ? 6 : 8, pick(2) == 0 ? 1 : 3);
      }
      const char* groups[] = {"", "", "alcohol", "ester"};
      m.group(atom.atom, groups[pick(4)]);
      const std::array<int, 3> before = m.run.opt.ldb_count;
      Outcome indexed = indexed_search(m, atom.atom);
      Outcome plain = PlainScan(lines, m.run, atom.atom).run();
      expect_same(indexed, plain, "seed " + std::to_string(seed) + " atom " +
                                      std::to_string(atom.atom) + ": ");
      if (!indexed.stopped) {
        EXPECT_EQ(m.run.opt.ldb_count[0], before[0] + 1);
        found += indexed.match.ifind;
      }
      stopped += indexed.stopped ? 1 : 0;
    }
  }
  // the random banks must exercise both outcomes and the fatal stops
  EXPECT_GT(found, 150);
  EXPECT_GT(stopped, 100);
}

}  // namespace
}  // namespace tesk
