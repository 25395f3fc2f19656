// The head of tesk.json: program, input files with their SHA-256, options,
// cell, operators, counts, rings, dummy atoms, and the error of a stopped run.
#include "report/report_json.hpp"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "core/errors.hpp"
#include "core/line_reader.hpp"
#include "local_axes/dummy_atoms.hpp"
#include "model/run.hpp"
#include "report/file_digest.hpp"

#ifndef TESK_VERSION
#define TESK_VERSION "unknown"
#endif

namespace tesk {

namespace {

std::string trimmed(const std::string& s) { return trim_right(s); }

Json file_entry(const std::string& name) {
  Json f;
  f["name"] = name;
  if (auto d = digest_file(name)) {
    f["size"] = d->size;
    f["sha256"] = d->sha256;
  } else {
    f["size"] = nullptr;
    f["sha256"] = nullptr;
  }
  return f;
}

Json inputs(const Run& run) {
  const Options& o = run.opt;
  Json in;
  in["control"] = file_entry("tesk.inp");
  Json structure = Json::array();
  if (o.ftype == 2) structure.push_back(file_entry(trimmed(o.kqold)));
  structure.push_back(file_entry(trimmed(o.name1)));
  in["structure"] = structure;
  if (o.ldb == 1 && !run.db.bank.path.empty()) {
    Json db = file_entry(run.db.bank.path);
    std::size_t entries = run.db.bank.bad_headers.size();
    for (const auto& [z, lines] : run.db.bank.headers) entries += lines.size();
    db["entries"] = entries;
    in["databank"] = db;
  } else {
    in["databank"] = nullptr;
  }
  return in;
}

Json options(const Run& run) {
  const Options& o = run.opt;
  Json j;
  j["format"] = format_word(o.ftype);
  j["verbosity"] = o.verbosity;
  j["tolerances"] = {rounded(o.tols[0], 4), rounded(o.tols[1], 4), rounded(o.tols[2], 4)};
  j["ncells"] = o.compfrag;
  j["rings"] = o.rings_flag == 1 ? Json{o.ring1[0], o.ring1[1]} : Json(nullptr);
  j["databank"] = o.ldb == 1;
  j["extend_h"] = o.lfh == 1;
  j["tokq"] = o.lsx == 1;
  j["simple"] = o.simple == 1;
  return j;
}

Json cell(const Run& run) {
  if (run.opt.ifra != 1) return nullptr;
  const auto& p = run.ucell.p;
  Json c;
  const char* names[] = {"a", "b", "c", "alpha", "beta", "gamma"};
  for (std::size_t k = 0; k < 6; ++k) c[names[k]] = rounded(p[k], 5);
  return c;
}

Json operators(const Run& run) {
  Json list = Json::array();
  if (run.opt.ifra != 1) return list;
  for (int s = 1; s <= run.symm.nsym(); ++s) {
    const SymOp& op = run.symm.op(s);
    Json rows = Json::array();
    Json t = Json::array();
    // x'(j) = t(j) + sum_k rot(k, j) x(k): row j of the matrix is column j of rot.
    for (std::size_t j = 0; j < 3; ++j) {
      rows.push_back({rounded(op.rot[0][j], 6), rounded(op.rot[1][j], 6), rounded(op.rot[2][j], 6)});
      t.push_back(rounded(op.trn[j], 6));
    }
    list.push_back({{"number", s}, {"xyz", operator_text(s, run)}, {"rotation", rows}, {"translation", t}});
  }
  return list;
}

Json rings(const Run& run) {
  Json list = Json::array();
  for (int r = 1; r <= run.rings.nor(); ++r) {
    const Ring& ring = run.rings.ring[static_cast<std::size_t>(r - 1)];
    list.push_back({{"number", r}, {"size", ring.rsize}, {"planar", ring.rplan == 1}, {"atoms", ring.ratom}});
  }
  return list;
}

Json dummies(const Run& run) {
  Json list = Json::array();
  for (int k = 1; k <= run.axes.dummy.ndum(); ++k) {
    const Vec3 xc = dummy_xc(run, k);
    list.push_back({{"number", k},
                    {"name", run.axes.dummy.dum[static_cast<std::size_t>(k - 1)].label},
                    {"cart", {rounded(xc[0], 5), rounded(xc[1], 5), rounded(xc[2], 5)}}});
  }
  return list;
}

Json error_entry(const FatalError* e) {
  if (e == nullptr) return nullptr;
  return {{"routine", e->routine()}, {"message", trim_right(e->message())}, {"exit_status", e->exit_status()}};
}

// A translation as a fraction of twelfths where it is one, else a decimal.
std::string translation_text(float t) {
  const double twelfths = std::round(static_cast<double>(t) * 12.0);
  if (std::fabs(twelfths - static_cast<double>(t) * 12.0) > 1e-4) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%+.4f", static_cast<double>(t));
    return buf;
  }
  long n = std::lround(twelfths), d = 12;
  for (long g : {2L, 2L, 3L})
    if (n % g == 0 && d % g == 0) { n /= g; d /= g; }
  if (n == 0) return "";
  return (n > 0 ? "+" : "-") + std::to_string(std::labs(n)) + (d == 1 ? "" : "/" + std::to_string(d));
}

}  // namespace

double rounded(float value, int decimals) {
  static const double kScale[] = {1, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7};
  const double s = kScale[decimals];
  return std::round(static_cast<double>(value) * s) / s;
}

std::string operator_text(int op, const Run& run) {
  const SymOp& s = run.symm.op(op);
  const char xyz[] = {'x', 'y', 'z'};
  std::string text;
  for (std::size_t j = 0; j < 3; ++j) {
    std::string part;
    for (std::size_t k = 0; k < 3; ++k) {
      const float c = s.rot[k][j];
      if (c == 0.0f) continue;
      if (c == 1.0f) part += part.empty() ? "" : "+";
      else if (c == -1.0f) part += "-";
      else part += (c > 0 && !part.empty() ? "+" : "") + std::to_string(std::lround(c)) + "*";
      part += xyz[k];
    }
    std::string t = translation_text(s.trn[j]);
    if (part.empty()) part = t.empty() ? "0" : (t[0] == '+' ? t.substr(1) : t);
    else part += t;
    text += (j > 0 ? "," : "") + part;
  }
  return text;
}

Json report_head(Run& run, const FatalError* error) {
  Json doc;
  doc["format_version"] = kReportFormatVersion;
  doc["program"] = {{"name", "tesk"}, {"version", TESK_VERSION}};
  doc["status"] = error == nullptr ? "complete" : "stopped";
  doc["error"] = error_entry(error);
  doc["inputs"] = inputs(run);
  doc["options"] = options(run);
  doc["cell"] = cell(run);
  doc["operators"] = operators(run);
  const auto& c = run.opt.ldb_count;
  doc["counts"] = {{"input_atoms", run.atoms.natoms},
                   {"working_atoms", run.cryst.nall},
                   {"treated_atoms", run.axes.treated},
                   {"dummy_atoms", run.axes.dummy.ndum()},
                   {"rings", run.rings.nor()},
                   {"kappa_sets", run.db.nkappaset},
                   {"databank", {{"searched", c[0]}, {"found", c[1]}, {"not_found", c[2]}}}};
  doc["rings"] = rings(run);
  doc["dummy_atoms"] = dummies(run);
  return doc;
}

}  // namespace tesk
