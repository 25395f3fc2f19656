// Every real structure through the KQ pair: a SHELX run (A) writes
// kq_tesk.mas and kq_tesk.inp, a run from that pair (B) writes them again,
// and a run from B's pair (C) once more.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <sstream>
#include <vector>

#include "test_support.hpp"

namespace tesk {
namespace {

namespace fs = std::filesystem;
using testing::read_file;
using testing::write_file;

const std::string kOptions = "NCELLS 1\nKEYGEN *XYZUIJ *all ordered *MULT *all ordered *kappas\n";
const std::string kTableHeader =
    "ATOM     ATOM0    AX1 ATOM1    ATOM2   AX2 R/L TP TBL KAP LMX SITESYM  CHEMCON";

// Lines without their trailing blanks: the copy writes a line up to its last
// non-blank column.
std::vector<std::string> trimmed_lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string l; std::getline(in, l);)
    lines.push_back(l.substr(0, l.find_last_not_of(' ') + 1));
  return lines;
}

struct Master {
  std::vector<std::string> outside;  // every line but the ATOM table's own
  std::vector<std::string> rows;     // the atom rows and dummy atoms
};

Master split_master(const std::string& text) {
  Master m;
  bool in_table = false;
  for (const std::string& line : trimmed_lines(text)) {
    if (line == kTableHeader) in_table = true;
    if (line == "END ATOM") in_table = false;
    (in_table && line != kTableHeader ? m.rows : m.outside).push_back(line);
  }
  return m;
}

// An atom row by its label and its columns from R/L (column 45) on: U type,
// scattering table, kappa set, level, site symmetry, equivalent atom. A
// dummy atom row by its name.
std::string settled_columns(const std::string& row) {
  if (row.size() < 46 || row.compare(43, 3, " R ") != 0) return row.substr(0, 8);
  return row.substr(0, 9) + row.substr(44);
}

// Runs tesk in `dir` on a SHELX file (`kq` empty) or on the pair kq_tesk.mas
// and kq_tesk.inp of the folder `kq`, copied in as prev.mas and prev.inp.
int run_in(const fs::path& dir, const std::string& shelx, const fs::path& kq) {
  fs::create_directory(dir);
  fs::current_path(dir);
  if (kq.empty()) {
    fs::copy_file(testing::checkout_path(fs::path("tests/data/structures") / shelx), shelx);
    write_file("tesk.inp", "FORMAT *shelx\nINPUT " + shelx + " *tokq\n" + kOptions);
  } else {
    fs::copy_file(kq / "kq_tesk.mas", "prev.mas");
    fs::copy_file(kq / "kq_tesk.inp", "prev.inp");
    write_file("tesk.inp", "FORMAT *kq\nINPUT prev.mas prev.inp *tokq\n" + kOptions);
  }
  const int status = testing::run_tesk_binary().status;
  fs::current_path(dir.parent_path());
  return status;
}

std::vector<std::string> real_structures() {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(testing::structures_dir())) {
    const std::string name = entry.path().filename().string();
    if (name.ends_with(".ins") || name.ends_with(".res")) names.push_back(name);
  }
  std::sort(names.begin(), names.end());
  return names;
}

class KqRoundTrip : public ::testing::TestWithParam<std::string> {};

// B keeps A's header, control block and modules and rebuilds the same KEY
// table, kappa sets and site symmetries. The parameter file holds positions
// to five decimals, so a methyl group given to six in the SHELX file may
// take another of its hydrogens as axis atom in B; B's own pair, already at
// the file's precision, reads back (C) to exactly the same files.
TEST_P(KqRoundTrip, PairReadBack) {
  const std::string name = GetParam();
  testing::ScratchDir scratch;
  const fs::path a = scratch.path() / "A", b = scratch.path() / "B", c = scratch.path() / "C";
  if (run_in(a, name, {}) != 0) GTEST_SKIP() << "the SHELX run stops on " << name;
  ASSERT_EQ(run_in(b, "", a), 0);
  ASSERT_EQ(run_in(c, "", b), 0);

  const Master ma = split_master(read_file(a / "kq_tesk.mas"));
  const Master mb = split_master(read_file(b / "kq_tesk.mas"));
  EXPECT_EQ(mb.outside, ma.outside);
  ASSERT_EQ(mb.rows.size(), ma.rows.size());
  for (std::size_t i = 0; i < ma.rows.size(); ++i)
    EXPECT_EQ(settled_columns(mb.rows[i]), settled_columns(ma.rows[i]));

  EXPECT_EQ(trimmed_lines(read_file(c / "kq_tesk.mas")),
            trimmed_lines(read_file(b / "kq_tesk.mas")));
  EXPECT_EQ(read_file(c / "kq_tesk.inp"), read_file(b / "kq_tesk.inp"));
}

INSTANTIATE_TEST_SUITE_P(RealStructures, KqRoundTrip, ::testing::ValuesIn(real_structures()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                           std::string n = info.param;
                           for (char& ch : n)
                             if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
                           return n;
                         });

}  // namespace
}  // namespace tesk
