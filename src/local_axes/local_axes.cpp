// The per-atom loop: every input atom in order gets its local axes, kappa
// set and chemical-equivalence reference, its row in the local-axis table
// (console, log, kq_tesk.mas), its axes drawn for PLATON, its MoPro lines
// and its databank parameters; tesk.ang lists the atoms and dummies.
#include "local_axes/local_axes.hpp"

#include <sstream>

#include <unordered_map>

#include "connectivity/neighbours.hpp"
#include "core/errors.hpp"
#include "databank/databank.hpp"
#include "format/fortran_format.hpp"
#include "local_axes/axis_plot.hpp"
#include "local_axes/axis_rules.hpp"
#include "local_axes/dummy_atoms.hpp"
#include "local_axes/equivalence.hpp"
#include "structure/labels.hpp"
#include "model/run.hpp"
#include "structure/cell.hpp"

namespace tesk {

namespace {

constexpr const char* kTableHeader =
    "ATOM     ATOM0    AX1 ATOM1    ATOM2   AX2 R/L TP TBL KAP LMX SITESYM  CHEMCON";

std::size_t row_of(int atom) { return static_cast<std::size_t>(atom - 1); }

// Input atoms by label, the first of each: the numeric record names an axis
// atom by the input atom that carries its label (a symmetry copy carries its
// source's label).
using LabelIndex = std::unordered_map<std::string, int>;

LabelIndex label_index(const Run& run) {
  LabelIndex index;
  for (int i = run.atoms.natoms; i >= 1; --i) index[run.atoms.at(i).label] = i;
  return index;
}

int record_number(const Run& run, const LabelIndex& index, const AxisPoint& p) {
  if (p.dummy > 0) return run.atoms.natoms + p.dummy;
  auto it = index.find(p.label);
  return it == index.end() ? 0 : it->second;
}

std::string text_row(const Run& run, int atom, const AxisDecision& d) {
  const Atom& a = run.atoms.at(atom);
  std::vector<FArg> items{a.label,
                          d.p1.label,
                          std::string(1, letter_char(d.first)),
                          a.label,
                          d.p2.label,
                          std::string(1, letter_char(d.second)),
                          wide_int(a.adptype, 3),
                          wide_int(a.sftype, 3),
                          wide_int(run.db.kappaset[row_of(atom)], 4),
                          wide_int(a.lmax, 4),
                          a.sitesym};
  const int ref = run.axes.rec[row_of(atom)].chemcon;
  if (ref > 0) items.emplace_back(run.atoms.at(ref).label);
  // The four numbers are 2I3 and 2I4, wider when they need it (wide_int):
  // a scattering type from 1000 on, a kappa set from 10000 on.
  return ffmt_text("(a,1x,a,2x,a,2x,a,1x,a,1x,a,3x,'R ',2a,2a,3x,a,3x,a)", items);
}

std::string mopro_name(const AxisPoint& p) {
  return p.dummy > 0 ? erbras(trim_right(erum(p.label))) : erbras(p.label);
}

// The MoPro axis line, and the commented similarity line of an atom that
// has an earlier equivalent.
void mopro_lines(Run& run, int atom, const AxisDecision& d) {
  const Atom& a = run.atoms.at(atom);
  const int kset = run.db.kappaset[row_of(atom)];
  run.axes.mopro[row_of(atom)] = fixed_width(
      ffmt_text("(A,A,3X,A,3X,A,3X,A,3X,A,3X,A)",
           {std::string(1, letter_char(d.first)), std::string(1, letter_char(d.second)),
            mopro_name(d.p1), mopro_name(d.p2), mopro_hydrogen(a.label) ? " QUA " : " HEX ",
            " K" + std::to_string(kset), "V0  M0  Q0"}),
      90);
  const int ref = run.axes.rec[row_of(atom)].chemcon;
  if (ref == 0) return;
  const auto& res = run.resi1;
  std::string line =
      res.resflag == 1
          ? ffmt_text("(A,1X,A,2X,A)", {"! CONPVM ", res.resshort.at(row_of(atom)), res.resshort.at(row_of(ref))})
          : ffmt_text("(A,1X,A,2X,A,1X,A,1X,A)",
                 {"! CONPVM ", erbras(a.label), "1", erbras(run.atoms.at(ref).label), "1"});
  run.axes.mcon[row_of(atom)] = fixed_width(line, 90);
}

// MoPro's local-symmetry constraint, named by the mirror's normal.
void symplm(Run& run, int atom, const AxisDecision& d) {
  const Atom& a = run.atoms.at(atom);
  if (trim_right(a.sitesym) == "NO") return;
  const std::string name = run.resi1.resflag == 1 ? run.resi1.resshort.at(row_of(atom)) : erbras(a.label);
  run.out.conmopro << ffmt("(a,1x,a4,1x,a)",
                           {"SYMPLM", symplm_code(a.sitesym, d.first, d.second), trim_right(name)});
}

// An atom is looked up when it and its neighbours are ordered, or when it is
// itself disordered and the databank is to be applied to disorder.
void databank_transfer(Run& run, int atom) {
  const Atom& a = run.atoms.at(atom);
  const bool self = a.flag == -1;
  const bool lookup = run.opt.ldb == 1 && ((!self && !neighbour_disordered(run, atom)) ||
                                           (self && run.opt.disorder[1] == 1));
  if (lookup) {
    run.out.log << ffmt("(/' Atom ',a,' :: will now read databank')", {a.label});
    readdb(run, atom);
    store_db_result(run, atom);
  } else {
    run.out.log << ffmt("(/' Atom ',a,' :: will skip reading databank')", {a.label});
    store_free_atom(run, atom);
  }
  const int kset = run.db.kappaset[row_of(atom)];
  const int nsft = kset >= 1 && kset <= static_cast<int>(run.db.kappas.size())
                       ? run.db.kappas[static_cast<std::size_t>(kset - 1)].sftype
                       : 0;
  run.out.log << ffmt("(/' CKS :: Atom=',i6,2x,'kset=',i4,2x,'nsft=',i4)", {atom, kset, nsft});
}

void fill_record(Run& run, const LabelIndex& index, int atom, const AxisDecision& d) {
  const Atom& a = run.atoms.at(atom);
  AxisRecord& r = run.axes.rec[row_of(atom)];
  r.ax1 = static_cast<int>(d.first);
  r.ax2 = static_cast<int>(d.second);
  r.atom1 = record_number(run, index, d.p1);
  r.self = atom;
  r.atom2 = record_number(run, index, d.p2);
  r.adptype = a.adptype;
  r.sftype = a.sftype;
  r.kset = run.db.kappaset[row_of(atom)];
  r.lmax = 4;
  r.hand = 1;
}

void defloc(Run& run, const LabelIndex& index, int atom) {
  AxisDecision d = decide_axes(run, atom);
  assign_kappa_set(run, atom, d);
  // No row is written for an atom whose axes give no frame.
  const std::string fault = frame_fault(run.atoms.at(atom).xc, d);
  if (!fault.empty())
    err("DefLoc", "no local frame for atom " + trim_right(run.atoms.at(atom).label) + ": " + fault);
  run.out.log << ffmt("(/3a)", {" Symmetry = [", run.atoms.at(atom).sitesym, "]"});
  const std::string row = text_row(run, atom, d);
  run.axes.row[row_of(atom)] = row;
  mopro_lines(run, atom, d);
  run.out.console << ffmt("(100a)", {" ", row});
  run.out.kqmas << ffmt("(100a)", {row});
  run.out.log << ffmt("(/a/)", {" Local coordinate system definition :"}) << ffmt("(100a)", {row});
  symplm(run, atom, d);
  loc2plat(run, atom, d);
  databank_transfer(run, atom);
  fill_record(run, index, atom, d);
  run.axes.axes[row_of(atom)] = d;
}

void size_tables(Run& run) {
  const auto n = static_cast<std::size_t>(run.atoms.natoms);
  LocalAxesState& s = run.axes;
  s.rec.assign(n, AxisRecord{});
  s.axes.assign(n, AxisDecision{});
  s.row.assign(n, std::string());
  s.chemcon.assign(n, 0);
  // Filled per atom; the writers pad every row to its 90 columns.
  s.mopro.assign(n, std::string());
  s.mcon.assign(n, std::string());
  if (run.db.kappaset.size() < n) run.db.kappaset.resize(n, 0);
}

void list_dummies(Run& run, Sink& ang) {
  const DummyTable& t = run.axes.dummy;
  for (int k = 1; k <= t.ndum(); ++k) {
    const DummyAtom& dum = t.dum[static_cast<std::size_t>(k - 1)];
    run.out.kqmas << ffmt("(a6,2x,3f12.6)", {fixed_width(dum.label, 6), dum.x[0], dum.x[1], dum.x[2]});
    const Vec3 xc = dummy_xc(run, k);
    // PLATON reads the list in free format: Li(1) .. Li(9), then Li(10) and
    // on with all digits, so that every dummy keeps a label of its own.
    ang << ffmt("('ATOM Li(',a,')',2x,3f14.4)", {std::to_string(k), xc[0], xc[1], xc[2]});
  }
}

}  // namespace

void localdef(Run& run, const std::function<void(Run&)>& before_table) {
  // tesk.ang is collected here and written once the loop is through, so that
  // a stop inside the loop (a databank entry that cannot be read) leaves no
  // half list behind.
  std::ostringstream ang_text;
  Sink ang;
  ang.attach(ang_text);
  ang << ffmt("(a)", {"ANGSTROM"});
  if (before_table) before_table(run);
  run.out.console << ffmt("(/1x,a)", {kTableHeader});
  run.out.kqmas << ffmt("(a)", {kTableHeader});
  size_tables(run);
  run.axes.loop_started = true;
  const LabelIndex index = label_index(run);
  const std::vector<FArg> dashes(79, FArg("-"));
  for (int i = 1; i <= run.atoms.natoms; ++i) {
    const Atom& a = run.atoms.at(i);
    run.out.log << ffmt("(/1x,79a)", dashes);
    run.out.log << ffmt("(/' Working with atom ',i7,' : [',a,']',5x,'occ =',f11.4)", {i, a.label, a.occ});
    defloc(run, index, i);
    run.axes.treated = i;
    const Vec3& xc = run.atoms.at(i).xc;
    ang << ffmt("('ATOM ',a,3x,3f14.4)", {run.atoms.at(i).label, xc[0], xc[1], xc[2]});
  }
  list_dummies(run, ang);
  Sink file;
  file.open_or_stop("tesk.ang", "LocalDef");
  file << ang_text.str();
  file.close();
  run.out.kqmas << ffmt("(a)", {"END ATOM"});
}

}  // namespace tesk
