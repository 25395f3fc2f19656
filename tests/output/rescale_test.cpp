// Bringing the valence populations of fragments to their net charges: the
// three methods, fragment membership, the charge prompt and the guarded cases.
#include "output/rescale.hpp"

#include <gtest/gtest.h>

#include <cctype>
#include <sstream>
#include <string>
#include <vector>

#include "core/errors.hpp"
#include "core/line_reader.hpp"
#include "model/run.hpp"

namespace tesk {
namespace {

// A water molecule and a half-occupied nitrogen. Free atoms: O 6, H 1, H 1,
// N 0.5 x 5 = 2.5, sum 10.5; the transferred Pv's add up to 10.0 and their
// sigmas to 0.5, the nitrogen's sigma being 0. All values are exact in binary.
struct Fixture {
  Run run;
  std::ostringstream log, console;

  explicit Fixture(int method) {
    run.out.log.attach(log);
    run.out.console.attach(console);
    run.opt.scaling = method;
    add("O1", 8, 1.0f, 6.25f, 0.25f);
    add("H1", 1, 1.0f, 0.75f, 0.125f);
    add("H2", 1, 1.0f, 0.75f, 0.125f);
    add("N1", 7, 0.5f, 2.25f, 0.0f);
  }
  void add(const char* label, int z, float occ, float pv, float sigma) {
    int k = run.atoms.append("test");
    Atom& a = run.atoms.at(k);
    a.label = fixed_width(label, 8);
    a.iz = z;
    a.occ = occ;
    run.atoms.natoms = k;
    run.db.mpoles.push_back({pv, sigma, {}});
  }
  void fragments(int nfrag, const std::vector<std::vector<int>>& lines) {
    run.opt.nfrag = nfrag;
    for (const auto& numbers : lines) {
      FragLine line{"FRAG", numbers, true};
      for (int n : numbers) line.text += " " + std::to_string(n);
      run.opt.frag.push_back(line);
    }
  }
  void charges(const std::vector<float>& q) {
    run.opt.chfrag = q;
    run.opt.chfrag_given = true;
  }
  void rescale(const std::string& console_text = "") {
    std::istringstream in(console_text);
    rescalepv(run, in);
  }
  float pv(int k) const { return run.db.mpoles[static_cast<std::size_t>(k - 1)].pv; }
  std::vector<float> pvs() const { return {pv(1), pv(2), pv(3), pv(4)}; }
};

bool contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// Atom numbers of the table rows, one list per fragment header.
std::vector<std::vector<int>> table_atoms(const std::string& log) {
  std::vector<std::vector<int>> frags;
  std::istringstream in(log);
  std::string line;
  while (std::getline(in, line)) {
    if (line.starts_with(" ***** Rescaling")) frags.emplace_back();
    if (line.size() > 8 && std::isdigit(static_cast<unsigned char>(line[5])) &&
        line.substr(6, 2) == "  ")
      frags.back().push_back(std::stoi(line.substr(0, 6)));
  }
  return frags;
}

FatalError failure(Fixture& f, const std::string& console_text = "") {
  try {
    f.rescale(console_text);
  } catch (const FatalError& e) {
    return e;
  }
  ADD_FAILURE() << "no fatal stop";
  return FatalError(FatalError::Kind::Stop, "", "");
}

// Every line the difference method writes, for a fragment given by a range
// and a charge of -1: target 11.5, so each of the four atoms gains 1.5 / 4.
TEST(Rescale, DifferenceMethodLog) {
  Fixture f(1);
  f.fragments(1, {{1, 1, -4}});
  f.charges({-1.0f});
  f.rescale();
  const std::string sums =
      "\n"
      " ***** Rescaling Pv's in fragment =   1 *****\n"
      "\n"
      " Sum-of-Pv[free]     =    10.500000 el.\n"
      " Sum-of-Pv[databank] =    10.000000 el.\n"
      " Difference          =     0.500000 el. (   4.76 % )\n"
      "\n"
      " Rescaling Sum-of-Pv to     11.500000 el.   ( Charge =   -1.000 el. )\n";
  EXPECT_EQ(f.log.str(),
            "\n"
            " Using difference method for rescaling...\n" +
                sums +
                "\n"
                "    NO  ATOM       Occup.    Pv(DB)      Pv(free)    +Corr       Pv(new)\n"
                "\n"
                "     1  O1         1.000     6.25000     6.00000    +0.37500     6.62500\n"
                "     2  H1         1.000     0.75000     1.00000    +0.37500     1.12500\n"
                "     3  H2         1.000     0.75000     1.00000    +0.37500     1.12500\n"
                "     4  N1         0.500     2.25000     2.50000    +0.37500     2.62500\n"
                "\n"
                "                    SUM     10.00000    10.50000     1.50000    11.50000\n");
  EXPECT_EQ(f.console.str(), sums);
}

// Each method meets the target Sum-of-Pv[free] - charge. The fraction
// method with the databank sum already on target multiplies by exactly 1;
// the sigma method leaves the nitrogen (sigma 0) alone.
TEST(Rescale, EveryMethodReachesTheTarget) {
  struct Row {
    int method;
    float charge;
    const char* head;
    std::vector<float> pv;
    const char* sum;
  };
  const Row rows[] = {
      {1, 0.0f, "+Corr", {6.375f, 0.875f, 0.875f, 2.375f},
       "SUM     10.00000    10.50000     0.50000    10.50000\n"},
      {2, 0.5f, "*Corr", {6.25f, 0.75f, 0.75f, 2.25f},
       "SUM     10.00000    10.50000     0.00000    10.00000\n"},
      {2, -1.0f, "*Corr", {7.1875f, 0.8625f, 0.8625f, 2.5875f},
       "SUM     10.00000    10.50000     1.50000    11.50000\n"},
      {3, 0.0f, "sCorr", {6.5f, 0.875f, 0.875f, 2.25f},
       "SUM     10.00000    10.50000     0.50000    10.50000\n"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << "method " << r.method << " charge " << r.charge);
    Fixture f(r.method);
    f.charges({r.charge});
    f.rescale();
    const std::string log = f.log.str();
    EXPECT_TRUE(contains(log, r.head));
    EXPECT_TRUE(contains(log, r.sum)) << log;
    for (int k = 1; k <= 4; ++k) EXPECT_NEAR(f.pv(k), r.pv[static_cast<std::size_t>(k - 1)], 1e-5f);
    EXPECT_FALSE(contains(f.console.str(), "Enter net charge"));
  }
  Fixture same(2);
  same.charges({0.5f});
  same.rescale();
  EXPECT_TRUE(contains(same.log.str(), "    +1.00000     6.25000\n"));
  Fixture sigma(3);
  sigma.charges({0.0f});
  sigma.rescale();
  EXPECT_TRUE(contains(sigma.log.str(), " Sum of sigma(Pv)    =     0.500000\n"));
  EXPECT_TRUE(contains(sigma.log.str(), "     4  N1         0.500     2.25000     2.50000    +0.00000"));
}

// Which atoms each fragment holds: -n closes a range opened by the atom
// before it; an atom listed twice counts once; rows come in atom order.
TEST(Rescale, FragmentMembership) {
  struct Row {
    const char* why;
    int nfrag;
    std::vector<std::vector<int>> lines;
    std::vector<std::vector<int>> atoms;
    bool all_atoms_note;
  };
  const Row rows[] = {
      {"two ranges", 2, {{1, 1, -3}, {2, 4}}, {{1, 2, 3}, {4}}, false},
      {"no NFRAG: fragment 1 from its FRAG lines", 0, {{1, 2, -4}, {2, 1}}, {{2, 3, 4}}, true},
      {"no FRAG lines: every atom", 2, {}, {{1, 2, 3, 4}}, true},
      {"repeats and order", 1, {{1, 4}, {1, 1, -2}, {1, 2}}, {{1, 2, 4}}, false},
      {"a range running backwards adds nothing", 1, {{1, 3, -2}}, {{3}}, false},
      {"a line for a fragment beyond NFRAG", 1, {{1, 2}, {3, 1}}, {{2}}, false},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.why);
    Fixture f(1);
    f.fragments(r.nfrag, r.lines);
    f.charges({0.0f, 0.0f});
    f.rescale();
    EXPECT_EQ(table_atoms(f.log.str()), r.atoms);
    EXPECT_EQ(contains(f.console.str(), "\n Using ALL atoms for fragment 1 !\n"), r.all_atoms_note);
  }
}

// Without CHFRAG the charge is asked on the console for each fragment.
TEST(Rescale, ChargePrompt) {
  const char* prompt = " Enter net charge of fragment   1 [0.] : \n Rescaling";
  struct Row {
    const char* answer;
    const char* charge;
  };
  const Row rows[] = {
      {"-1\n", "( Charge =   -1.000 el. )"},
      {"   \n", "( Charge =   +0.000 el. )"},
      {"2.5\r\n", "( Charge =   +2.500 el. )"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.answer);
    Fixture f(1);
    f.rescale(r.answer);
    EXPECT_TRUE(contains(f.console.str(), prompt)) << f.console.str();
    EXPECT_TRUE(contains(f.log.str(), r.charge));
  }
  for (const char* answer : {"", "minus one\n", "nan\n", "-inf\n", "1e30\n"}) {
    SCOPED_TRACE(answer);
    Fixture f(1);
    FatalError e = failure(f, answer);
    EXPECT_EQ(e.kind(), FatalError::Kind::Input);
    EXPECT_EQ(e.exit_status(), 2);
  }
}

// A fragment whose correction is undefined keeps its populations, says why
// and asks no charge (the console has no answer to give).
TEST(Rescale, UndefinedCorrectionLeavesFragmentAlone) {
  struct Row {
    int method;
    std::vector<std::vector<int>> lines;
    bool zero_pv, zero_sigma;
    const char* note;
  };
  const Row rows[] = {
      {1, {{2, 1, -4}}, false, false, "\n Fragment   1 has no atoms : nothing to rescale\n"},
      {2, {{1, 1, -4}}, true, false,
       " Sum-of-Pv[databank] is zero : Pv's of fragment   1 left unchanged\n"},
      {3, {{1, 1, -4}}, false, true,
       " Sum of sigma(Pv) is zero : Pv's of fragment   1 left unchanged\n"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.note);
    Fixture f(r.method);
    f.fragments(1, r.lines);
    for (AtomPoles& p : f.run.db.mpoles) {
      if (r.zero_pv) p.pv = 0.0f;
      if (r.zero_sigma) p.sigma = 0.0f;
    }
    const std::vector<float> before = f.pvs();
    f.rescale();
    EXPECT_TRUE(contains(f.log.str(), r.note)) << f.log.str();
    EXPECT_TRUE(contains(f.console.str(), r.note));
    EXPECT_FALSE(contains(f.log.str(), "SUM"));
    EXPECT_EQ(f.pvs(), before);
  }
}

TEST(Rescale, FragLinesOutsideTheStructureStop) {
  struct Row {
    std::vector<int> numbers;
    const char* message;
  };
  const Row rows[] = {
      {{1, 1, -5}, "FRAG line names atom 5, but the structure has atoms 1 to 4 only: FRAG 1 1 -5"},
      {{1, 7}, "FRAG line names atom 7, but the structure has atoms 1 to 4 only: FRAG 1 7"},
      {{1, 0}, "FRAG line names atom 0, but the structure has atoms 1 to 4 only: FRAG 1 0"},
      {{1, -3}, "FRAG line has a range without its first atom: FRAG 1 -3"},
      {{1, 1, -2, -3}, "FRAG line has a range without its first atom: FRAG 1 1 -2 -3"},
  };
  for (const Row& r : rows) {
    Fixture f(1);
    f.fragments(1, {r.numbers});
    f.charges({0.0f});
    FatalError e = failure(f);
    EXPECT_EQ(e.routine(), "rescalePv");
    EXPECT_EQ(e.message(), r.message);
    EXPECT_EQ(f.pvs(), (std::vector<float>{6.25f, 0.75f, 0.75f, 2.25f}));
  }
  Fixture f(1);
  f.fragments(1, {{1, 1, -4}});
  f.run.opt.frag.back().readable = false;
  FatalError e = failure(f);
  EXPECT_EQ(e.routine(), "rescalePv");
  EXPECT_EQ(e.message(), "Error reading fragments from tesk.inp");
}

}  // namespace
}  // namespace tesk
