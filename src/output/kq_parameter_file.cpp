// The KQ parameter file. The refinement package reads it by columns, so every
// line below keeps its format exactly; the counts of the USAGE line are not
// checked against the LIMITS line.
#include "output/kq_parameter_file.hpp"

#include <vector>

#include "core/errors.hpp"
#include "core/line_reader.hpp"
#include "format/fortran_format.hpp"
#include "model/run.hpp"
#include "output/atom_parameters.hpp"

namespace tesk {

namespace {

void refuse(const std::string& what, long long value, int width) {
  err("WriteKQ", "kq_tesk.inp is not written: " + what + " " + std::to_string(value) +
                     " does not fit its I" + std::to_string(width) +
                     " column, which the refinement package reads by column");
}

}  // namespace

// The I5 fields of the atom lines (atom and dummy numbers, scattering type,
// kappa set, equivalent atom) and the I3 scattering type of the kappa lines.
void check_kq_columns(const Run& run) {
  constexpr int kI5 = 99999, kI3 = 999;
  const long long last = static_cast<long long>(run.atoms.natoms) + run.axes.dummy.ndum();
  if (last > kI5) refuse("atom or dummy number", last, 5);
  for (const Atom& a : run.atoms.list)
    if (a.sftype > kI5) refuse("scattering type", a.sftype, 5);
  if (run.db.nkappas > kI5) refuse("kappa set", run.db.nkappas, 5);
  for (const KappaSet& k : run.db.kappas)
    if (k.sftype > kI3) refuse("scattering type of a kappa set", k.sftype, 3);
}

void write_kq_header(Run& run) {
  Sink& f = run.out.kqinp;
  const std::string bangs(80, '!');
  f << ffmt("(100a)", {bangs});
  f << ffmt("(100a)", {"!                   CREATED BY PROGRAM << TESK >>"});
  f << ffmt("(100a)", {bangs});
  f << ffmt("(100a)", {"KQPARFILE VERSION  2"});
  const std::string& model = run.opt.amodel;
  f << ffmt("(100a)", {"  ", model.substr(0, static_cast<std::size_t>(lenstr(model))),
                       "   MODEL  4  2  1  0"});
  f << ffmt("(100a)", {"LIMITS nat 300 ntx 31 lmx 4 nzz 30 nto 0 nsc 20 ntb 20 nov 2500"});
  const int ndum = run.axes.dummy.ndum();
  // A keyword line, read in free format (TESK's own reader too): a count
  // beyond its I4 field takes all its digits.
  f << ffmt("('USAGE ',a,' 2 4 ',a,' 0 1 0 0 ',a,' 0 0 0 0 ',a)",
            {wide_int(run.atoms.natoms, 4), wide_int(run.db.nkappas, 4), wide_int(run.nsft, 4),
             wide_int(ndum, 4)});
  f << ffmt("(8f10.6)", std::vector<FArg>(14, FArg(0.0f)));
  for (const DummyAtom& d : run.axes.dummy.dum) f << ffmt("(3f13.6)", {d.x[0], d.x[1], d.x[2]});
}

// Record line: label; axis letters (I3); first axis atom, the atom, second
// axis atom (I5); 2X; ADP type, scattering type, kappa set, lmax, hand,
// equivalent atom (I5); x y z (F9.5); occupancy (F8.4).
void write_kq_atom(Run& run, int atom) {
  Sink& f = run.out.kqinp;
  const Atom& a = run.atoms.at(atom);
  const AxisRecord& r = axis_record(run, atom);
  f << ffmt("(a8,2i3,3i5,2x,6i5,3f9.5,f8.4)",
            {fixed_width(a.label, 8), r.ax1, r.ax2, r.atom1, r.self, r.atom2, r.adptype, r.sftype,
             r.kset, r.lmax, r.hand, r.chemcon, a.xf[0], a.xf[1], a.xf[2], a.occ});
  std::vector<FArg> u(a.uij.begin(), a.uij.end());
  f << ffmt("(6f10.6)", u);
  const std::array<float, 26> p = pv_and_populations(atom_poles(run, atom));
  f << ffmt("(10f8.4)", std::vector<FArg>(p.begin(), p.end()));
}

void write_kq_tail(Run& run) {
  Sink& f = run.out.kqinp;
  for (int k = 1; k <= run.db.nkappas; ++k) {
    const auto i = static_cast<std::size_t>(k - 1);
    const KappaSet s = i < run.db.kappas.size() ? run.db.kappas[i] : KappaSet{};
    const float k2 = s.kappa[1];
    f << ffmt("(i3,6f10.6)", {s.sftype, s.kappa[0], k2, k2, k2, k2, k2});
  }
  const auto& fv = run.shelx1.fvar;
  f << ffmt("(7e11.4)", {fv[1], fv[2], fv[3], fv[4], fv[5], fv[6], fv[7], fv[8]});
  f << ffmt("(e13.6)", {fv[0]});
}

}  // namespace tesk
