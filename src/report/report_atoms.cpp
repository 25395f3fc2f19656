// One atom of tesk.json: position, neighbours and rings for every atom of the
// working list; for an input atom treated by the per-atom loop also its axes
// and frame, the rule, kappa set, group, databank outcome (with the nearest
// entries when none fitted), X-H extension and populations.
#include <string>

#include "core/line_reader.hpp"
#include "databank/databank.hpp"
#include "local_axes/axis_plot.hpp"
#include "model/elements.hpp"
#include "model/run.hpp"
#include "report/report_json.hpp"

namespace tesk {

namespace {

Json vec(const Vec3& v, int decimals) {
  return Json::array({rounded(v[0], decimals), rounded(v[1], decimals), rounded(v[2], decimals)});
}


std::string element(int z) { return trim_right(atsym(z)); }

Json axis_point(AxisLetter letter, const AxisPoint& p) {
  Json j;
  j["axis"] = std::string(1, letter_char(letter));
  if (p.dummy > 0) {
    j["kind"] = "dummy";
    j["dummy"] = p.dummy;
  } else {
    j["kind"] = "atom";
    j["index"] = p.atom;
  }
  j["label"] = trim_right(p.label);
  j["cart"] = vec(p.xc, 5);
  return j;
}

Json neighbours(const Run& run, const std::vector<std::string>& labels, int i) {
  Json list = Json::array();
  if (i > run.nb.neighbors.size()) return list;
  const NeighbourRecord& r = run.nb.neighbors.at(i);
  for (int k = 0; k < r.nnei; ++k) {
    const auto n = static_cast<std::size_t>(k);
    const int j = r.jnei[n];
    list.push_back({{"index", j}, {"label", labels[static_cast<std::size_t>(j - 1)]}, {"distance", rounded(r.dnei[n], 4)}});
  }
  return list;
}

Json populations(const Run& run, int i) {
  const auto n = static_cast<std::size_t>(i - 1);
  if (n >= run.db.mpoles.size()) return nullptr;
  const AtomPoles& p = run.db.mpoles[n];
  Json plm = Json::array();
  for (int l = 0; l <= 4; ++l) {
    Json row = Json::array();
    for (int m = -l; m <= l; ++m) row.push_back(rounded(p.plm.at(l, m), 4));
    plm.push_back(row);
  }
  return {{"pv", rounded(p.pv, 4)}, {"sigma_pv", rounded(p.sigma, 4)}, {"plm", plm}};
}

Json xh_extension(const Run& run, int i) {
  const auto n = static_cast<std::size_t>(i - 1);
  if (n >= run.xh.extension.size() || !run.xh.extension[n].tried) return nullptr;
  const XhExtension& x = run.xh.extension[n];
  return {{"class", x.group}, {"length_before", rounded(x.before, 4)}, {"length_after", rounded(x.after, 4)}};
}

}  // namespace

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

AtomReporter::AtomReporter(Run& run) : run_(run), nearest_(run.db.bank) {
  labels_.reserve(static_cast<std::size_t>(run.atoms.size()));
  for (const Atom& a : run.atoms.list) labels_.push_back(trim_right(a.label));
}

Json AtomReporter::atom_ref(int atom) const {
  return {{"index", atom}, {"label", labels_[static_cast<std::size_t>(atom - 1)]}};
}

const std::string& AtomReporter::comment(std::size_t header) {
  auto it = comments_.find(header);
  if (it == comments_.end()) it = comments_.emplace(header, trim_right(entry_comment(run_.db.bank, header))).first;
  return it->second;
}

Json AtomReporter::atom(int i) {
  const Atom& a = run_.atoms.at(i);
  Json j;
  j["index"] = i;
  j["label"] = labels_[static_cast<std::size_t>(i - 1)];
  j["element"] = element(a.iz);
  j["frac"] = run_.opt.ifra == 1 ? vec(a.xf, 6) : Json(nullptr);
  j["cart"] = vec(a.xc, 5);
  j["occupancy"] = rounded(a.occ, 4);
  j["flag"] = a.flag;
  const auto n = static_cast<std::size_t>(i - 1);
  const int source = n < run_.cryst.isq.size() ? run_.cryst.isq[n] : 0;
  j["source"] = source > 0 ? atom_ref(source) : Json(nullptr);
  j["neighbours"] = neighbours(run_, labels_, i);
  j["rings"] = run_.rings.rings_of(i);
  if (i <= run_.atoms.natoms) j["local"] = i <= run_.axes.treated ? local(i) : Json(nullptr);
  return j;
}

Json AtomReporter::local(int i) {
  const Atom& a = run_.atoms.at(i);
  const auto n = static_cast<std::size_t>(i - 1);
  const AxisDecision& d = run_.axes.axes[n];
  const AxisRecord& rec = run_.axes.rec[n];
  Json j;
  j["axes"] = {{"first", axis_point(d.first, d.p1)}, {"second", axis_point(d.second, d.p2)}};
  const auto frame = local_frame(a.xc, d);
  j["frame"] = {{"x", vec(frame[0], 6)}, {"y", vec(frame[1], 6)}, {"z", vec(frame[2], 6)}};
  j["site_symmetry"] = trim_right(a.sitesym);
  j["rule"] = rule_name(d);
  j["kappa_set"] = rec.kset;
  const auto k = static_cast<std::size_t>(rec.kset - 1);
  j["kappa"] = rec.kset >= 1 && k < run_.db.kappas.size()
                   ? Json{rounded(run_.db.kappas[k].kappa[0], 4), rounded(run_.db.kappas[k].kappa[1], 4)}
                   : Json(nullptr);
  j["chemcon"] = rec.chemcon > 0 ? atom_ref(rec.chemcon) : Json(nullptr);
  const bool has_group = n < run_.db.except.size() && run_.db.except[n].flag == 1;
  j["functional_group"] = has_group ? Json(trim_right(run_.db.except[n].group)) : Json(nullptr);
  j["databank"] = databank(i);
  j["xh_extension"] = xh_extension(run_, i);
  const Options& o = run_.opt;
  const bool written = o.ldb == 1 || o.lfh == 1 || o.lsx == 1;
  j["populations"] = written ? populations(run_, i) : Json(nullptr);
  return j;
}

Json AtomReporter::databank(int i) {
  if (run_.opt.ldb != 1) return nullptr;
  const auto n = static_cast<std::size_t>(i - 1);
  Json j;
  if (n >= run_.db.lookup.size() || !run_.db.lookup[n].searched) {
    j["searched"] = false;
    j["reason"] = "the atom or a neighbour is disordered";
    return j;
  }
  const DbLookup& l = run_.db.lookup[n];
  j["searched"] = true;
  j["found"] = l.found;
  if (l.found) {
    j["entry"] = {{"line", l.header + 1}, {"comment", comment(l.header)}};
    return j;
  }
  static const ExceptRow kNone;
  const ExceptRow& group = n < run_.db.except.size() ? run_.db.except[n] : kNone;
  Json near = Json::array();
  for (const NearEntry& e : nearest_.find(l, group)) {
    Json diffs = Json::array();
    for (const auto& d : e.differences)
      diffs.push_back({{"descriptor", d.descriptor}, {"atom", d.atom}, {"entry", d.entry}});
    near.push_back({{"line", e.header + 1}, {"comment", e.comment}, {"differences", diffs}});
  }
  j["nearest"] = near;
  return j;
}

}  // namespace tesk
