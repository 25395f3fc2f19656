// Valence populations brought to the net charge of each fragment. The Pv's
// transferred from the databank rarely add up to the free-atom valence
// electrons minus the charge; the difference is shared out over the
// fragment's atoms equally, in proportion to each Pv, or in proportion to
// each Pv's standard deviation.
#include "output/rescale.hpp"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "core/errors.hpp"
#include "core/line_reader.hpp"
#include "databank/databank.hpp"
#include "format/fortran_format.hpp"
#include "model/atom_table.hpp"
#include "model/run.hpp"

namespace tesk {
namespace {

constexpr const char* kRoutine = "rescalePv";
// One net charge is kept per fragment, as many as there can be atoms.
constexpr int kMaxFragments = kMaxAtoms;

enum class Method { Difference = 1, Fraction = 2, Sigma = 3 };

const char* method_name(Method m) {
  switch (m) {
    case Method::Difference: return "difference";
    case Method::Fraction: return "fraction";
    case Method::Sigma: return "sigmaPv";
  }
  return "";
}

// The sign in the table head shows how the correction is applied.
const char* method_mark(Method m) {
  switch (m) {
    case Method::Difference: return "+";
    case Method::Fraction: return "*";
    case Method::Sigma: return "s";
  }
  return "";
}

// Which atoms belong to which fragment, from the FRAG lines.
struct FragmentPlan {
  int count = 1;
  bool all_atoms = false;  // no FRAG lines: the one fragment is every atom
  bool unreadable = false;
  std::vector<std::vector<const FragLine*>> lines;  // by fragment number, 0 unused
};

FragmentPlan plan_fragments(Run& run) {
  const Options& o = run.opt;
  FragmentPlan plan;
  plan.all_atoms = o.frag.empty();
  if (o.nfrag > kMaxFragments)
    err(kRoutine, "NFRAG exceeds the capacity of " + std::to_string(kMaxFragments) + " fragments");
  plan.count = o.nfrag;
  if (o.nfrag <= 0 || plan.all_atoms) {
    plan.count = 1;
    run.both(ffmt("(/' Using ALL atoms for fragment 1 !')"));
  }
  plan.lines.resize(static_cast<std::size_t>(plan.count) + 1);
  for (const FragLine& line : o.frag) {
    if (!line.readable) plan.unreadable = true;
    if (line.numbers.empty()) continue;
    const int f = line.numbers.front();
    if (f >= 1 && f <= plan.count) plan.lines[static_cast<std::size_t>(f)].push_back(&line);
  }
  return plan;
}

[[noreturn]] void atom_not_in_structure(std::int64_t atom, int natoms, const FragLine& line) {
  err(kRoutine, "FRAG line names atom " + std::to_string(atom) + ", but the structure has atoms 1 to " +
                    std::to_string(natoms) + " only: " + line.text);
}

// The atoms of one fragment in ascending order, each once. `flag` has one
// entry per atom, all clear on entry and on return.
std::vector<int> fragment_atoms(const Run& run, const FragmentPlan& plan, int f,
                                std::vector<char>& flag) {
  const int natoms = run.atoms.natoms;
  std::vector<int> atoms;
  if (plan.all_atoms) {
    for (int k = 1; k <= natoms; ++k) atoms.push_back(k);
    return atoms;
  }
  if (plan.unreadable) err(kRoutine, "Error reading fragments from tesk.inp");
  auto add = [&](int k) {
    if (flag[static_cast<std::size_t>(k - 1)]) return;
    flag[static_cast<std::size_t>(k - 1)] = 1;
    atoms.push_back(k);
  };
  for (const FragLine* line : plan.lines[static_cast<std::size_t>(f)]) {
    const std::vector<int>& v = line->numbers;
    for (std::size_t j = 1; j < v.size(); ++j) {
      const std::int64_t entry = v[j];
      if (entry >= 0) {
        if (entry < 1 || entry > natoms) atom_not_in_structure(entry, natoms, *line);
        add(v[j]);
        continue;
      }
      // -n closes a range opened by the atom number just before it; the
      // fragment number or another range end cannot open one.
      if (j == 1 || v[j - 1] <= 0)
        err(kRoutine, "FRAG line has a range without its first atom: " + line->text);
      if (-entry > natoms) atom_not_in_structure(-entry, natoms, *line);
      for (int k = v[j - 1]; k <= -v[j]; ++k) add(k);
    }
  }
  for (int k : atoms) flag[static_cast<std::size_t>(k - 1)] = 0;
  std::sort(atoms.begin(), atoms.end());
  return atoms;
}

float free_pv(const Atom& a) { return pval(a.iz) * a.occ; }

struct Sums {
  float db = 0.0f;    // databank Pv's
  float free = 0.0f;  // free-atom populations
  float sig = 0.0f;   // sigma(Pv)'s
};

Sums fragment_sums(const Run& run, const std::vector<int>& atoms) {
  Sums s;
  for (int k : atoms) {
    const AtomPoles& p = run.db.mpoles[static_cast<std::size_t>(k - 1)];
    s.db += p.pv;
    s.free += free_pv(run.atoms.at(k));
    s.sig += p.sigma;
  }
  return s;
}

void print_sums(Run& run, Method method, const Sums& s) {
  const float diff = s.free - s.db;
  // With every occupancy zero there are no valence electrons to compare with.
  const float percent = s.free != 0.0f ? std::fabs(diff) / s.free * 100.0f : 0.0f;
  run.both(ffmt(
      "(/' Sum-of-Pv[free]     = ',f12.6,' el.',/,"
      "' Sum-of-Pv[databank] = ',f12.6,' el.',/,"
      "' Difference          = ',f12.6,' el. ( ',f6.2,' % )')",
      {s.free, s.db, diff, percent}));
  if (method == Method::Sigma) run.both(ffmt("(' Sum of sigma(Pv)    = ',f12.6)", {s.sig}));
}

// Why the fragment's correction cannot be computed, or nullptr when it can.
const char* undefined_correction(Method method, const Sums& s) {
  if (method == Method::Fraction && s.db == 0.0f)
    return "(' Sum-of-Pv[databank] is zero : Pv''s of fragment ',i3,' left unchanged')";
  if (method == Method::Sigma && s.sig == 0.0f)
    return "(' Sum of sigma(Pv) is zero : Pv''s of fragment ',i3,' left unchanged')";
  return nullptr;
}

// The prompt goes to the console whether or not a terminal is attached; a
// blank answer keeps the charge at zero.
float ask_charge(Run& run, int f, std::istream& console_in) {
  run.out.console << ffmt("(' Enter net charge of fragment ',i3,' [0.] : ',$)", {f});
  run.out.console.flush();
  std::string answer;
  if (!std::getline(console_in, answer))
    input_error("console", "end of input while asking for the net charge of fragment " +
                               std::to_string(f));
  if (!answer.empty() && answer.back() == '\r') answer.pop_back();
  float charge = 0.0f;
  if (lenstr(answer) == 0) return charge;
  if (FreeReader(answer).real(charge) == FreeReader::Status::Bad || !net_charge_ok(charge))
    input_error("console",
                "the net charge of fragment " + std::to_string(f) + " is not " + net_charge_range());
  return charge;
}

// New populations of the fragment's atoms, one log row each, then the sums.
void correct_atoms(Run& run, Method method, const std::vector<int>& atoms, const Sums& s,
                   float target) {
  run.out.log << ffmt(
      "(/4x,'NO  ATOM',7x,'Occup.    Pv(DB)      Pv(free)',4x,a,'Corr       Pv(new)'/)",
      {method_mark(method)});
  const float missing = target - s.db;
  const float natoms = static_cast<float>(atoms.size());
  float snew = 0.0f;
  for (int k : atoms) {
    const Atom& a = run.atoms.at(k);
    AtomPoles& p = run.db.mpoles[static_cast<std::size_t>(k - 1)];
    float corr = 0.0f;
    float pv_new = 0.0f;
    switch (method) {
      case Method::Difference: corr = missing / natoms; pv_new = p.pv + corr; break;
      case Method::Fraction: corr = target / s.db; pv_new = p.pv * corr; break;
      case Method::Sigma: corr = missing * p.sigma / s.sig; pv_new = p.pv + corr; break;
    }
    run.out.log << ffmt("(i6,2x,a,1x,f7.3,2f12.5,sp,f12.5,ss,f12.5)",
                        {k, fixed_width(a.label, 8), a.occ, p.pv, free_pv(a), corr, pv_new});
    p.pv = pv_new;
    snew += pv_new;
  }
  run.out.log << ffmt("(/20x,'SUM ',4f12.5)", {s.db, s.free, missing, snew});
}

void rescale_fragment(Run& run, Method method, int f, const std::vector<int>& atoms, float& charge,
                      std::istream& console_in) {
  if (atoms.empty()) {
    run.both(ffmt("(/' Fragment ',i3,' has no atoms : nothing to rescale')", {f}));
    return;
  }
  const Sums s = fragment_sums(run, atoms);
  print_sums(run, method, s);
  if (const char* why = undefined_correction(method, s)) {
    run.both(ffmt(why, {f}));
    return;
  }
  if (!run.opt.chfrag_given) charge = ask_charge(run, f, console_in);
  const float target = s.free - charge;
  run.both(ffmt("(/' Rescaling Sum-of-Pv to ',f13.6,' el.',3x,'( Charge = ',sp,f8.3,' el. )')",
                {target, charge}));
  correct_atoms(run, method, atoms, s, target);
}

}  // namespace

void rescalepv(Run& run, std::istream& console_in) {
  const auto method = static_cast<Method>(run.opt.scaling);
  run.out.log << ffmt("(/' Using ',a,' method for rescaling...')", {method_name(method)});
  const FragmentPlan plan = plan_fragments(run);
  const auto natoms = static_cast<std::size_t>(run.atoms.natoms);
  if (run.db.mpoles.size() < natoms) run.db.mpoles.resize(natoms);

  std::vector<float> charge(static_cast<std::size_t>(plan.count) + 1, 0.0f);
  const std::vector<float>& given = run.opt.chfrag;
  for (std::size_t f = 1; f < charge.size() && f <= given.size(); ++f) charge[f] = given[f - 1];

  std::vector<char> flag(natoms, 0);
  for (int f = 1; f <= plan.count; ++f) {
    run.both(ffmt("(/' ***** Rescaling Pv''s in fragment = ',i3,' *****')", {f}));
    const std::vector<int> atoms = fragment_atoms(run, plan, f, flag);
    rescale_fragment(run, method, f, atoms, charge[static_cast<std::size_t>(f)], console_in);
  }
}

}  // namespace tesk
