// The nearest databank entries of an atom the search did not match. Each
// entry of the element is read once into the environment the search compares;
// an atom is then compared with every entry and the closest are kept.
#include "databank/databank_nearest.hpp"

#include <algorithm>
#include <cctype>
#include <set>

#include "core/line_reader.hpp"
#include "databank/databank.hpp"
#include "model/elements.hpp"

namespace tesk {

namespace {

std::string symbol(int z) {
  const std::string s = trim_right(atsym(z));
  return s.empty() ? std::to_string(z) : s;
}

std::string yes_no(bool planar) { return planar ? "T" : "F"; }

std::string group_text(const std::string& group) {
  const std::string g = trim_right(group);
  return g.empty() ? "none" : g;
}

// Labels are compared in upper case; they are shown as the axis rules write
// them, in lower case but for "NO".
std::string symmetry_text(const std::string& label) {
  std::string s = trim_right(label);
  if (s.empty()) return "blank";
  if (s == "NO") return s;
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

// Neighbours by element: the count for every element that the atom or the
// entry lists, as one descriptor each.
void neighbour_differences(const DbLookup& a, const EntryEnvironment& e,
                           std::vector<DescriptorDifference>& out) {
  std::set<int> elements(a.ztyp.begin(), a.ztyp.end());
  elements.insert(e.jatum.begin(), e.jatum.end());
  for (int z : elements) {
    int mine = 0, theirs = 0;
    for (std::size_t t = 0; t < a.ztyp.size(); ++t)
      if (a.ztyp[t] == z) mine = a.ntnei[t];
    for (std::size_t t = 0; t < e.jatum.size(); ++t)
      if (e.jatum[t] == z) theirs = e.jndt[t];
    if (mine != theirs)
      out.push_back({"neighbours " + symbol(z), std::to_string(mine), std::to_string(theirs)});
  }
}

// The key under which an atom's answer is kept: everything compared.
std::string lookup_key(const DbLookup& a, const ExceptRow& g) {
  std::string key;
  for (int v : {a.ityp, a.inei, a.iring, a.imemb, a.lpg ? 1 : 0, a.forh[0], a.forh[1], a.forh[2]})
    key += std::to_string(v) + ',';
  for (std::size_t t = 0; t < a.ztyp.size(); ++t)
    key += std::to_string(a.ztyp[t]) + ':' + std::to_string(a.ntnei[t]) + ',';
  return key + a.asymi + '|' + std::to_string(g.flag) + g.group;
}

}  // namespace

std::vector<DescriptorDifference> differences(const DbLookup& a, const ExceptRow& g,
                                              const EntryEnvironment& e) {
  std::vector<DescriptorDifference> out;
  const std::string sym = upper(fixed_width(a.asymi, 5));
  if (a.ityp == 1) {
    // A hydrogen entry names its parent; its site symmetry must match exactly.
    if (a.forh[1] != e.jhp) out.push_back({"parent element", symbol(a.forh[1]), symbol(e.jhp)});
    if (a.forh[0] != e.jsp)
      out.push_back({"parent neighbours", std::to_string(a.forh[0]), std::to_string(e.jsp)});
    if (a.forh[2] != e.jhnei)
      out.push_back({"hydrogens on parent", std::to_string(a.forh[2]), std::to_string(e.jhnei)});
    if (e.asymr != sym)
      out.push_back({"site symmetry", symmetry_text(sym), symmetry_text(e.asymr)});
  } else {
    neighbour_differences(a, e, out);
    if (a.iring != e.jring || a.imemb != e.jmemb)
      out.push_back({"ring code", std::to_string(a.iring) + "/" + std::to_string(a.imemb),
                     std::to_string(e.jring) + "/" + std::to_string(e.jmemb)});
    // A blank label in the entry stands for any site symmetry.
    if (e.asymr != "     " && e.asymr != sym)
      out.push_back({"site symmetry", symmetry_text(sym), symmetry_text(e.asymr)});
    // Without a T/F word the entry takes the planarity the search assumes.
    const bool planar = e.planar == 'T' || (e.planar == ' ' && a.inei <= 3);
    if (planar != a.lpg) out.push_back({"planarity", yes_no(a.lpg), yes_no(planar)});
  }
  const std::string mine = g.flag == 1 ? fixed_width(g.group, 40) : std::string(40, ' ');
  if (mine != e.group) out.push_back({"functional group", group_text(mine), group_text(e.group)});
  return out;
}

std::vector<NearEntry> NearestEntries::find(const DbLookup& atom, const ExceptRow& group,
                                            std::size_t count) {
  const std::string key = lookup_key(atom, group) + '#' + std::to_string(count);
  if (auto it = done_.find(key); it != done_.end()) return it->second;
  std::vector<NearEntry> near;
  for (const EntryEnvironment& e : entries_of(atom.ityp)) {
    if (!e.readable) continue;
    near.push_back({e.header, "", differences(atom, group, e)});
  }
  std::stable_sort(near.begin(), near.end(), [](const NearEntry& x, const NearEntry& y) {
    return x.differences.size() < y.differences.size();
  });
  if (near.size() > count) near.resize(count);
  for (NearEntry& n : near) n.comment = trim_right(entry_comment(bank_, n.header));
  done_[key] = near;
  return near;
}

const std::vector<EntryEnvironment>& NearestEntries::entries_of(int z) {
  if (auto it = entries_.find(z); it != entries_.end()) return it->second;
  if (all_headers_.empty()) {
    for (const auto& [element, lines] : bank_.headers)
      all_headers_.insert(all_headers_.end(), lines.begin(), lines.end());
    all_headers_.insert(all_headers_.end(), bank_.bad_headers.begin(), bank_.bad_headers.end());
    std::sort(all_headers_.begin(), all_headers_.end());
  }
  std::vector<EntryEnvironment> list;
  if (auto it = bank_.headers.find(z); it != bank_.headers.end()) {
    for (std::size_t h : it->second) {
      auto next = std::upper_bound(all_headers_.begin(), all_headers_.end(), h);
      list.push_back(read_entry(z, h, next == all_headers_.end() ? bank_.size() : *next));
    }
  }
  return entries_[z] = std::move(list);
}

// Reads the entry's environment records between its header and the next
// header; anything missing or unreadable leaves the entry unreadable.
EntryEnvironment NearestEntries::read_entry(int z, std::size_t header, std::size_t end) {
  EntryEnvironment e;
  e.header = header;
  const bool hydrogen = z == 1;
  const std::string key = hydrogen ? "PRNT" : "NEIG";
  auto next = [&](std::size_t from) { return std::min(bank_.next_noncomment(from), end); };
  std::size_t pos = next(header + 1);
  while (pos < end && !bank_.record(pos).keyword_is(key)) pos = next(pos + 1);
  if (pos >= end) return e;
  const DbRecord& r = bank_.record(pos);
  if (hydrogen) {
    if (r.ints.size() < 3) return e;
    e.jhp = r.ints[0];
    e.jsp = r.ints[1];
    e.jhnei = r.ints[2];
    e.asymr = r.word(5).substr(0, 5);
  } else {
    if (r.ints.size() < 4 || r.ints[1] < 0 || r.ints[1] > kMaxNeighbourTypes) return e;
    e.jnei = r.ints[0];
    e.jring = r.ints[2];
    e.jmemb = r.ints[3];
    e.asymr = r.word(6).substr(0, 5);
    const std::string flag = trim_right(r.word(8));
    e.planar = flag == "T" || flag == "F" ? flag[0] : ' ';
    for (int t = 0; t < r.ints[1]; ++t) {
      pos = next(pos + 1);
      if (pos >= end || bank_.record(pos).ints.size() < 3) return e;
      e.jatum.push_back(bank_.record(pos).ints[1]);
      e.jndt.push_back(bank_.record(pos).ints[2]);
    }
  }
  e.group = std::string(40, ' ');
  pos = next(pos + 1);
  if (pos < end && bank_.record(pos).keyword_is("EXCEPT")) e.group = entry_group_name(bank_, pos);
  e.readable = true;
  return e;
}

}  // namespace tesk
