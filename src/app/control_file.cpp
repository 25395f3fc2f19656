// Reading tesk.inp: one handler per command word, then the option summary.
#include "app/control_file.hpp"

#include <cmath>
#include <cstdlib>
#include <string_view>
#include <utility>

#include "core/errors.hpp"
#include "model/run.hpp"
#include "format/fortran_format.hpp"
#include "model/elements.hpp"

namespace tesk {
namespace {

constexpr const char* kControlFile = "tesk.inp";

bool is_word(const LineExtract& lx, int i, std::string_view w) {
  return i <= lx.nkey && lx.word(i) == fixed_width(w, 8);
}

// Reads the numbers a command needs from its blanked line. A malformed
// number is the system's own fatal stop; too few numbers is a read error of
// the input layer.
class CommandNumbers {
 public:
  CommandNumbers(std::string_view line, std::string_view command) : rd_(line), command_(command) {}

  int integer() {
    int v = 0;
    check(rd_.integer(v));
    return v;
  }
  float real() {
    float v = 0.0f;
    check(rd_.real(v));
    // NaN or an infinity as a tolerance would silently switch every test off.
    if (!std::isfinite(v)) err("ReadInp", "Error while reading file tesk.inp");
    return v;
  }

 private:
  void check(FreeReader::Status s) {
    if (s == FreeReader::Status::Bad) err("ReadInp", "Error while reading file tesk.inp");
    if (s == FreeReader::Status::End)
      input_error(kControlFile, "too few numbers after " + std::string(command_));
  }
  FreeReader rd_;
  std::string command_;
};

struct ControlLine {
  std::string raw;      // the logical line as written
  std::string blanked;  // after the keyword scan: numbers only
};

void read_format(Run& run) {
  const LineExtract& lx = run.lx;
  for (int i = 2; i <= lx.nkey; ++i) {
    if (!lx.starred(i)) continue;
    if (is_word(lx, i, "SHELX")) run.opt.ftype = 1;
    if (is_word(lx, i, "KQ")) run.opt.ftype = 2;
    if (is_word(lx, i, "AIM2TAB")) run.opt.ftype = 3;
    if (is_word(lx, i, "PLATON")) run.opt.ftype = 5;
    if (is_word(lx, i, "CIF")) run.opt.ftype = 6;
  }
  // Cartesian lists carry no cell to complete fragments in.
  if (run.opt.ftype == 3 || run.opt.ftype == 5) run.opt.ifra = 0;
}

// The CIF data block: the word after the file name, unless it is one of the
// INPUT options.
std::string cif_block_word(const std::string& word) {
  const std::string key = upper(word);
  if (key.empty() || key[0] == '*' || key == "RENAME" || key == "TOKQ") return "";
  return word;
}

void read_input(Run& run, const ControlLine& line) {
  const LineExtract& lx = run.lx;
  for (int i = std::max(2, lx.nkey - 1); i <= lx.nkey; ++i) {
    if (lx.starred(i) && is_word(lx, i, "RENAME")) run.opt.rename = 1;
    if (lx.starred(i) && is_word(lx, i, "TOKQ")) run.opt.lsx = 1;
  }
  if (run.opt.rename == 1) {
    int inum = dnumline(line.blanked);
    run.out.console << ffree({" inum = ", inum});
    if (inum >= 1) {
      FreeReader rd(word_at(line.blanked, inum));
      int scheme = 0;
      if (rd.integer(scheme) != FreeReader::Status::Ok)
        input_error(kControlFile, "the renaming scheme after INPUT is not an integer");
      run.opt.rename_scheme = scheme;
    }
  }
  // File names are taken from the line as written, so they keep their case.
  run.opt.name1 = file_name_field(word_at(line.raw, 2));
  if (run.opt.ftype == 2) {
    run.opt.name2 = file_name_field(word_at(line.raw, 3));
    run.opt.kqold = run.opt.name1;
    run.opt.name1 = run.opt.name2;
  }
  if (run.opt.ftype == 6 && dnumline(line.raw) >= 3)
    run.opt.cifblock = cif_block_word(word_at(line.raw, 3));
}

void read_radii(Run& run, const ControlLine& line) {
  const LineExtract& lx = run.lx;
  int nnum = dnumline(line.blanked);
  if (lx.nkey - 1 != nnum) err("ReadInp", "Error while reading file tesk.inp");
  FreeReader rd(line.blanked);
  for (int i = 2; i <= lx.nkey; ++i) {
    float r = 0.0f;
    if (rd.real(r) != FreeReader::Status::Ok || !std::isfinite(r))
      input_error(kControlFile, "a covalent radius after RADII is not a number");
    std::string sym = lx.word(i).substr(0, 2);
    if (sym[1] >= 'A' && sym[1] <= 'Z') sym[1] = static_cast<char>(sym[1] - 'A' + 'a');
    for (int z = 1; z <= kMaxRadiusZ; ++z) {
      if (atsym(z) != sym) continue;
      run.covrad[static_cast<std::size_t>(z)] = r;
      run.out.log << ffmt(
          "(' Changing covalent radius of ',a,' to ',f8.3,' Angstroms')",
          {sym, r});
      break;
    }
  }
}

void read_databank(Run& run, const ControlLine& line) {
  run.opt.ldb = 1;
  if (dnumline(line.raw) >= 2) {
    run.opt.abank = file_name_field(word_at(line.raw, 2));
  } else {
    const char* env = std::getenv("TESK_DB");
    run.opt.abank = file_name_field(env ? env : "");
  }
}

void read_rings(Run& run, const ControlLine& line) {
  run.opt.rings_flag = 1;
  CommandNumbers nums(line.blanked, "RINGS");
  run.opt.ring1[0] = nums.integer();
  run.opt.ring1[1] = nums.integer();
  if (run.lx.nkey >= 2 && run.lx.starred(2)) run.opt.ring1[2] = 1;
  // A ring of more than 100 atoms cannot be stored, and no ring has fewer than 3.
  for (int k = 0; k < 2; ++k)
    if (run.opt.ring1[static_cast<std::size_t>(k)] < 3 ||
        run.opt.ring1[static_cast<std::size_t>(k)] > 100)
      err("ReadInp", "RINGS sizes must lie between 3 and 100");
}

void read_scale(Run& run) {
  const LineExtract& lx = run.lx;
  run.opt.scaling = 0;
  for (int i = 2; i <= lx.nkey; ++i) {
    if (!lx.starred(i)) continue;
    if (is_word(lx, i, "SIGMA")) run.opt.scaling = 3;
    if (is_word(lx, i, "DIFF")) run.opt.scaling = 1;
    if (is_word(lx, i, "FRAC")) run.opt.scaling = 2;
  }
}

// NFRAG n: the count is read free-format from column 6 on.
void read_nfrag(Options& o, const ControlLine& line) {
  FreeReader rd(std::string_view(line.raw).substr(5));
  switch (rd.integer(o.nfrag)) {
    case FreeReader::Status::Ok: break;
    case FreeReader::Status::End: input_error(kControlFile, "no fragment count after NFRAG");
    case FreeReader::Status::Bad:
      input_error(kControlFile, "the fragment count after NFRAG is not an integer");
  }
}

// FRAG f a b -c ...: columns 1-4 hold the command, every other word must be
// an integer. A line that is not is kept and reported when the fragments are
// built, because only the rescaling of populations needs it.
void read_frag(Options& o, const ControlLine& line) {
  FragLine frag;
  frag.text = trim_right(line.raw);
  std::string numbers = line.raw;
  numbers.replace(0, 4, 4, ' ');
  const int n = dnumline(numbers);
  FreeReader rd(numbers);
  for (int i = 0; i < n; ++i) {
    int v = 0;
    if (rd.integer(v) != FreeReader::Status::Ok) {
      frag.readable = false;
      frag.numbers.clear();
      break;
    }
    frag.numbers.push_back(v);
  }
  o.frag.push_back(std::move(frag));
}

// CHFRAG q1 q2 ...: the net charges of fragments 1, 2, ... in order. A
// shorter later line leaves the charges of the higher fragments as they were.
// Words among the numbers are passed over, as on other command lines, but a
// line of words only ("CHFRAG minus one") would set no charge and leave them
// all at 0 as if given.
void read_chfrag(Options& o, const ControlLine& line) {
  auto refuse = [&line] {
    input_error(kControlFile,
                "a net charge after CHFRAG is not " + net_charge_range() + ": " + trim_right(line.raw));
  };
  const int n = dnumline(line.blanked);
  if (n == 0) refuse();
  FreeReader rd(line.blanked);
  for (int i = 0; i < n; ++i) {
    float q = 0.0f;
    if (rd.real(q) != FreeReader::Status::Ok || !net_charge_ok(q)) refuse();
    auto k = static_cast<std::size_t>(i);
    if (o.chfrag.size() <= k) o.chfrag.resize(k + 1, 0.0f);
    o.chfrag[k] = q;
  }
  o.chfrag_given = true;
}

// The fragment lines are known by their first columns rather than by their
// first keyword word, so "FRAG1 1 -5" is a FRAG line too.
bool read_fragment_line(Run& run, const ControlLine& line) {
  const std::string head = upper(std::string_view(line.raw).substr(0, 6));
  if (head.starts_with("NFRAG")) {
    read_nfrag(run.opt, line);
  } else if (head.starts_with("CHFRAG")) {
    read_chfrag(run.opt, line);
  } else if (head.starts_with("FRAG")) {
    read_frag(run.opt, line);
  } else {
    return false;
  }
  return true;
}

void read_command(Run& run, const ControlLine& line) {
  if (read_fragment_line(run, line)) return;
  const LineExtract& lx = run.lx;
  Options& o = run.opt;
  const std::string& cmd = lx.word(1);
  auto starred = [&](int i) { return i <= lx.nkey && lx.starred(i); };
  if (cmd == "FORMAT  ") {
    read_format(run);
  } else if (cmd == "INPUT   ") {
    read_input(run, line);
  } else if (cmd == "VERBOSE ") {
    o.verbosity = CommandNumbers(line.blanked, "VERBOSE").integer();
  } else if (cmd == "TOLS    ") {
    CommandNumbers nums(line.blanked, "TOLS");
    for (float& t : o.tols) t = nums.real();
  } else if (cmd == "RADII   ") {
    read_radii(run, line);
  } else if (cmd == "NCELLS  ") {
    o.compfrag = CommandNumbers(line.blanked, "NCELLS").integer();
  } else if (cmd == "DISORD  ") {
    o.disorder = {starred(2) ? 1 : 0, starred(3) ? 1 : 0};
  } else if (cmd == "KEYGEN  ") {
    for (int i = 2; i <= 8; ++i) o.lkeys[static_cast<std::size_t>(i - 2)] = starred(i);
  } else if (cmd == "EXTEND_H") {
    o.lfh = 1;
  } else if (cmd == "CHEMCON ") {
    o.lchem = {starred(2) ? 1 : 0, starred(3) ? 1 : 0};
  } else if (cmd == "SIMPLE  ") {
    o.simple = 1;
  } else if (cmd == "DATABANK") {
    read_databank(run, line);
  } else if (cmd == "RINGS   ") {
    read_rings(run, line);
  } else if (cmd == "SCALE   ") {
    read_scale(run);
  } else if (cmd == "REPORT  ") {
    o.report = true;
  }
}

// KEY switches that depend on a parent switch are cleared with it; "all"
// wins over nothing but loses to "ordered".
void make_keys_consistent(Options& o) {
  auto& k = o.lkeys;
  if (!k[0]) k[1] = k[2] = false;
  if (!k[3]) k[4] = k[5] = k[6] = false;
  if (k[1] && k[2]) k[1] = false;
  if (k[4] && k[5]) k[4] = false;
}

// What the whole file decides together, once every line is read. TOKQ only
// converts the file: no databank, no X-H extension, no ring search.
void settle_options(Options& o) {
  if (o.rename == 1 && o.rename_scheme != 0 && o.rename_scheme != 1) o.rename_scheme = 1;
  if (o.lsx == 1) {
    o.lfh = 0;
    o.ldb = 0;
    o.rings_flag = 0;
    return;
  }
  if (o.compfrag < -kMaxCells || o.compfrag > kMaxCells)
    err("ReadInp", "NCELLS must lie between " + std::to_string(-kMaxCells) + " and " +
                       std::to_string(kMaxCells));
  if (o.compfrag != -1) o.compfrag = std::abs(o.compfrag);
  make_keys_consistent(o);
}

}  // namespace

void init(Run& run) {
  run.opt = Options{};
  run.opt.amodel = fixed_width("TEST", 20);
  run.opt.name1 = run.opt.name2 = run.opt.kqold = run.opt.abank = std::string(60, ' ');
  for (int z = 0; z < static_cast<int>(run.covrad.size()); ++z)
    run.covrad[static_cast<std::size_t>(z)] = covrad_table(z);
}

void prttol(const Run& run, Sink& out) {
  out << ffmt(
      "(' Threshold / Tolerance parameters : ',/,"
      "3x,'bond criterion (tol1) : d(i-j) < covR(i) + covR(j) + ',f6.3,' Angstroms',/,"
      "3x,'ring  planarity criterion (tol2) : sigpln < ',f7.3,' Angstroms',/,"
      "3x,'group planarity criterion (tol3) : sigpln < ',f7.3,' Angstroms')",
      {run.opt.tols[0], run.opt.tols[1], run.opt.tols[2]});
}


void readinp(Run& run, const std::string& path) {
  TextInput in;
  if (!in.open(path)) err("ReadInp", "Unable to open TESK input file tesk.inp");
  readinp_text(run, in);
}

void readinp_text(Run& run, TextInput& in) {
  run.out.log << ffmt("(/1x,71('-'))") << ffmt("(/a/)", {" TESK options : "});
  run.opt.scaling = 1;
  ControlLine line;
  while (readinputline(in, line.raw) == 0) {
    line.blanked = line.raw;
    readline(line.blanked, run.lx);
    read_command(run, line);
  }
  if (run.opt.ftype == 0) err("ReadInp", "Unknown input file format");
  if (run.opt.scaling == 0) err("ReadInp", "Unknown scaling method");
  settle_options(run.opt);
  print_option_summary(run, run.out.log);
}

}  // namespace tesk
