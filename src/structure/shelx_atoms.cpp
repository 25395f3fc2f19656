// Second pass over a SHELX file: the atom lines
//   name  sfac  x  y  z  occupancy  U            (isotropic)
//   name  sfac  x  y  z  occupancy  U11 U22 U33 U23 U13 U12   (anisotropic)
// with SHELXL's free-variable codes and riding U values resolved.
#include <cmath>

#include "core/errors.hpp"
#include "model/run.hpp"
#include "format/fortran_format.hpp"
#include "format/number_reader.hpp"
#include "structure/cell.hpp"
#include "model/elements.hpp"
#include "structure/shelx_lines.hpp"
#include "structure/shelx_reader.hpp"

namespace tesk {

namespace {

// SHELXL's defaults for an atom line that stops early.
constexpr float kDefaultOcc = 11.0f;  // occupancy 1, fixed
constexpr float kDefaultU = 0.05f;

struct Residue {
  int number = 0;     // residue 0 is the main residue
  std::string cls;    // residue class, blank for residue 0
};

// RESI class number or RESI number class (SHELXL takes either order).
Residue read_resi(const ShelxLine& line) {
  Residue res;
  bool have_number = false;
  std::vector<std::string> words = free_fields(line.text);
  for (std::size_t k = 1; k < words.size(); ++k) {
    auto number = read_fortran_int(words[k]);
    if (number && !have_number) {
      res.number = static_cast<int>(*number);
      have_number = true;
    } else if (!number && res.cls.empty()) {
      res.cls = words[k].substr(0, 10);
    }
  }
  return res;
}

// PART n sof: the disorder part of the atom lines that follow, up to the
// next PART (PART 0 ends the disorder). A sof that is given and not zero
// replaces the occupancy of those atoms; it is coded like an atom's
// occupancy: 21 is fvar(2), -21 is 1 - fvar(2), 10.5 is 0.5 fixed, and a
// value between -10 and 10 is taken as it stands.
struct Part {
  int number = 0;
  float sof = 0.0f;
};

Part read_part(const Run& run, const ShelxState& st, const ShelxLine& line) {
  Part part;
  const std::vector<std::string> words = free_fields(line.upper);
  if (words.size() > 1) {
    auto n = read_fortran_int(words[1]);
    if (!n || *n < -kMaxAtoms || *n > kMaxAtoms)
      input_error(st.filename, "Error reading PART instruction");
    part.number = static_cast<int>(*n);
  }
  if (words.size() > 2) {
    auto sof = read_fortran_real(words[2]);
    if (!sof || !std::isfinite(*sof)) input_error(st.filename, "Error reading PART instruction");
    std::vector<float> codes{0.0f, static_cast<float>(*sof)};
    processfvar(run, codes);
    // With the six decimals an atom line's resolved values carry.
    auto text = ffmt_text("(f12.6)", {codes[1]});
    part.sof = static_cast<float>(read_fortran_real(text).value_or(0.0));
  }
  return part;
}

void add_residue_names(Run& run, const ShelxLine& line, const Residue& res) {
  std::string name = line.text.substr(0, line.text.find(' '));
  name = fixed_width(name, 6);
  std::string cls = fixed_width(res.cls, 5);
  run.resi1.resnam.push_back(ffmt_text("(a6,1x,i3,2x,a5)", {name, res.number, cls}));
  run.resi1.resshort.push_back(ffmt_text("(a6,1x,i3)", {name, res.number}));
}

[[noreturn]] void bad_atom(Run& run, const std::string& label, const std::string& line) {
  run.out.console << ffmt("(/a,a)", {" Error reading atom: ", label.substr(0, 4)});
  run.out.console << ffmt("(a,a,a/)", {" Line <<", trim_right(line), ">>"});
  stop_run("Error reading atom");
}

std::string trimmed(const std::string& text) {
  std::string t = trim_right(text);
  return t.substr(std::min(t.find_first_not_of(' '), t.size()));
}

// Numbers of the working line after the atom name; false when a word is not a number.
bool read_numbers(const std::string& line, std::vector<float>& v) {
  v.clear();
  for (const std::string& word : free_fields(line)) {
    auto value = read_fortran_real(word);
    if (!value) return false;
    v.push_back(static_cast<float>(*value));
  }
  return true;
}

// The free-variable codes resolved, then the numbers written back into the
// working line with six decimals and read again, so that every value carries
// the precision of that text.
bool resolve_codes(const Run& run, std::vector<float>& v, std::string& line) {
  processfvar(run, v);
  std::vector<FArg> items{static_cast<int>(std::lround(v[0]))};
  for (std::size_t k = 1; k < v.size(); ++k) items.emplace_back(v[k]);
  line = ffmt_text("(5x,i4,100f12.6)", items);
  return read_numbers(line, v);
}

// NaN, an infinity or a fractional coordinate beyond a thousand cells (where
// single precision no longer resolves a bond) is no position: stop before it
// reaches the free-variable codes or the geometry.
// The coordinate range is checked once the codes are resolved (a code such
// as 1001.5 ties x to free variable 100).
void check_numbers(const ShelxState& st, const ShelxLine& line, const std::string& label,
                   const std::vector<float>& v, bool resolved) {
  bool ok = true;
  for (std::size_t k = 1; k < v.size(); ++k) ok = ok && std::isfinite(v[k]);
  for (std::size_t k = 1; resolved && k < 4 && k < v.size(); ++k)
    ok = ok && std::fabs(v[k]) <= kMaxFractional;
  if (!ok) {
    err("ReadShelx", "Atom " + trim_right(label) + " in line " + std::to_string(line.record + 1) +
                         " of " + st.filename + ": number out of range");
  }
}

void store_values(Atom& a, const std::vector<float>& v) {
  a.xf = {v[1], v[2], v[3]};
  a.occ = v[4];
  if (v.size() == 6) {
    a.adptype = 1;
    a.uij[0] = v[5];
    return;
  }
  // SHELX lists U23 U13 U12 after U33; the table keeps U12 U13 U23.
  a.adptype = 2;
  a.uij = {v[5], v[6], v[7], v[10], v[9], v[8]};
}

void read_atom(Run& run, ShelxState& st, const ShelxLine& line, const Part& part) {
  int n = run.atoms.append("ReadShelx");
  run.atoms.natoms = n;
  st.jtf.push_back(0);
  Atom& a = run.atoms.at(n);

  std::string work = line.upper;
  std::vector<std::string> words = free_fields(work);
  auto sfac = words.size() > 1 ? read_fortran_int(words[1]) : std::nullopt;
  int t = sfac && *sfac > 0 && *sfac <= kMaxAtoms ? static_cast<int>(*sfac) : 0;
  if (t > 0) {
    if (static_cast<int>(st.isfn.size()) < t) st.isfn.resize(static_cast<std::size_t>(t), 0);
    ++st.isfn[static_cast<std::size_t>(t - 1)];
  }
  a.iz = run.types.z_of(t);
  a.lmax = a.iz == 1 ? 2 : 4;
  a.sftype = t;
  int in_type = t > 0 ? st.isfn[static_cast<std::size_t>(t - 1)] : 0;
  a.label = shatnam(run, work, a.iz, n, in_type);

  std::vector<float> v;
  if (t == 0 || !read_numbers(work, v)) bad_atom(run, a.label, work);
  if (v.size() == 4) v.push_back(kDefaultOcc);
  if (v.size() == 5) v.push_back(kDefaultU);
  check_numbers(st, line, a.label, v, false);
  if (!resolve_codes(run, v, work)) bad_atom(run, a.label, work);
  if (v.size() != 6 && v.size() != 11) bad_atom(run, a.label, work);
  check_numbers(st, line, a.label, v, true);

  store_values(a, v);
  a.part = part.number;
  if (part.sof != 0.0f) a.occ = part.sof;
  if (a.adptype == 1) processu(run, st, n);
  print_read_atom(run, n);
  a.xc = rabs(run.transf, 0, a.xf);
}

}  // namespace

void print_read_atom(Run& run, int n) {
  const Atom& a = run.atoms.at(n);
  std::vector<FArg> items{n, a.label, a.iz, a.adptype, a.sftype,
                          a.xf[0], a.xf[1], a.xf[2], a.occ};
  int nu = a.adptype == 2 ? 6 : 1;
  for (int k = 0; k < nu; ++k) items.emplace_back(a.uij[static_cast<std::size_t>(k)]);
  std::string text = ffmt("( i6, 3x, a, 3i3, 3f9.5, f6.3, 6f7.3 )", items);
  run.out.console << text;
  run.out.log << text;
}

std::string shatnam(const Run& run, std::string& line, int z, int n, int count_in_type) {
  std::size_t start = line.find_first_not_of(' ');
  if (start == std::string::npos) start = line.size();
  std::size_t end = std::min(line.find(' ', start), line.size());
  std::string name = line.substr(start, end - start);
  std::string label;
  if (run.opt.rename != 0) {
    int number = run.opt.rename_scheme == 1 ? count_in_type : n;
    label = ffmt_text("(a2,'(',i6,')')", {atsym(z), number});
    std::erase(label, ' ');
  } else {
    // C12 -> C(12), CL1 -> CL(1), H12A -> H(12A): the element symbol in front.
    // A name written with its brackets (C(20), as CIFs from older programs
    // have them) keeps them once. element_symbol, not atsym: BK1 (berkelium,
    // beyond the symbol table) is BK(1).
    std::size_t cut = std::min<std::size_t>(element_symbol(z).size() == 2 ? 2 : 1, name.size());
    const std::string rest = name.substr(cut);
    const bool bracketed = rest.starts_with('(') && rest.ends_with(')');
    label = bracketed ? name : name.substr(0, cut) + "(" + rest + ")";
  }
  line.replace(start, end - start, end - start, ' ');
  return fixed_width(label, 8);
}

// SHELXL codes a parameter as 10m + p: m = 1 fixes it at p; m > 1 ties it to
// free variable m, giving fvar(m) * p, or (fvar(m) - 1) * p for -(10m + p).
// So occupancy 21.0 is fvar(2) and -21.0 is 1 - fvar(2).
void processfvar(const Run& run, std::vector<float>& v) {
  for (std::size_t k = 1; k < v.size(); ++k) {
    float x = v[k];
    if (x > -10.0f && x < 10.0f) continue;
    if (x >= 10.0f && x < 20.0f) {
      v[k] = x - 10.0f;
    } else if (x > -20.0f && x <= -10.0f) {
      v[k] = x + 10.0f;  // -10.25 fixes the parameter at -0.25
    } else {
      // Compared before rounding: 1e20 or an infinity has no long integer.
      const double q = std::fabs(static_cast<double>(x)) / 10.0;
      if (!(q < run.shelx1.nfvar + 0.5)) {
        std::string m = q < 1.0e9 ? std::to_string(std::lround(q)) : "code " + trimmed(ffmt_text("(e10.3)", {x}));
        err("ReadShelx", "Free variable " + m + " is not given on FVAR");
      }
      const long m = std::lround(q);
      float p = std::fmod(x, 10.0f);
      float fv = run.shelx1.fvar[static_cast<std::size_t>(m - 1)];
      v[k] = x > 0.0f ? fv * p : (fv - 1.0f) * p;
    }
  }
}

void processu(Run& run, ShelxState& st, int n) {
  Atom& a = run.atoms.at(n);
  float u = a.uij[0];
  if (u < -5.0f || u > -0.5f) return;
  st.jtf[static_cast<std::size_t>(n - 1)] = 1;
  for (int j = n - 1; j >= 1; --j) {
    if (st.jtf[static_cast<std::size_t>(j - 1)] != 0) continue;
    a.uij[0] = calcueq(run, j) * std::fabs(u);
    return;
  }
  run.out.console << ffmt("(a)", {" ProcessU :: Could not find parent atom "});
  stop_run("Could not find parent atom");
}

void shelx_atoms(Run& run, const TextInput& in, ShelxState& st) {
  ShelxLines lines(in);
  ShelxLine line;
  Residue res;
  Part part;
  run.atoms.list.clear();
  run.atoms.natoms = 0;
  while (lines.next(line)) {
    if (line.kind == ShelxLine::Kind::End) break;  // difference peaks follow END
    if (line.kind == ShelxLine::Kind::Instruction) {
      // SHELXL reads no atom after HKLF: a .res file lists the difference
      // peaks and the pseudo-atoms of the last map there, before END.
      if (line.key == "HKLF") break;
      if (line.key == "RESI") res = read_resi(line);
      if (line.key == "PART") part = read_part(run, st, line);
      continue;
    }
    read_atom(run, st, line, part);
    if (run.resi1.resflag != 0) add_residue_names(run, line, res);
  }
}

}  // namespace tesk
