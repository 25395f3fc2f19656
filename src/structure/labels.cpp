// MoPro forms of atom labels, and unique labels for the atoms read.
#include "structure/labels.hpp"

#include <algorithm>
#include <map>
#include <set>

#include "core/errors.hpp"
#include "core/line_reader.hpp"
#include "format/fortran_format.hpp"
#include "model/elements.hpp"
#include "model/run.hpp"

namespace tesk {

std::string ernum(std::string_view label) {
  return fixed_width(label.substr(0, std::min(label.find('('), label.size())), 10);
}

std::string erbras(std::string_view label) {
  std::string s(label);
  s.erase(std::remove_if(s.begin(), s.end(), [](char c) { return c == '(' || c == ')'; }), s.end());
  return fixed_width(s, 10);
}

std::string erum(std::string_view label) {
  std::string s(label);
  const std::size_t at = s.find("UM");
  if (at != std::string::npos) s.erase(at, 2);
  return fixed_width(s, 10);
}

bool mopro_hydrogen(std::string_view label) { return trim_right(ernum(label)) == "H"; }

namespace {

// The element part of a new label: the symbol of the atom's element, upper
// case as the labels read are; for an atom of no known element, the part of
// its label before "(".
std::string element_part(const Atom& a) {
  std::string symbol = upper(trim_right(atsym(a.iz)));
  return symbol.empty() ? trim_right(ernum(a.label)) : symbol;
}

std::string numbered(const std::string& element, int number) {
  return fixed_width(element + "(" + std::to_string(number) + ")", 8);
}

void log_change(Run& run, int n, const std::string& old_label) {
  run.out.log << ffmt("(i6,3x,a,' -> ',a)", {n, old_label, run.atoms.at(n).label});
}

std::map<std::string, int> label_counts(const Run& run) {
  std::map<std::string, int> count;
  for (int n = 1; n <= run.atoms.natoms; ++n) ++count[run.atoms.at(n).label];
  return count;
}

void renumber_by_element(Run& run, const std::map<std::string, int>& count) {
  run.out.log << ffmt("(/a)", {" Atom labels repeat:"});
  for (const auto& [label, times] : count)
    if (times > 1) run.out.log << ffmt("(3x,a,' is given to',i6,' atoms')", {label, times});
  run.out.log << ffmt("(a)", {" Every atom is renumbered within its element, in file order:"});
  run.out.console << ffmt("(/a)", {" Atom labels repeat: atoms renumbered within their element "
                                   "(see tesk.out)"});
  std::map<std::string, int> last;
  for (int n = 1; n <= run.atoms.natoms; ++n) {
    Atom& a = run.atoms.at(n);
    const std::string old_label = a.label;
    const std::string element = element_part(a);
    a.label = numbered(element, ++last[element]);
    log_change(run, n, old_label);
  }
}

void number_bare_labels(Run& run) {
  std::set<std::string> taken;
  for (int n = 1; n <= run.atoms.natoms; ++n) taken.insert(run.atoms.at(n).label);
  bool heading = false;
  for (int n = 1; n <= run.atoms.natoms; ++n) {
    Atom& a = run.atoms.at(n);
    if (!trim_right(a.label).ends_with("()")) continue;
    if (!heading) run.out.log << ffmt("(/a)", {" Labels without a number are numbered:"});
    heading = true;
    const std::string old_label = a.label;
    const std::string element = trim_right(ernum(a.label));
    int number = 1;
    while (taken.count(numbered(element, number)) != 0) ++number;
    a.label = numbered(element, number);
    taken.insert(a.label);
    log_change(run, n, old_label);
  }
}

}  // namespace

void unique_labels(Run& run) {
  std::map<std::string, int> count = label_counts(run);
  const bool repeat = std::any_of(count.begin(), count.end(),
                                  [](const auto& c) { return c.second > 1; });
  if (repeat) {
    renumber_by_element(run, count);
  } else {
    number_bare_labels(run);
  }
  // Only a label cut at 8 characters could still repeat.
  std::string repeated;
  for (const auto& [label, times] : label_counts(run))
    if (times > 1) repeated += (repeated.empty() ? "" : ", ") + trim_right(label);
  if (!repeated.empty()) err("Labels", "Atom labels repeat after renumbering: " + repeated);
}

}  // namespace tesk
