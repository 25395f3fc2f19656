// The run report: tesk.json read back against the files the same run wrote,
// the local frames of every real structure, the nearest databank entries of
// an atom not found, and the report of a run that stops inside the loop.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include <nlohmann/json.hpp>

#include "report/file_digest.hpp"
#include "test_support.hpp"

namespace tesk {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;
using testing::read_file;
using testing::write_file;

using V = std::array<double, 3>;

V vec(const json& j) { return {j[0].get<double>(), j[1].get<double>(), j[2].get<double>()}; }
V sub(const V& a, const V& b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }
double dot(const V& a, const V& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
V cross(const V& a, const V& b) {
  return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
double norm(const V& a) { return std::sqrt(dot(a, a)); }

std::string example_control() { return read_file(testing::checkout_path("examples/aspirin/tesk.inp")); }
std::string example_databank() { return read_file(testing::checkout_path("examples/example.db")); }

// Runs tesk on the aspirin example in the current directory.
testing::RunResult run_example(const std::string& control, const std::string& databank) {
  fs::copy_file(testing::checkout_path("examples/aspirin/aspirin.ins"), "aspirin.ins");
  write_file("tesk.inp", control);
  write_file("example.db", databank);
  return testing::run_tesk_binary();
}

json read_report() { return json::parse(read_file("tesk.json")); }

std::vector<std::vector<std::string>> axis_table_rows(int natoms) {
  std::istringstream in(read_file("kq_tesk.mas"));
  std::vector<std::vector<std::string>> rows;
  std::string line;
  while (std::getline(in, line) && line.rfind("ATOM     ATOM0", 0) != 0) {}
  while (static_cast<int>(rows.size()) < natoms && std::getline(in, line)) {
    std::istringstream words(line);
    std::vector<std::string> w;
    for (std::string s; words >> s;) w.push_back(s);
    rows.push_back(w);
  }
  return rows;
}

// Lines of tesk.out that start with `prefix`, keyed by the text up to `sep`.
std::map<std::string, std::string> log_lines(const std::string& prefix, const std::string& sep) {
  std::istringstream in(read_file("tesk.out"));
  std::map<std::string, std::string> found;
  for (std::string line; std::getline(in, line);) {
    if (line.rfind(prefix, 0) != 0) continue;
    const std::string rest = line.substr(prefix.size());
    const auto at = rest.find(sep);
    found[rest.substr(0, at)] = rest.substr(at + sep.size());
  }
  return found;
}

TEST(Report, Sha256OfTheStandardTestMessage) {
  testing::ScratchDir dir;
  write_file("abc.txt", "abc");
  auto d = digest_file("abc.txt");
  ASSERT_TRUE(d.has_value());
  EXPECT_EQ(d->size, 3u);
  EXPECT_EQ(d->sha256, "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
  EXPECT_FALSE(digest_file("missing.txt").has_value());
}

// The example asks for REPORT; everything in tesk.json must agree with what
// the same run wrote into kq_tesk.mas, tesk.ang and tesk.out.
TEST(Report, JsonAgreesWithTheFilesOfTheSameRun) {
  testing::ScratchDir dir;
  auto r = run_example(example_control(), example_databank());
  ASSERT_EQ(r.status, 0) << r.console;
  const json doc = read_report();
  EXPECT_EQ(doc["format_version"], 1);
  EXPECT_EQ(doc["status"], "complete");
  EXPECT_TRUE(doc["error"].is_null());
  EXPECT_EQ(doc["inputs"]["structure"][0]["size"], fs::file_size("aspirin.ins"));
  EXPECT_EQ(doc["inputs"]["databank"]["entries"], 14);
  EXPECT_EQ(doc["operators"][1]["xyz"], "-x,y+1/2,-z+1/2");

  const int natoms = doc["counts"]["input_atoms"];
  ASSERT_EQ(natoms, 21);
  const auto rows = axis_table_rows(natoms);
  const auto comments = log_lines(" DB comment for ", " = [");
  const auto xh = log_lines("   X-H group : ", " >");
  std::istringstream ang(read_file("tesk.ang"));
  std::string line;
  std::getline(ang, line);  // ANGSTROM
  for (int i = 0; i < natoms; ++i) {
    const json& a = doc["atoms"][static_cast<std::size_t>(i)];
    const json& l = a["local"];
    const std::string label = a["label"];
    const auto& w = rows[static_cast<std::size_t>(i)];
    ASSERT_GE(w.size(), 12u);
    EXPECT_EQ(w[0], label);
    EXPECT_EQ(w[1], l["axes"]["first"]["label"]) << label;
    EXPECT_EQ(w[2], l["axes"]["first"]["axis"]) << label;
    EXPECT_EQ(w[4], l["axes"]["second"]["label"]) << label;
    EXPECT_EQ(w[5], l["axes"]["second"]["axis"]) << label;
    EXPECT_EQ(std::stoi(w[9]), l["kappa_set"]) << label;
    EXPECT_EQ(w[11], l["site_symmetry"]) << label;
    EXPECT_EQ(w.size() == 13 ? json(w[12]) : json(nullptr),
              l["chemcon"].is_null() ? json(nullptr) : l["chemcon"]["label"]) << label;

    std::getline(ang, line);
    std::istringstream words(line);
    std::string tag, ang_label;
    double x = 0, y = 0, z = 0;
    words >> tag >> ang_label >> x >> y >> z;
    EXPECT_EQ(ang_label, label);
    EXPECT_NEAR(norm(sub(vec(a["cart"]), {x, y, z})), 0.0, 2e-4) << label;

    const json& db = l["databank"];
    ASSERT_TRUE(db["found"].get<bool>()) << label;
    EXPECT_EQ(comments.at(label), db["entry"]["comment"].get<std::string>() + "]") << label;
    if (a["element"] == "H") {
      const json& x_h = l["xh_extension"];
      ASSERT_FALSE(x_h.is_null()) << label;
      // "   X-H group : C(9)    -H(9A)    >  C-C-H3 =  0.960 /  1.077 Angstroms"
      const auto hit = std::find_if(xh.begin(), xh.end(), [&](const auto& kv) {
        return kv.first.find("-" + label + " ") != std::string::npos;
      });
      ASSERT_NE(hit, xh.end()) << label;
      const std::string& text = hit->second;
      const auto eq = text.find(" =");
      ASSERT_NE(eq, std::string::npos) << text;
      const std::string cls = text.substr(text.find_first_not_of(' '), eq - text.find_first_not_of(' '));
      std::istringstream rest(text.substr(eq + 2));
      std::string slash;
      double before = 0, after = 0;
      rest >> before >> slash >> after;
      EXPECT_EQ(cls, x_h["class"]) << label;
      EXPECT_NEAR(before, x_h["length_before"].get<double>(), 6e-4) << label;
      EXPECT_NEAR(after, x_h["length_after"].get<double>(), 6e-4) << label;
    }
  }
  EXPECT_NE(read_file("tesk.out").find(" Write the report of the run to tesk.json and tesk.html"),
            std::string::npos);
}

// Every treated atom's frame: unit vectors, orthogonal, right-handed; the
// first axis points at the first axis point and the second lies towards
// the second point, in the plane of both; each axis point is the atom or
// dummy atom of that name in the same document.
int check_frames(const json& doc, const std::string& name) {
  std::map<std::string, V> dummies;
  for (const json& d : doc["dummy_atoms"]) dummies[d["name"]] = vec(d["cart"]);
  const std::map<std::string, std::size_t> axis{{"X", 0}, {"Y", 1}, {"Z", 2}};
  int checked = 0;
  for (const json& a : doc["atoms"]) {
    auto it = a.find("local");
    if (it == a.end() || it->is_null()) continue;
    const json& l = *it;
    const std::string where = name + " " + a["label"].get<std::string>();
    const std::array<V, 3> e{vec(l["frame"]["x"]), vec(l["frame"]["y"]), vec(l["frame"]["z"])};
    for (std::size_t k = 0; k < 3; ++k) {
      EXPECT_NEAR(norm(e[k]), 1.0, 1e-5) << where;
      EXPECT_NEAR(dot(e[k], e[(k + 1) % 3]), 0.0, 1e-5) << where;
    }
    EXPECT_NEAR(dot(cross(e[0], e[1]), e[2]), 1.0, 1e-5) << where;
    const V origin = vec(a["cart"]);
    const json& p1 = l["axes"]["first"];
    const json& p2 = l["axes"]["second"];
    for (const json* p : {&p1, &p2}) {
      const V at = vec((*p)["cart"]);
      if ((*p)["kind"] == "dummy") {
        EXPECT_LT(norm(sub(dummies.at((*p)["label"]), at)), 1e-4) << where;
      } else {
        const json& named = doc["atoms"][(*p)["index"].get<std::size_t>() - 1];
        EXPECT_EQ(named["label"], (*p)["label"]) << where;
        EXPECT_LT(norm(sub(vec(named["cart"]), at)), 1e-4) << where;
      }
    }
    const V d1 = sub(vec(p1["cart"]), origin), d2 = sub(vec(p2["cart"]), origin);
    const std::size_t i1 = axis.at(p1["axis"]), i2 = axis.at(p2["axis"]);
    EXPECT_NEAR(dot(e[i1], d1), norm(d1), 1e-4 * (1 + norm(d1))) << where;
    EXPECT_GT(dot(e[i2], d2), 0.0) << where;
    EXPECT_NEAR(dot(e[3 - i1 - i2], d2), 0.0, 1e-4 * (1 + norm(d2))) << where;
    ++checked;
  }
  return checked;
}

TEST(Report, FramesAreRightHandedAndPointAtTheirAxisAtomsInEveryStructure) {
  int structures = 0;
  for (const auto& e : fs::directory_iterator(testing::structures_dir())) {
    const std::string file = e.path().filename().string();
    if (file == "README.md" || !e.is_regular_file()) continue;
    SCOPED_TRACE(file);
    testing::ScratchDir dir;
    fs::copy_file(e.path(), file);
    write_file("tesk.inp", "FORMAT *shelx\nINPUT " + file + "\nNCELLS 1\nRINGS 3 8\nREPORT\n");
    testing::run_tesk_binary();
    if (!fs::exists("tesk.json")) continue;  // stopped before the per-atom loop
    const json doc = read_report();
    EXPECT_EQ(check_frames(doc, file), doc["counts"]["treated_atoms"].get<int>());
    ++structures;
  }
  EXPECT_GE(structures, 20);
}

// The aromatic C-H entry of the example databank, changed to ask for 3m
// symmetry: the ring C-H carbons with m symmetry miss it by that alone.
TEST(Report, AtomMissingItsEntryOnlyBySiteSymmetryIsToldWhich) {
  testing::ScratchDir dir;
  std::string db = example_databank();
  const std::string entry = "NEIG  nei 3  typ 2  ring 1  memb 6   m   planar T";
  const auto at = db.find(entry);
  ASSERT_NE(at, std::string::npos);
  db.replace(at, entry.size(), "NEIG  nei 3  typ 2  ring 1  memb 6   3m  planar T");
  const std::size_t header_line = static_cast<std::size_t>(std::count(db.begin(), db.begin() + static_cast<long>(at), '\n'));
  ASSERT_EQ(run_example(example_control(), db).status, 0);
  const json doc = read_report();
  int missed = 0;
  for (const json& a : doc["atoms"]) {
    if (a.find("local") == a.end() || a["element"] != "C") continue;
    const json& l = a["local"];
    if (l["databank"]["found"].get<bool>() || l["site_symmetry"] != "m") continue;
    const json& nearest = l["databank"]["nearest"];
    ASSERT_GE(nearest.size(), 1u);
    EXPECT_LE(nearest.size(), 3u);
    EXPECT_EQ(nearest[0]["line"], header_line) << a["label"];  // the header above the NEIG line
    ASSERT_EQ(nearest[0]["differences"].size(), 1u) << a["label"];
    EXPECT_EQ(nearest[0]["differences"][0],
              json({{"descriptor", "site symmetry"}, {"atom", "m"}, {"entry", "3m"}}));
    for (std::size_t k = 1; k < nearest.size(); ++k)
      EXPECT_GE(nearest[k]["differences"].size(), nearest[k - 1]["differences"].size());
    ++missed;
  }
  // Of the four ring C-H carbons, C(4) and C(5) sit between equivalent ring
  // neighbours (mm2, their own entry); C(3) and C(6) have m symmetry.
  EXPECT_EQ(missed, 2);
}

// A databank whose only carbon entry ends before its NEIG record stops the
// run at the first carbon; the report holds the atoms treated before it.
TEST(Report, RunStoppedInsideTheLoopReportsWhatWasDecided) {
  testing::ScratchDir dir;
  auto r = run_example(example_control(), "ATOM  6  cut  an entry cut short\n");
  EXPECT_EQ(r.status, 1);
  const json doc = read_report();
  EXPECT_EQ(doc["status"], "stopped");
  EXPECT_EQ(doc["error"]["routine"], "ReadFile");
  EXPECT_EQ(doc["error"]["message"],
            "Error reading databank example.db: the file ends at line 1 inside the entry of line 1");
  const int treated = doc["counts"]["treated_atoms"];
  EXPECT_EQ(treated, 3);  // O(2), H(2), O(3); C(2) is the fourth atom
  for (int i = 0; i < 21; ++i)
    EXPECT_EQ(doc["atoms"][static_cast<std::size_t>(i)]["local"].is_null(), i >= treated) << i;
  EXPECT_TRUE(fs::exists("tesk.html"));
}

}  // namespace
}  // namespace tesk
