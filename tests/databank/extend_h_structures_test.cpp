// Every real structure run with EXTEND_H and the example databank: the run
// succeeds, and each X-H bond named in reset.bond has, recomputed from the
// fractional coordinates of fixedH.ins and the cell, the length it asks for.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "model/run.hpp"
#include "structure/cell.hpp"
#include "structure/shelx_reader.hpp"
#include "structure/symmetry.hpp"
#include "test_support.hpp"

namespace tesk {
namespace {

namespace fs = std::filesystem;

std::string trimmed(const std::string& s) {
  const auto a = s.find_first_not_of(' ');
  return a == std::string::npos ? "" : s.substr(a, s.find_last_not_of(' ') - a + 1);
}

// The shortest distance from any symmetry and lattice image of x to h.
float shortest(const Run& cell, const Vec3& x, const Vec3& h) {
  float best = 1e9f;
  for (const SymOp& op : cell.symm.ops) {
    const Vec3 image = apply_op(op, x);
    for (int u = -2; u <= 2; ++u)
      for (int v = -2; v <= 2; ++v)
        for (int w = -2; w <= 2; ++w) {
          const Vec3 f{image[0] + static_cast<float>(u) - h[0], image[1] + static_cast<float>(v) - h[1],
                       image[2] + static_cast<float>(w) - h[2]};
          const Vec3 c = rabs(cell.transf, 0, f);
          best = std::min(best, std::sqrt(c[0] * c[0] + c[1] * c[1] + c[2] * c[2]));
        }
  }
  return best;
}

TEST(ExtendHStructures, FixedHLengthsAreTheTableLengths) {
  const fs::path dir = testing::checkout_path("tests/data/structures");
  const fs::path bank = testing::checkout_path("examples/example.db");
  int total = 0;
  for (const auto& e : fs::directory_iterator(dir)) {
    const std::string name = e.path().filename().string();
    if (!e.is_regular_file()) continue;  // cif/: the CIF files have their own test
    if (name == "README.md" || name == "large_1548072_p-1.res") continue;  // indium: no SCAT row
    testing::ScratchDir scratch;
    fs::copy_file(e.path(), name);
    fs::copy_file(bank, "example.db");
    testing::write_file("tesk.inp", "FORMAT *shelx\nINPUT " + name +
                                        "\nNCELLS 1\nRINGS 3 8\nDATABANK example.db\nEXTEND_H\nCHFRAG 0.\n");
    const testing::RunResult r = testing::run_tesk_binary();
    ASSERT_EQ(r.status, 0) << name << "\n" << r.console.substr(r.console.size() > 3000 ? r.console.size() - 3000 : 0);

    auto cell = std::make_unique<tesk::Run>();
    readshelx(*cell, name, ShelxHeaderListener{});
    std::multimap<std::string, Vec3> at;
    std::istringstream fixed(testing::read_file("fixedH.ins"));
    for (std::string line; std::getline(fixed, line);) {
      std::istringstream f(line.substr(8));
      int type = 0;
      Vec3 x{};
      f >> type >> x[0] >> x[1] >> x[2];
      at.emplace(trimmed(line.substr(0, 8)), x);
    }
    std::istringstream reset(testing::read_file("reset.bond"));
    int bonds = 0;
    for (std::string line; std::getline(reset, line);) {
      // RESET BOND  X(8) H(8) length
      const std::string x = trimmed(line.substr(12, 8)), h = trimmed(line.substr(21, 8));
      const float want = std::stof(line.substr(29));
      float got = 1e9f;
      for (auto [xi, xe] = at.equal_range(x); xi != xe; ++xi)
        for (auto [hi, he] = at.equal_range(h); hi != he; ++hi)
          got = std::min(got, shortest(*cell, xi->second, hi->second));
      EXPECT_NEAR(got, want, 0.001) << name << ": " << x << "-" << h;
      ++bonds;
    }
    total += bonds;
  }
  EXPECT_GT(total, 300);  // 341 bonds in the 24 structures
}

// The before and after lengths of the log's "X-H group" lines, in order.
std::vector<std::pair<float, float>> extensions(const std::string& log) {
  std::vector<std::pair<float, float>> out;
  std::istringstream in(log);
  for (std::string line; std::getline(in, line);) {
    if (line.find("X-H group :") == std::string::npos) continue;
    const auto eq = line.rfind(" = "), slash = line.rfind(" / ");
    out.emplace_back(std::stof(line.substr(eq + 3, slash - eq - 3)), std::stof(line.substr(slash + 3)));
  }
  return out;
}

// fixedH.ins is the structure with its hydrogens already moved: given the
// original instructions again and read as a SHELX file, a second run finds
// every X-H bond at its table length and moves nothing further.
TEST(ExtendHStructures, SecondRunOnFixedHFindsTheLengthsItSet) {
  for (const char* name : {"aspirin_p21c.ins", "l_alanine_p212121.res", "dl_tryptophan_p21c.res"}) {
    SCOPED_TRACE(name);
    testing::ScratchDir scratch;
    fs::copy_file(testing::checkout_path("tests/data/structures") / name, name);
    fs::copy_file(testing::checkout_path("examples/example.db"), "example.db");
    const std::string control = "\nNCELLS 1\nRINGS 3 8\nDATABANK example.db\nEXTEND_H\nCHFRAG 0.\n";
    testing::write_file("tesk.inp", std::string("FORMAT *shelx\nINPUT ") + name + control);
    ASSERT_EQ(testing::run_tesk_binary().status, 0);
    const auto first = extensions(testing::read_file("tesk.out"));

    std::string again;
    std::istringstream original(testing::read_file(name));
    for (std::string line; std::getline(original, line);) {
      again += line + "\n";
      if (line.rfind("FVAR", 0) == 0) break;
    }
    again += testing::read_file("fixedH.ins") + "HKLF 4\nEND\n";
    testing::write_file("again.ins", again);
    testing::write_file("tesk.inp", "FORMAT *shelx\nINPUT again.ins" + control);
    ASSERT_EQ(testing::run_tesk_binary().status, 0);
    const auto second = extensions(testing::read_file("tesk.out"));

    ASSERT_EQ(second.size(), first.size());
    ASSERT_FALSE(first.empty());
    for (std::size_t k = 0; k < first.size(); ++k) {
      EXPECT_NEAR(second[k].first, first[k].second, 0.0011f) << k;  // the log prints 3 decimals
      EXPECT_EQ(second[k].second, first[k].second) << k;
    }
  }
}

}  // namespace
}  // namespace tesk
