// Properties every run must have, checked on the real structures: the frame
// drawn for each atom in tesk.spf is orthonormal and right-handed (so its two
// axis directions were never collinear), every CHEMCON reference names an
// earlier atom, and chemically equivalent atoms share a kappa set.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "test_support.hpp"

namespace tesk {
namespace {

namespace fs = std::filesystem;
using V = std::array<double, 3>;

V minus(const V& a, const V& b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }
double dot(const V& a, const V& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
V cross(const V& a, const V& b) {
  return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

// The ATOM lines of tesk.spf: an atom, then its X, Y and Z tips.
void check_frames(const std::string& spf, const std::string& name) {
  std::istringstream in(spf);
  std::vector<std::pair<std::string, V>> points;
  for (std::string line; std::getline(in, line);) {
    if (line.rfind("ATOM ", 0) != 0) continue;
    std::istringstream f(line.substr(5));
    std::string label;
    V x{};
    f >> label >> x[0] >> x[1] >> x[2];
    if (label.rfind("D(", 0) == 0) continue;  // dummy atoms, listed without axes
    points.emplace_back(label, x);
  }
  ASSERT_EQ(points.size() % 4, 0u) << name;
  ASSERT_FALSE(points.empty()) << name;
  for (std::size_t k = 0; k < points.size(); k += 4) {
    const std::string& atom = points[k].first;
    V e[3];
    for (int a = 0; a < 3; ++a) {
      e[a] = minus(points[k + 1 + static_cast<std::size_t>(a)].second, points[k].second);
      EXPECT_NEAR(std::sqrt(dot(e[a], e[a])), 0.2, 2e-4) << name << " " << atom;
    }
    EXPECT_NEAR(dot(e[0], e[1]), 0.0, 2e-4) << name << " " << atom;
    EXPECT_NEAR(dot(e[0], e[2]), 0.0, 2e-4) << name << " " << atom;
    EXPECT_NEAR(dot(e[1], e[2]), 0.0, 2e-4) << name << " " << atom;
    EXPECT_GT(dot(cross(e[0], e[1]), e[2]), 0.0079) << name << " " << atom << " is left-handed";
  }
}

// The rows of the ATOM table of kq_tesk.mas: label, kappa set, CHEMCON.
void check_kappa_sets(const std::string& mas, const std::string& name) {
  std::istringstream in(mas);
  std::string line;
  while (std::getline(in, line) && line.rfind("ATOM     ATOM0", 0) != 0) {
  }
  // Labels need not be unique (residues repeat them): the reference must be
  // an earlier row with that label and the same kappa set.
  std::multimap<std::string, int> earlier;  // label -> kappa set
  int row = 0;
  while (std::getline(in, line) && line.size() >= 60 && line.substr(44, 2) == "R ") {
    ++row;
    const std::string label = line.substr(0, 8);
    const int kset = std::stoi(line.substr(52, 4));
    if (line.size() > 71) {
      const std::string ref = line.substr(71, 8);
      auto [from, to] = earlier.equal_range(ref);
      bool shared = false;
      for (auto it = from; it != to; ++it) shared |= it->second == kset;
      EXPECT_TRUE(shared) << name << ": " << label << " (kappa set " << kset << ") refers to " << ref
                          << ", no earlier atom of that label and set";
    }
    earlier.emplace(label, kset);
  }
  EXPECT_GT(row, 0) << name << ": no local-axis table";
}

TEST(AxisProperties, RealStructures) {
  const fs::path dir = testing::checkout_path("tests/data/structures");
  std::vector<fs::path> files;
  for (const fs::path& d : {dir, dir / "cif"})
    for (const auto& e : fs::directory_iterator(d))
      if (e.is_regular_file() && e.path().filename() != "README.md") files.push_back(e.path());
  for (const fs::path& path : files) {
    const std::string name = path.filename().string();
    const char* format = path.extension() == ".cif" ? "cif" : "shelx";
    testing::ScratchDir scratch;
    fs::copy_file(path, name);
    testing::write_file("tesk.inp", std::string("FORMAT *") + format + "\nINPUT " + name +
                                        "\nNCELLS 1\nRINGS 3 8\n");
    const testing::RunResult r = testing::run_tesk_binary();
    ASSERT_EQ(r.status, 0) << name << "\n" << r.console.substr(0, 2000);
    check_frames(testing::read_file("tesk.spf"), name);
    check_kappa_sets(testing::read_file("kq_tesk.mas"), name);
  }
}

}  // namespace
}  // namespace tesk
