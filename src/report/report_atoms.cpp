// One atom of tesk.json: position, neighbours and rings for every atom of the
// working list; for an input atom treated by the per-atom loop also its axes
// and frame, the rule, kappa set, group, databank outcome (with the nearest
// entries when none fitted), X-H extension and populations. The text goes
// straight to the file: a JSON tree per atom costs more than the run itself
// on a structure of 100000 atoms.
#include "report/report_atoms.hpp"

#include <array>

#include "core/line_reader.hpp"
#include "databank/databank.hpp"
#include "local_axes/axis_plot.hpp"
#include "model/elements.hpp"
#include "model/run.hpp"
#include "report/json_writer.hpp"
#include "report/report_json.hpp"
#include "report/report_page.hpp"

namespace tesk {

namespace {

// The fixed-width fields of the tables without their trailing blanks.
std::string_view trimmed(std::string_view s) { return s.substr(0, static_cast<std::size_t>(lenstr(s))); }

void vec(JsonWriter& out, const Vec3& v, int decimals) {
  out.begin_array();
  for (float c : v) out.decimal(c, decimals);
  out.end_array();
}

void axis_point(JsonWriter& out, AxisLetter letter, const AxisPoint& p) {
  out.begin_object();
  const char axis = letter_char(letter);
  out.key("axis");
  out.string(std::string_view(&axis, 1));
  out.key("kind");
  out.string(p.dummy > 0 ? "dummy" : "atom");
  out.key(p.dummy > 0 ? "dummy" : "index");
  out.integer(p.dummy > 0 ? p.dummy : p.atom);
  out.key("label");
  out.string(trimmed(p.label));
  out.key("cart");
  vec(out, p.xc, 5);
  out.end_object();
}

void populations(JsonWriter& out, const Run& run, int i) {
  const auto n = static_cast<std::size_t>(i - 1);
  if (n >= run.db.mpoles.size()) return out.null();
  const AtomPoles& p = run.db.mpoles[n];
  out.begin_object();
  out.key("pv");
  out.decimal(p.pv, 4);
  out.key("sigma_pv");
  out.decimal(p.sigma, 4);
  out.key("plm");
  out.begin_array();
  for (int l = 0; l <= 4; ++l) {
    out.begin_array();
    for (int m = -l; m <= l; ++m) out.decimal(p.plm.at(l, m), 4);
    out.end_array();
  }
  out.end_array();
  out.end_object();
}

void xh_extension(JsonWriter& out, const Run& run, int i) {
  const auto n = static_cast<std::size_t>(i - 1);
  if (n >= run.xh.extension.size() || !run.xh.extension[n].tried) return out.null();
  const XhExtension& x = run.xh.extension[n];
  out.begin_object();
  out.key("class");
  out.string(x.group);
  out.key("length_before");
  out.decimal(x.before, 4);
  out.key("length_after");
  out.decimal(x.after, 4);
  out.end_object();
}

void nearest(JsonWriter& out, const std::vector<NearEntry>& near) {
  out.begin_array();
  for (const NearEntry& e : near) {
    out.begin_object();
    out.key("line");
    out.integer(static_cast<std::int64_t>(e.header + 1));
    out.key("comment");
    out.string(e.comment);
    out.key("differences");
    out.begin_array();
    for (const DescriptorDifference& d : e.differences) {
      out.begin_object();
      out.key("descriptor");
      out.string(d.descriptor);
      out.key("atom");
      out.string(d.atom);
      out.key("entry");
      out.string(d.entry);
      out.end_object();
    }
    out.end_array();
    out.end_object();
  }
  out.end_array();
}

}  // namespace

void write_nearest(JsonWriter& out, const std::vector<NearEntry>& near) { nearest(out, near); }

std::string rule_name(const AxisDecision& d) {
  switch (d.rule) {
    case AxisRule::TooFewNeighbours: return "too few neighbours: nearest atoms or dummies";
    case AxisRule::NoChemistry: return "no chemistry: first two neighbours by type";
    case AxisRule::OnePlanarRing: return "Atom belongs to only one planar ring";
    case AxisRule::TwoPlanarRings: return "Atom belongs to 2 planar rings";
    case AxisRule::Terminal: return "terminal atom";
    case AxisRule::Hydrogen: return "Hydrogen connected to an atom";
    case AxisRule::Linear: return "LINEAR conformation";
    case AxisRule::Bent: return "BENT conformation";
    case AxisRule::ThreeNeighbours: return "Label = " + std::to_string(d.case_label);
    case AxisRule::FourNeighbours: return "four neighbours";
    case AxisRule::None: break;
  }
  return "none";
}

AtomReporter::AtomReporter(Run& run, ReportPage& page) : run_(run), page_(page), nearest_(run.db.bank) {
  labels_.reserve(static_cast<std::size_t>(run.atoms.size()));
  for (const Atom& a : run.atoms.list) labels_.emplace_back(trimmed(a.label));
}

const std::string& AtomReporter::element(int z) {
  if (elements_.empty())
    for (int k = 0; k <= kMaxSymbolZ; ++k) elements_.push_back(trim_right(atsym(k)));
  return elements_.at(static_cast<std::size_t>(z));
}

const std::string& AtomReporter::rule(const AxisDecision& d) {
  const std::pair<int, int> key{static_cast<int>(d.rule), d.case_label};
  auto it = rules_.find(key);
  if (it == rules_.end()) it = rules_.emplace(key, rule_name(d)).first;
  return it->second;
}

const std::pair<std::string, std::string>& AtomReporter::entry(std::size_t header) {
  auto it = entries_.find(header);
  if (it == entries_.end()) {
    std::string comment = trim_right(entry_comment(run_.db.bank, header));
    std::string outcome = "line " + std::to_string(header + 1) + ": " + comment;
    it = entries_.emplace(header, std::make_pair(std::move(comment), std::move(outcome))).first;
  }
  return it->second;
}

void AtomReporter::atom_ref(JsonWriter& out, int atom) const {
  out.begin_object();
  out.key("index");
  out.integer(atom);
  out.key("label");
  out.string(labels_[static_cast<std::size_t>(atom - 1)]);
  out.end_object();
}

void AtomReporter::neighbours(JsonWriter& out, int i) const {
  out.begin_array();
  if (i <= run_.nb.neighbors.size()) {
    const NeighbourRecord& r = run_.nb.neighbors.at(i);
    for (int k = 0; k < r.nnei; ++k) {
      const auto n = static_cast<std::size_t>(k);
      out.begin_object();
      out.key("index");
      out.integer(r.jnei[n]);
      out.key("label");
      out.string(labels_[static_cast<std::size_t>(r.jnei[n] - 1)]);
      out.key("distance");
      out.decimal(r.dnei[n], 4);
      out.end_object();
    }
  }
  out.end_array();
}

void AtomReporter::write(int i, JsonWriter& out) {
  const Atom& a = run_.atoms.at(i);
  const std::string& label = labels_[static_cast<std::size_t>(i - 1)];
  const std::string& symbol = element(a.iz);
  out.begin_object();
  out.key("index");
  out.integer(i);
  out.key("label");
  out.string(label);
  out.key("element");
  out.string(symbol);
  out.key("frac");
  if (run_.opt.ifra == 1) vec(out, a.xf, 6);
  else out.null();
  out.key("cart");
  vec(out, a.xc, 5);
  out.key("occupancy");
  out.decimal(a.occ, 4);
  out.key("flag");
  out.integer(a.flag);
  const auto n = static_cast<std::size_t>(i - 1);
  const int source = n < run_.cryst.isq.size() ? run_.cryst.isq[n] : 0;
  out.key("source");
  if (source > 0) atom_ref(out, source);
  else out.null();
  out.key("neighbours");
  neighbours(out, i);
  out.key("rings");
  out.begin_array();
  for (int r : run_.rings.rings_of(i)) out.integer(r);
  out.end_array();
  if (i <= run_.nb.neighbors.size()) {
    const NeighbourRecord& r = run_.nb.neighbors.at(i);
    page_.add_atom(i, label, symbol, a.xc, std::span<const int>(r.jnei.data(), static_cast<std::size_t>(r.nnei)));
  } else {
    page_.add_atom(i, label, symbol, a.xc, {});
  }
  if (i <= run_.atoms.natoms) {
    out.key("local");
    if (i <= run_.axes.treated) {
      PageRow row;
      row.atom = i;
      local(i, out, row);
      page_.add_row(row);
    } else {
      out.null();
    }
  }
  out.end_object();
  out.flush_if_full();
}

void AtomReporter::local(int i, JsonWriter& out, PageRow& row) {
  const Atom& a = run_.atoms.at(i);
  const auto n = static_cast<std::size_t>(i - 1);
  const AxisDecision& d = run_.axes.axes[n];
  const AxisRecord& rec = run_.axes.rec[n];
  out.begin_object();
  out.key("axes");
  out.begin_object();
  out.key("first");
  axis_point(out, d.first, d.p1);
  out.key("second");
  axis_point(out, d.second, d.p2);
  out.end_object();
  row.axis1 = letter_char(d.first);
  row.axis2 = letter_char(d.second);
  row.label1 = trimmed(d.p1.label);
  row.label2 = trimmed(d.p2.label);
  row.frame = local_frame(a.xc, d);
  out.key("frame");
  out.begin_object();
  const char* names[] = {"x", "y", "z"};
  for (std::size_t k = 0; k < 3; ++k) {
    out.key(names[k]);
    vec(out, row.frame[k], 6);
  }
  out.end_object();
  row.sym = trimmed(a.sitesym);
  out.key("site_symmetry");
  out.string(row.sym);
  row.rule = rule(d);
  out.key("rule");
  out.string(row.rule);
  row.kset = rec.kset;
  out.key("kappa_set");
  out.integer(rec.kset);
  out.key("kappa");
  const auto k = static_cast<std::size_t>(rec.kset - 1);
  if (rec.kset >= 1 && k < run_.db.kappas.size()) {
    out.begin_array();
    out.decimal(run_.db.kappas[k].kappa[0], 4);
    out.decimal(run_.db.kappas[k].kappa[1], 4);
    out.end_array();
  } else {
    out.null();
  }
  out.key("chemcon");
  if (rec.chemcon > 0) atom_ref(out, rec.chemcon);
  else out.null();
  out.key("functional_group");
  if (n < run_.db.except.size() && run_.db.except[n].flag == 1) {
    row.group = trimmed(run_.db.except[n].group);
    out.string(row.group);
  } else {
    out.null();
  }
  out.key("databank");
  databank(i, out, row);
  out.key("xh_extension");
  xh_extension(out, run_, i);
  const Options& o = run_.opt;
  out.key("populations");
  if (o.ldb == 1 || o.lfh == 1 || o.lsx == 1) populations(out, run_, i);
  else out.null();
  out.end_object();
}

void AtomReporter::databank(int i, JsonWriter& out, PageRow& row) {
  if (run_.opt.ldb != 1) return out.null();
  const auto n = static_cast<std::size_t>(i - 1);
  out.begin_object();
  out.key("searched");
  if (n >= run_.db.lookup.size() || !run_.db.lookup[n].searched) {
    out.boolean(false);
    out.key("reason");
    out.string("the atom or a neighbour is disordered");
    out.end_object();
    row.outcome = "not searched (disorder)";
    return;
  }
  const DbLookup& l = run_.db.lookup[n];
  out.boolean(true);
  out.key("found");
  out.boolean(l.found);
  if (l.found) {
    const auto& [comment, outcome] = entry(l.header);
    out.key("entry");
    out.begin_object();
    out.key("line");
    out.integer(static_cast<std::int64_t>(l.header + 1));
    out.key("comment");
    out.string(comment);
    out.end_object();
    out.end_object();
    row.outcome = outcome;
    return;
  }
  static const ExceptRow kNone;
  const ExceptRow& group = n < run_.db.except.size() ? run_.db.except[n] : kNone;
  near_ = nearest_.find(l, group);
  out.key("nearest");
  nearest(out, near_);
  out.end_object();
  row.outcome = "NOT FOUND";
  row.not_found = true;
  row.nearest = &near_;
}

}  // namespace tesk
