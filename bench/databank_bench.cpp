// Databank search at protein scale: a 5000-entry databank searched for
// 100000 atoms (methanol, benzene and water molecules repeated on a grid),
// the fitting entries at the end of the file and water oxygens not present,
// so most searches pass over every entry of their element.
#include <benchmark/benchmark.h>

#include <fstream>
#include <string>
#include <vector>

#include "connectivity/neighbours.hpp"
#include "model/run.hpp"
#include "databank/databank.hpp"
#include "model/elements.hpp"

namespace {

using namespace tesk;

struct Site {
  const char* label;
  int z;
  float x, y, zc;
  const char* sitesym;
  int iring;
  bool lpg;
  std::array<int, 3> forh;
};

const Site kMolecules[] = {
    {"C1", 6, 0.0f, 0.0f, 0.0f, "3m", 0, false, {}},
    {"O1", 8, 1.43f, 0.0f, 0.0f, "m", 0, true, {}},
    {"HO1", 1, 1.75f, 0.91f, 0.0f, "cyl", 0, true, {2, 8, 1}},
    {"H1A", 1, -0.36f, 1.03f, 0.0f, "cyl", 0, true, {4, 6, 3}},
    {"H1B", 1, -0.36f, -0.51f, 0.89f, "cyl", 0, true, {4, 6, 3}},
    {"H1C", 1, -0.36f, -0.51f, -0.89f, "cyl", 0, true, {4, 6, 3}},
    {"C2", 6, 11.39f, 0.0f, 0.0f, "m", 1, true, {}},
    {"C3", 6, 10.695f, 1.2038f, 0.0f, "m", 1, true, {}},
    {"C4", 6, 9.305f, 1.2038f, 0.0f, "m", 1, true, {}},
    {"C5", 6, 8.61f, 0.0f, 0.0f, "m", 1, true, {}},
    {"C6", 6, 9.305f, -1.2038f, 0.0f, "m", 1, true, {}},
    {"C7", 6, 10.695f, -1.2038f, 0.0f, "m", 1, true, {}},
    {"H2", 1, 12.47f, 0.0f, 0.0f, "cyl", 0, true, {3, 6, 1}},
    {"H3", 1, 11.235f, 2.1391f, 0.0f, "cyl", 0, true, {3, 6, 1}},
    {"H4", 1, 8.765f, 2.1391f, 0.0f, "cyl", 0, true, {3, 6, 1}},
    {"H5", 1, 7.53f, 0.0f, 0.0f, "cyl", 0, true, {3, 6, 1}},
    {"H6", 1, 8.765f, -2.1391f, 0.0f, "cyl", 0, true, {3, 6, 1}},
    {"H7", 1, 11.235f, -2.1391f, 0.0f, "cyl", 0, true, {3, 6, 1}},
    {"OW", 8, 20.0f, 0.0f, 0.0f, "mm2", 0, true, {}},
    {"HW1", 1, 20.96f, 0.0f, 0.0f, "cyl", 0, true, {2, 8, 2}},
    {"HW2", 1, 19.76f, 0.93f, 0.0f, "cyl", 0, true, {2, 8, 2}},
};

// Entries that fit none of the molecules, then the ones that do.
std::vector<std::string> make_bank(int entries) {
  std::vector<std::string> lines;
  const int elements[] = {6, 8, 1, 7};
  for (int k = 0; k < entries - 5; ++k) {
    int z = elements[k % 4];
    lines.push_back("ATOM  " + std::to_string(z) + "  T" + std::to_string(k) + "  filler " +
                    std::to_string(k));
    lines.push_back("! filler entry");
    if (z == 1) {
      lines.push_back("PRNT  parent 7  nnei " + std::to_string(1 + k % 4) + "  nH 1   cyl");
    } else {
      lines.push_back("NEIG  nei " + std::to_string(1 + (k / 4) % 4) + "  typ 2  ring 1  memb " +
                      std::to_string(3 + (k / 16) % 3) + "   m   planar T");
      lines.push_back("  1  1  1");
      lines.push_back("  2  6  2");
    }
    lines.push_back("PVAL  4.0 1.0 1.0 0.05");
    lines.push_back("PLMS  1 0 0.01  2 0 -0.2  3 3 0.3");
    lines.push_back("END");
  }
  const char* fitting[] = {
      "ATOM  6  CA  aromatic CH", "NEIG  nei 3  typ 2  ring 1  memb 6   m   planar T",
      "  1  1  1", "  2  6  2", "PVAL  4.05 1.0 0.9 0.05", "END",
      "ATOM  6  CM  methanol carbon", "NEIG  nei 4  typ 2  ring 0  memb 0   3m  planar F",
      "  1  1  3", "  2  8  1", "PVAL  4.15 1.0 0.9 0.05", "END",
      "ATOM  8  OH  hydroxyl oxygen", "NEIG  nei 2  typ 2  ring 0  memb 0   m",
      "  1  1  1", "  2  6  1", "PVAL  6.2 1.0 1.1 0.05", "END",
      "ATOM  1  HC  aromatic hydrogen", "PRNT  parent 6  nnei 3  nH 1   cyl",
      "PVAL  0.89 1.1 1.3 0.03", "END",
      "ATOM  1  HM  methyl hydrogen", "PRNT  parent 6  nnei 4  nH 3   cyl",
      "PVAL  0.92 1.1 1.3 0.03", "END"};
  for (const char* l : fitting) lines.push_back(l);
  return lines;
}

void build_atoms(Run& run, int natoms) {
  for (int z = 1; z < static_cast<int>(run.covrad.size()); ++z)
    run.covrad[static_cast<std::size_t>(z)] = covrad_table(z);
  const int per = static_cast<int>(std::size(kMolecules));
  for (int copy = 0; run.atoms.size() + per <= natoms; ++copy) {
    const float dx = 30.0f * static_cast<float>(copy % 40);
    const float dy = 10.0f * static_cast<float>((copy / 40) % 40);
    const float dz = 10.0f * static_cast<float>(copy / 1600);
    for (const Site& s : kMolecules) {
      Atom& a = run.atoms.at(run.atoms.append("bench"));
      a.label = fixed_width(s.label, 8);
      a.iz = s.z;
      a.occ = 1.0f;
      a.xc = {s.x + dx, s.y + dy, s.zc + dz};
      a.sitesym = fixed_width(s.sitesym, 5);
    }
  }
  run.atoms.natoms = run.atoms.size();
  run.cryst.nall = run.atoms.natoms;
  run.db.except.assign(static_cast<std::size_t>(run.atoms.natoms), ExceptRow{});
  run.db.forh.assign(static_cast<std::size_t>(run.atoms.natoms), {0, 0, 0});
  for (int i = 1; i <= run.atoms.natoms; ++i)
    run.db.forh[static_cast<std::size_t>(i - 1)] = kMolecules[(i - 1) % per].forh;
}

void BM_DatabankSearchProtein(benchmark::State& state) {
  const int natoms = static_cast<int>(state.range(0));
  const int per = static_cast<int>(std::size(kMolecules));
  for (auto _ : state) {
    state.PauseTiming();
    Run run;
    std::ofstream devnull("/dev/null");
    run.out.log.attach(devnull);
    build_atoms(run, natoms);
    run.db.bank.load(make_bank(5000), "bench.db");
    state.ResumeTiming();
    for (int i = 1; i <= run.atoms.natoms; ++i) {
      const Site& s = kMolecules[(i - 1) % per];
      run.db.iring = s.iring;
      run.db.imemb = s.iring == 1 ? 6 : 0;
      run.db.lpg = s.lpg;
      readdb(run, i);
      store_db_result(run, i);
    }
    benchmark::DoNotOptimize(run.opt.ldb_count);
    state.counters["found"] = run.opt.ldb_count[1];
    state.counters["not_found"] = run.opt.ldb_count[2];
  }
}
BENCHMARK(BM_DatabankSearchProtein)->Arg(100000)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace
