// Search of the databank for one atom (readdb) and the functional-group check
// of an entry (exceptdb).
//
// The search behaves as a scan of the file from its first line: it skips
// lines up to the next raw "ATOM" header, and an entry that does not fit
// leaves the scan on the line after the last record read for it. The header
// index only lets the scan jump straight to the next header it would stop at.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "connectivity/neighbours.hpp"
#include "core/errors.hpp"
#include "model/run.hpp"
#include "databank/databank.hpp"
#include "format/fortran_format.hpp"

namespace tesk {

namespace {

// What the atom looks like to the databank.
struct SearchKey {
  int atom = 0;
  int ityp = 0;                 // atomic number
  int inei = 0;                 // bonded neighbours
  int ity = 0;                  // distinct neighbour elements
  std::vector<int> ztyp;        // their atomic numbers, ascending
  std::vector<int> ntnei;       // and counts
  int iring = 0;
  int imemb = 0;
  bool lpg = false;
  std::string asymi;            // site symmetry, upper case, 5 characters
  std::array<int, 3> forh{};    // hydrogens: parent nnei, parent Z, parent's H count
};


const ExceptRow& except_row(const Run& run, int atom) {
  static const ExceptRow none;
  auto i = static_cast<std::size_t>(atom - 1);
  return i < run.db.except.size() ? run.db.except[i] : none;
}

std::string line_ref(const Databank& bank, std::size_t line) {
  return "databank line " + std::to_string(line + 1) + ": " + trim_right(bank.raw[line]);
}

void need_ints(Databank& bank, std::size_t line, int n) {
  const DbRecord& r = bank.record(line);
  if (static_cast<int>(r.ints.size()) < n)
    input_error(bank.path, "cannot read " + std::to_string(n) + " integers from " +
                               line_ref(bank, line));
}

void need_reals(Databank& bank, std::size_t line, int n) {
  const DbRecord& r = bank.record(line);
  if (static_cast<int>(r.reals.size()) < n)
    input_error(bank.path, "cannot read " + std::to_string(n) + " numbers from " +
                               line_ref(bank, line));
}

// Reads records until one with keyword `key`; returns its line.
std::size_t read_until(Databank& bank, std::size_t& pos, std::string_view key) {
  for (;;) {
    std::size_t line = readfile(bank, pos);
    if (bank.record(line).keyword_is(key)) return line;
  }
}

SearchKey make_key(Run& run, int atom) {
  SearchKey k;
  const Atom& a = run.atoms.at(atom);
  k.atom = atom;
  k.ityp = a.iz;
  k.asymi = upper(fixed_width(a.sitesym, 5));
  run.nb.iprint = 0;
  findnei(run, atom, 0.0f);
  const NeighbourRecord& n = run.nb.neig;
  k.inei = n.nnei;
  k.ity = n.ntyp;
  for (int t = 0; t < n.ntyp; ++t) {
    k.ztyp.push_back(n.ztyp[static_cast<std::size_t>(t)]);
    k.ntnei.push_back(n.ntnei[static_cast<std::size_t>(t)]);
  }
  k.iring = run.db.iring;
  k.imemb = run.db.imemb;
  k.lpg = run.db.lpg;
  auto i = static_cast<std::size_t>(atom - 1);
  if (i < run.db.forh.size()) k.forh = run.db.forh[i];
  return k;
}

void set_defaults(MatchRecord& m, int ityp) {
  m = MatchRecord{};
  m.ifind = 0;
  m.Pval = pval(ityp);
  m.sigmaPv = 0.01f;
  m.kappa = {1.0f, 1.0f};
}

void log_key(Run& run, const SearchKey& k) {
  Sink& log = run.out.log;
  log << ffmt("(/a)", {" Searching DataBank for a match : "});
  log << ffree({" ityp  = ", k.ityp});
  log << ffree({" iring = ", k.iring});
  log << ffree({" inei  = ", k.inei});
  log << ffree({" ity   = ", k.ity});
  log << ffree({" imemb = ", k.imemb});
  log << ffmt("(3a)", {"  asymi = [", k.asymi, "]"});
  log << ffree({" lPG   = ", k.lpg});
  for (int t = 1; t <= k.ity; ++t)
    log << ffree({" type = ", t, " atom = ", k.ztyp[static_cast<std::size_t>(t - 1)],
                  " neib = ", k.ntnei[static_cast<std::size_t>(t - 1)]});
  log << " \n";
}

// The atomic number in word 2 of a header the index could not read: reading
// it again stops the run the way the input layer does.
[[noreturn]] void unreadable_header(Databank& bank, std::size_t line) {
  std::string padded = bank.padded(line);
  int s = 0, e = 0;
  readchar(padded, 2, s, e);
  input_error(bank.path, "cannot read the atomic number from " + line_ref(bank, line));
}


bool hydrogen_entry(Run& run, const SearchKey& k, std::size_t& pos) {
  Databank& bank = run.db.bank;
  std::size_t line = read_until(bank, pos, "PRNT");
  need_ints(bank, line, 3);
  const DbRecord& r = bank.record(line);
  const int jhp = r.ints[0], jsp = r.ints[1], jhnei = r.ints[2];
  const std::string asymr = r.word(5).substr(0, 5);
  std::string group;
  if (exceptdb(run, k.atom, pos, group) == 1) return false;
  if (run.verbosity() >= 2)
    run.out.log << ffmt("(2x,3(1x,a,i3),1x,3a,1x,a,l1)",
                        {"jhp =", jhp, "jsp =", jsp, "jhnei=", jhnei, "asymr=[", asymr, "]"});
  return k.forh[1] == jhp && k.forh[0] == jsp && k.forh[2] == jhnei && asymr == k.asymi;
}

// The jty neighbour-type lines: every neighbour element of the atom must be
// listed with its count.
bool neighbour_types_match(Run& run, const SearchKey& k, int jty, std::size_t& pos) {
  Databank& bank = run.db.bank;
  std::vector<int> jatum, jndt;
  for (int t = 1; t <= jty; ++t) {
    std::size_t line = readfile(bank, pos);
    need_ints(bank, line, 3);
    const DbRecord& r = bank.record(line);
    jatum.push_back(r.ints[1]);
    jndt.push_back(r.ints[2]);
    if (run.verbosity() >= 2)
      run.out.log << ffmt("(3x,'type =',i3,' jatum =',i3,' jndt =',i3)", {t, r.ints[1], r.ints[2]});
  }
  for (int t = 0; t < k.ity; ++t) {
    bool listed = false;
    for (std::size_t j = 0; j < jatum.size(); ++j)
      listed = listed || (jatum[j] == k.ztyp[static_cast<std::size_t>(t)] &&
                          jndt[j] == k.ntnei[static_cast<std::size_t>(t)]);
    if (!listed) return false;
  }
  return true;
}

bool other_entry(Run& run, const SearchKey& k, std::size_t& pos) {
  Databank& bank = run.db.bank;
  std::size_t line = read_until(bank, pos, "NEIG");
  need_ints(bank, line, 4);
  const DbRecord& r = bank.record(line);
  const int jnei = r.ints[0], jty = r.ints[1], jring = r.ints[2], jmemb = r.ints[3];
  const std::string asymr = r.word(6).substr(0, 5);
  // No T/F word: an atom with up to three neighbours is taken as planar.
  bool planar = k.inei <= 3;
  if (r.word(8) == "T       ") planar = true;
  if (r.word(8) == "F       ") planar = false;
  if (run.verbosity() >= 2)
    run.out.log << ffmt("(2x,3(1x,a,i3),1x,3a,1x,a,l1)",
                        {"jnei=", jnei, "jty=", jty, "jring=", jring, "asymr=[", asymr, "]",
                         "planar=", planar, "jmemb=", jmemb});
  if (jty > kMaxNeighbourTypes)
    err("ReadDB", "More than 10 neighbour types in " + line_ref(bank, line));
  const bool any_symmetry = asymr == "     ";
  if (jnei != k.inei || jty != k.ity || jring != k.iring || jmemb != k.imemb ||
      !(any_symmetry || asymr == k.asymi) || planar != k.lpg)
    return false;
  if (!neighbour_types_match(run, k, jty, pos)) return false;
  std::string group;
  return exceptdb(run, k.atom, pos, group) == 0;
}

// l and m of a population, rounded to the nearest integer; a value outside
// l = 0..4, |m| <= l stops the run instead of landing outside the table.
void set_population(Run& run, std::size_t line, float vl, float vm, float value) {
  auto in_range = [](float v) { return std::isfinite(v) && std::fabs(v) < 100.0f; };
  long l = in_range(vl) ? std::lround(vl) : -1;
  long m = in_range(vm) ? std::lround(vm) : 99;
  if (l < 0 || l > 4 || m < -l || m > l)
    err("ReadDB", "PLMS l or m out of range in " + line_ref(run.db.bank, line));
  run.db.mpoles1.plm.at(static_cast<int>(l), static_cast<int>(m)) = value;
}

// After a match: the PVAL record, then the PLMS records up to the first
// record with another keyword, which ends the entry.
void read_parameters(Run& run, std::size_t& pos) {
  Databank& bank = run.db.bank;
  MatchRecord& m = run.db.mpoles1;
  std::size_t line = read_until(bank, pos, "PVAL");
  need_reals(bank, line, 4);
  const DbRecord& pv = bank.record(line);
  m.Pval = pv.reals[0];
  m.kappa = {pv.reals[1], pv.reals[2]};
  m.sigmaPv = pv.reals[3];
  for (;;) {
    line = readfile(bank, pos);
    const DbRecord& r = bank.record(line);
    if (!r.keyword_is("PLMS")) break;
    need_reals(bank, line, r.nnum);
    for (int g = 0; g + 2 < r.nnum; g += 3) {
      auto i = static_cast<std::size_t>(g);
      set_population(run, line, r.reals[i], r.reals[i + 1], r.reals[i + 2]);
    }
  }
}

// `header`: the line of the entry that matched.
void log_result(Run& run, const SearchKey& k, std::size_t header) {
  Sink& log = run.out.log;
  const MatchRecord& m = run.db.mpoles1;
  const std::string label = trim_right(run.atoms.at(k.atom).label);
  const char* form = "(/' ReadDB :: atom ',a,' was',a,'found in the DataBank')";
  if (m.ifind == 1) {
    log << ffmt(form, {label, " "});
    log << ffmt("(/' DB comment for ',a,' = [',a,']')", {label, trim_right(entry_comment(run.db.bank, header))});
    const ExceptRow& ex = except_row(run, k.atom);
    if (ex.flag == 1) log << ffmt("(/' Functional group = [',a,']')", {trim_right(ex.group)});
  } else {
    log << ffmt(form, {label, " NOT "});
  }
  const Populations& p = m.plm;
  log << ffmt("(/3a/)", {" Pseudoatom parameters assigned to ", label, " : "});
  log << ffmt("(3x,'Pval, Kappa, Kappa'', sigmaPv = ',4f12.4)",
              {m.Pval, m.kappa[0], m.kappa[1], m.sigmaPv});
  log << ffmt("(3x,' 2nd Monopole:',f7.3)", {p.at(0, 0)});
  log << ffmt("(3x,'      Dipoles:',3f7.3)", {p.at(1, -1), p.at(1, 0), p.at(1, 1)});
  log << ffmt("(3x,'  Quadrupoles:',5f7.3)",
              {p.at(2, -2), p.at(2, -1), p.at(2, 0), p.at(2, 1), p.at(2, 2)});
  log << ffmt("(3x,'    Octupoles:',7f7.3)",
              {p.at(3, -3), p.at(3, -2), p.at(3, -1), p.at(3, 0), p.at(3, 1), p.at(3, 2),
               p.at(3, 3)});
  log << ffmt("(3x,'Hexadecapoles:',9f7.3)",
              {p.at(4, -4), p.at(4, -3), p.at(4, -2), p.at(4, -1), p.at(4, 0), p.at(4, 1),
               p.at(4, 2), p.at(4, 3), p.at(4, 4)});
}

}  // namespace

// Entry comment: word 4 of the header to its last non-blank character.
std::string entry_comment(const Databank& bank, std::size_t line) {
  std::string padded = bank.padded(line);
  if (dnumline(padded) < 4) return "";
  int s = 0, e = 0;
  readchar(padded, 4, s, e);
  std::string text = padded.substr(static_cast<std::size_t>(s - 1),
                                   static_cast<std::size_t>(lenstr(padded) - s + 1));
  if (text.size() > 80) text.resize(80);
  return text;
}

std::string entry_group_name(const Databank& bank, std::size_t line) {
  // The group name is the rest of the line after the word GROUP, as written;
  // a line without GROUP names no group.
  std::string text = upper(bank.padded(line));
  std::string name;
  if (auto at = text.find("GROUP"); at != std::string::npos) {
    std::string rest = text.substr(at + 5);
    int first = ifs(rest);
    if (first > 0) name = rest.substr(static_cast<std::size_t>(first - 1),
                                      static_cast<std::size_t>(lenstr(rest) - first + 1));
  }
  return fixed_width(name, 40);
}

std::size_t readfile(Databank& bank, std::size_t& pos) {
  std::size_t line = bank.next_noncomment(pos);
  if (line >= bank.size()) {
    // Only an entry being read asks for another line: name the file and the
    // header of the entry that the end of the file cuts off.
    std::size_t header = bank.size();
    while (header > 0 && !is_entry_header(bank.raw[header - 1])) --header;
    err("ReadFile", "Error reading databank " + bank.path + ": the file ends at line " +
                        std::to_string(bank.size()) + " inside the entry of line " +
                        std::to_string(header));
  }
  pos = line + 1;
  bank.record(line);
  return line;
}

int exceptdb(Run& run, int atom, std::size_t& pos, std::string& group) {
  Databank& bank = run.db.bank;
  Sink& log = run.out.log;
  const bool trace = run.verbosity() >= 2;
  const ExceptRow& ex = except_row(run, atom);
  std::size_t line = readfile(bank, pos);
  if (!bank.record(line).keyword_is("EXCEPT")) {
    pos = line;  // not ours: the next read sees this line again
    if (ex.flag == 0) return 0;
    if (trace)
      log << ffmt("(/4a/a/)", {" Functional group = [", trim_right(ex.group),
                               "], but no functional group", " specified for this entry..",
                               " Skipping DB entry..."});
    return 1;
  }
  if (trace) log << ffmt("(3x,'Exception entry in DataBank :')");
  if (ex.flag == 0) {
    if (trace)
      log << ffmt("(2a/)", {" Exception was not identified for this atom - ", "Skip DB entry..."});
    return 1;
  }
  group = entry_group_name(bank, line);
  if (trace) {
    log << ffmt("(6x,'functional group   = [',a,']')", {trim_right(ex.group)});
    log << ffmt("(6x,'group read from DB = [',a,']')", {trim_right(group)});
  }
  if (fixed_width(ex.group, 40) == group) return 0;
  if (trace) log << ffmt("(a/)", {"   Wrong functional group... :( "});
  return 1;
}

namespace {

// Everything a search compares, as one text: atoms that give the same text
// find the same entry.
std::string outcome_key(const Run& run, const SearchKey& k) {
  std::string key;
  auto add = [&key](long v) { key += std::to_string(v) + ','; };
  for (int v : {k.ityp, k.inei, k.ity, k.iring, k.imemb, k.lpg ? 1 : 0, k.forh[0], k.forh[1], k.forh[2]})
    add(v);
  for (std::size_t t = 0; t < k.ztyp.size(); ++t) {
    add(k.ztyp[t]);
    add(k.ntnei[t]);
  }
  const ExceptRow& ex = except_row(run, k.atom);
  add(ex.flag);
  return key + k.asymi + '|' + ex.group;
}

// The search as the atom looked to it, kept for the run's report.
void keep_lookup(Run& run, const SearchKey& k, std::size_t matched) {
  auto& all = run.db.lookup;
  const auto i = static_cast<std::size_t>(k.atom - 1);
  if (all.size() <= i) all.resize(std::max(i + 1, static_cast<std::size_t>(run.atoms.natoms)));
  DbLookup& l = all[i];
  l.searched = true;
  l.found = run.db.mpoles1.ifind == 1;
  l.header = matched;
  l.ityp = k.ityp;
  l.inei = k.inei;
  l.ztyp = k.ztyp;
  l.ntnei = k.ntnei;
  l.iring = k.iring;
  l.imemb = k.imemb;
  l.lpg = k.lpg;
  l.asymi = k.asymi;
  l.forh = k.forh;
}

void count_and_log(Run& run, const SearchKey& k, std::size_t matched) {
  keep_lookup(run, k, matched);
  auto& counts = run.opt.ldb_count;
  ++counts[0];
  ++counts[run.db.mpoles1.ifind == 1 ? 1 : 2];
  log_result(run, k, matched);
}

}  // namespace

void readdb(Run& run, int atom) {
  const SearchKey k = make_key(run, atom);
  MatchRecord& m = run.db.mpoles1;
  set_defaults(m, k.ityp);
  log_key(run, k);

  // Without the per-entry trace a search leaves nothing but its outcome, so
  // an atom like one searched before takes that outcome.
  const bool quiet = run.verbosity() < 2;
  std::string memo_key;
  if (quiet) {
    memo_key = outcome_key(run, k);
    if (auto it = run.db.outcomes.find(memo_key); it != run.db.outcomes.end()) {
      m = it->second.match;
      return count_and_log(run, k, it->second.header);
    }
  }

  Databank& bank = run.db.bank;
  std::size_t pos = 0;
  std::size_t matched = 0;
  while (auto header = bank.next_header(k.ityp, pos)) {
    pos = header->line + 1;
    if (!header->readable) unreadable_header(bank, header->line);
    if (run.verbosity() >= 2)
      run.out.log << ffree({" Reading atom = ", bank.padded(header->line)});
    bool match = k.ityp == 1 ? hydrogen_entry(run, k, pos) : other_entry(run, k, pos);
    if (match) {
      m.ifind = 1;
      matched = header->line;
      break;
    }
  }
  if (m.ifind == 1) read_parameters(run, pos);
  if (quiet) run.db.outcomes[memo_key] = {m, matched};
  count_and_log(run, k, matched);
}

}  // namespace tesk
