// The malformed-input corpus: every entry of tests/malformed/cases.txt runs
// through the real executable in a scratch directory and must end with its
// exit status and show its message; a run that stops leaves only files that
// were complete when it stopped.
//
// The role of a case file follows from its extension: a .ins file is the
// SHELX structure of a run with NCELLS 1 and RINGS 3 8; a .inp file is the
// control file of a run on good.ins; a .db file is the databank of a run on
// the aspirin example; .ang and .aim files are PLATON and AIM2TAB inputs; a
// .kqp file is the KQ parameter file of a TOKQ run with good.mas. Cases too
// large to keep in the checkout are written by the generators below.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "test_support.hpp"

namespace tesk {
namespace {

namespace fs = std::filesystem;
using testing::read_file;
using testing::write_file;

struct Case {
  std::string file;
  std::string what;
  int status = 0;
  std::string message;
};

std::string trimmed(const std::string& s) {
  std::size_t a = s.find_first_not_of(' ');
  if (a == std::string::npos) return "";
  return s.substr(a, s.find_last_not_of(' ') - a + 1);
}

fs::path corpus_dir() { return testing::checkout_path("tests/malformed"); }

// cases.txt: "file | what | status | message", '#' starts a comment line.
std::vector<Case> read_cases() {
  std::vector<Case> cases;
  std::istringstream in(read_file(corpus_dir() / "cases.txt"));
  for (std::string line; std::getline(in, line);) {
    if (line.empty() || line[0] == '#') continue;
    std::vector<std::string> f;
    std::size_t start = 0;
    for (int k = 0; k < 3; ++k) {
      std::size_t bar = line.find('|', start);
      f.push_back(trimmed(line.substr(start, bar - start)));
      start = bar + 1;
    }
    f.push_back(trimmed(line.substr(start)));
    cases.push_back({f[0], f[1], std::stoi(f[2]), f[3]});
  }
  return cases;
}

const std::string kHead =
    "TITL generated\nCELL 0.71073 100.0 100.0 100.0 90 90 90\nLATT -1\nSFAC C H\n";

std::string atom_line(const std::string& name, int sfac, double x, double y, double z) {
  std::ostringstream s;
  s.precision(6);
  s << std::fixed << name << ' ' << sfac << ' ' << x << ' ' << y << ' ' << z << " 11.0 0.02\n";
  return s.str();
}

// 1001 separate three-membered carbon rings, 6 Angstrom apart.
std::string many_rings() {
  std::string text = kHead;
  for (int r = 0; r < 1001; ++r) {
    double x = (r % 16) * 0.06, y = (r / 16 % 16) * 0.06, z = (r / 256) * 0.06;
    text += atom_line("C" + std::to_string(3 * r + 1), 1, x, y, z);
    text += atom_line("C" + std::to_string(3 * r + 2), 1, x + 0.015, y, z);
    text += atom_line("C" + std::to_string(3 * r + 3), 1, x + 0.0075, y + 0.013, z);
  }
  return text + "END\n";
}

// A carbon with 21 hydrogens 1 Angstrom away, spread evenly over the sphere.
std::string crowded_atom() {
  std::string text = kHead + atom_line("C1", 1, 0.5, 0.5, 0.5);
  const double golden = M_PI * (3.0 - std::sqrt(5.0));
  for (int k = 0; k < 21; ++k) {
    double z = 1.0 - 2.0 * (k + 0.5) / 21.0, r = std::sqrt(1.0 - z * z);
    text += atom_line("H" + std::to_string(k + 1), 2, 0.5 + 0.01 * r * std::cos(golden * k),
                      0.5 + 0.01 * r * std::sin(golden * k), 0.5 + 0.01 * z);
  }
  return text + "END\n";
}

std::string too_many_atoms() {
  std::string text = kHead;
  for (int k = 0; k < 100001; ++k)
    text += atom_line("C" + std::to_string(k % 1000), 1, (k % 100) * 0.01, (k / 100 % 100) * 0.01,
                      (k / 10000) * 0.01);
  return text + "END\n";
}

std::string good_ins() { return read_file(corpus_dir() / "good.ins"); }

std::string with_before_atoms(const std::string& cards) {
  std::string text = good_ins();
  std::size_t at = text.find("C1 ");
  return text.insert(at, cards);
}

// Rings and completion give the aspirin atoms the environments the databank
// entries describe; the fragment charge keeps the run off the console.
const char* const kDatabankControl =
    "FORMAT *shelx\nINPUT aspirin.ins\nNCELLS 1\nRINGS 3 8\nDATABANK case.db\nNFRAG 1\nCHFRAG 0.\n";

const char* const kControl = "FORMAT *shelx\nINPUT case.ins\nNCELLS 1\nRINGS 3 8\n";

// Control files by the extension of the case file.
const std::map<std::string, std::string> kControlByExtension = {
    {".ang", "FORMAT *platon\nINPUT case.ang\n"},
    {".aim", "FORMAT *aim2tab\nINPUT case.aim\n"},
    {".kqp", "FORMAT *kq\nINPUT case.mas case.kqp *tokq\n"}};

// A previous run's KQ pair given back as input: it must be left as it was.
void previous_kq_pair() {
  write_file("kq_tesk.mas", read_file(corpus_dir() / "good.mas"));
  write_file("kq_tesk.inp", "KQPARFILE VERSION  2\n");
}

// Generated cases: the structure (or control) text, and a control file when
// the default one does not suit.
struct Generated {
  std::function<std::string()> text;
  std::string control;
  std::function<void()> prepare;
};

const std::map<std::string, Generated>& generators() {
  static const std::map<std::string, Generated> g = {
      {"long_line.ins",
       {[] {
          std::string t = good_ins();
          return t.insert(t.find("C2 "), "REM " + std::string(100000, 'x') + "\n" +
                                              "C3 1 0.3 0.1 0.1 11.0 0.02" +
                                              std::string(100000, ' ') + "9\n");
        }, kControl, {}}},
      {"continuation_100000.ins",
       {[] {
          std::string fvar = "FVAR 1.0 =\n";
          for (int k = 0; k < 100000; ++k) fvar += "0.5 =\n";
          return with_before_atoms(fvar + "0.5\n");
        }, kControl, {}}},
      {"symm_1000.ins",
       {[] {
          std::string cards;
          for (int k = 1; k <= 1000; ++k) cards += "SYMM X, Y, Z+" + std::to_string(k * 0.0005) + "\n";
          return with_before_atoms(cards);
        }, kControl, {}}},
      {"atoms_100001.ins", {too_many_atoms, kControl, {}}},
      {"rings_1001.ins", {many_rings, kControl, {}}},
      {"neighbours_21.ins", {crowded_atom, "FORMAT *shelx\nINPUT case.ins\n", {}}},
      {"unwritable_reduced_ang.ins",
       {good_ins, kControl, [] { fs::create_directory("reduced.ang"); }}},
      {"disk_full_master.ins",
       {good_ins, kControl, [] { fs::create_symlink("/dev/full", "kq_tesk.mas"); }}},
      {"ctl_kq_pair_is_output.inp",
       {[] { return std::string("FORMAT *kq\nINPUT kq_tesk.mas kq_tesk.inp\n"); }, "",
        previous_kq_pair}},
      {"ctl_long_line.inp",
       {[] { return "FORMAT *shelx\nINPUT good.ins\nVERBOSE 1" + std::string(100000, ' ') + "5\n"; },
        "", {}}},
  };
  return g;
}

// Puts the case's inputs into the current (scratch) directory.
void stage(const Case& c) {
  const fs::path dir = corpus_dir();
  const std::string ext = fs::path(c.file).extension().string();
  auto gen = generators().find(c.file);
  std::string text = gen != generators().end() ? gen->second.text() : read_file(dir / c.file);
  fs::copy_file(dir / "good.ins", "good.ins");
  if (ext == ".ins") {
    write_file("case.ins", text);
    write_file("tesk.inp", gen != generators().end() ? gen->second.control : kControl);
  } else if (kControlByExtension.contains(ext)) {
    write_file("case" + ext, text);
    fs::copy_file(dir / "good.mas", "case.mas");
    write_file("tesk.inp", kControlByExtension.at(ext));
  } else if (ext == ".inp") {
    write_file("tesk.inp", text);
    fs::copy_file(dir / "good.db", "good.db");
  } else {
    write_file("case.db", text);
    fs::copy_file(testing::checkout_path("examples/aspirin/aspirin.ins"), "aspirin.ins");
    write_file("tesk.inp", kDatabankControl);
  }
  if (gen != generators().end() && gen->second.prepare) gen->second.prepare();
}

// Written after the structure is read, and complete when written: a run
// that stops earlier must not leave them.
const std::vector<std::string> kLateFiles = {"tesk.ang", "kq_tesk.inp", "fixedH.ins",
                                             "reset.bond", "const.bond", "res_mopro.inp"};

const std::vector<std::string> kOutputs = {
    "tesk.out", "kq_tesk.mas", "mopro_tesk.par", "con_mopro.inp", "tesk.spf", "complete.ang",
    "reduced.ang", "reduced_1.ang", "group.ang", "tesk.ang", "kq_tesk.inp", "fixedH.ins",
    "reset.bond", "const.bond", "res_mopro.inp"};

void check_files(const Case& c) {
  for (const std::string& f : kOutputs) {
    if (!fs::is_regular_file(f) || fs::is_symlink(f)) continue;
    const std::string text = read_file(f);
    // Every writer writes whole lines: a torn last line is a half-written file.
    EXPECT_TRUE(text.empty() || text.back() == '\n') << f << " ends inside a line";
  }
  if (c.status == 0) {
    for (const char* f : {"kq_tesk.mas", "tesk.out", "tesk.spf", "tesk.ang"})
      EXPECT_TRUE(fs::exists(f)) << f << " missing after a normal end";
    return;
  }
  // A write that failed is only found when the files are closed at the end;
  // an input named like an output is there before the run.
  for (const char* m : {"Error writing output file", "rename it"})
    if (c.message.find(m) != std::string::npos) return;
  for (const std::string& f : kLateFiles) EXPECT_FALSE(fs::exists(f)) << f << " left by a stopped run";
}

class Malformed : public ::testing::TestWithParam<Case> {};

TEST_P(Malformed, EndsWithItsStatusAndMessage) {
  const Case& c = GetParam();
  testing::ScratchDir scratch;
  stage(c);
  const testing::RunResult r = testing::run_tesk_binary();
  // An input named like an output: nothing written, the input kept.
  if (c.message.find("rename it") != std::string::npos)
    EXPECT_TRUE(!fs::exists("tesk.out") &&
                read_file("kq_tesk.mas") == read_file(corpus_dir() / "good.mas"));
  const std::string tail = r.console.size() > 600 ? r.console.substr(r.console.size() - 600) : r.console;
  EXPECT_EQ(r.status, c.status) << c.what << "\n" << tail;
  const std::string log = fs::exists("tesk.out") ? read_file("tesk.out") : "";
  EXPECT_TRUE(r.console.find(c.message) != std::string::npos ||
              log.find(c.message) != std::string::npos)
      << c.what << ": message \"" << c.message << "\" not shown\n" << tail;
  check_files(c);
}

std::string case_name(const ::testing::TestParamInfo<Case>& info) {
  std::string name = info.param.file;
  for (char& ch : name)
    if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
  return name;
}

INSTANTIATE_TEST_SUITE_P(Corpus, Malformed, ::testing::ValuesIn(read_cases()), case_name);

TEST(MalformedCorpus, EveryFileHasAnEntryAndThereAreFiftyCases) {
  std::vector<Case> cases = read_cases();
  EXPECT_GE(cases.size(), 50u);
  std::map<std::string, int> listed;
  for (const Case& c : cases) ++listed[c.file];
  for (const auto& e : fs::directory_iterator(corpus_dir())) {
    const std::string name = e.path().filename().string();
    if (name == "cases.txt" || name == "good.db" || name == "good.mas" || name.ends_with(".cpp"))
      continue;
    EXPECT_EQ(listed[name], 1) << name << " is not in cases.txt once";
  }
}

}  // namespace
}  // namespace tesk
