// A whole run on a large structure: a P1 supercell of L-alanine, 12 x 12 x 12
// cells, 89856 atoms. The molecules are written whole (coordinates are not
// wrapped into the cell), so the structure has no rings and needs no dummy
// atoms: a wrapped supercell would have every atom at its faces point an axis
// at a completed copy, each replaced by a dummy of its own, far beyond the
// 999 dummy labels. The full job (completion search, ring search, local axes,
// KEY table) is timed beside a run with only FORMAT and INPUT, which reads the
// file, finds neighbours and sets the axes, so the cost of the rest shows in
// proportion.
#include <benchmark/benchmark.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "app/driver.hpp"
#include "format/fortran_format.hpp"
#include "model/elements.hpp"
#include "model/run.hpp"
#include "structure/shelx_reader.hpp"
#include "structure/symmetry.hpp"

namespace {

using namespace tesk;

constexpr int kCells = 12;

// Every atom of the alanine unit cell, repeated over the supercell.
void write_supercell(const std::string& path) {
  auto run = std::make_unique<Run>();
  readshelx(*run, std::string(TESK_SOURCE_DIR) + "/tests/data/structures/l_alanine_p212121.res",
            ShelxHeaderListener{});
  const auto& p = run->ucell.p;
  std::ofstream f(path);
  f << "TITL alanine supercell\n";
  f << ffmt("(a,f8.5,6f11.4)", {"CELL ", 0.71073f, p[0] * kCells, p[1] * kCells, p[2] * kCells,
                                p[3], p[4], p[5]});
  f << "LATT -1\nSFAC";
  for (int z : run->types.tz) f << " " << atsym(z);
  f << "\nUNIT";
  for (std::size_t t = 0; t < run->types.tz.size(); ++t) f << " 1";
  f << "\nFVAR 1.0\n";
  for (int s = 1; s <= run->symm.nsym(); ++s)
    for (int i = 1; i <= run->atoms.natoms; ++i) {
      const Atom& a = run->atoms.at(i);
      const Vec3 x = apply_op(run->symm.op(s), a.xf);
      for (int u = 0; u < kCells; ++u)
        for (int v = 0; v < kCells; ++v)
          for (int w = 0; w < kCells; ++w)
            f << ffmt("(a,i3,3f11.6,2f8.3)",
                      {a.label.substr(0, 4), a.sftype, (x[0] + static_cast<float>(u)) / kCells,
                       (x[1] + static_cast<float>(v)) / kCells, (x[2] + static_cast<float>(w)) / kCells,
                       11.0f, 0.02f});
    }
  f << "HKLF 4\nEND\n";
}

// A databank of 1200 entries that fit no alanine atom, then the entries that
// fit, so every search passes over the fillers of its element first.
void write_databank(const std::string& path) {
  std::ofstream f(path);
  f << "! generated for the benchmark\n";
  const int elements[] = {6, 8, 1, 7};
  for (int k = 0; k < 1200; ++k) {
    const int z = elements[k % 4];
    f << "ATOM  " << z << "  T" << k << "  filler " << k << "\n";
    if (z == 1)
      f << "PRNT  parent 7  nnei " << 1 + k % 2 << "  nH 1   cyl\n";
    else
      f << "NEIG  nei " << 1 + (k / 4) % 4 << "  typ 2  ring 1  memb " << 3 + (k / 16) % 3
        << "   m   planar T\n  1  1  1\n  2  6  2\n";
    f << "PVAL  4.0 1.0 1.0 0.05\nPLMS  1 0 0.01  2 0 -0.2  3 3 0.3\nEND\n";
  }
  const char* fitting[] = {
    "ATOM  8  O_COO  carboxylate oxygen",
    "NEIG  nei 1  typ 1  ring 0  memb 0   m   planar T",
    "  1  6  1",
    "EXCEPT  GROUP carboxylate",
    "PVAL  6.2 0.99 1.1 0.05",
    "PLMS  1 1 0.02  2 0 -0.05",
    "END",
    "ATOM  7  N_H3  ammonium nitrogen",
    "NEIG  nei 4  typ 2  ring 0  memb 0   3m  planar F",
    "  1  1  3",
    "  2  6  1",
    "PVAL  4.9 1.0 0.9 0.05",
    "END",
    "ATOM  6  C_A  alpha carbon",
    "NEIG  nei 4  typ 3  ring 0  memb 0   NO  planar F",
    "  1  1  1",
    "  2  6  2",
    "  3  7  1",
    "EXCEPT  GROUP ammonium",
    "PVAL  3.95 1.0 0.9 0.05",
    "END",
    "ATOM  6  C_M  methyl carbon",
    "NEIG  nei 4  typ 2  ring 0  memb 0   3m  planar F",
    "  1  1  3",
    "  2  6  1",
    "PVAL  4.15 1.0 0.9 0.05",
    "END",
    "ATOM  6  C_COO  carboxylate carbon",
    "NEIG  nei 3  typ 2  ring 0  memb 0   mm2  planar T",
    "  1  6  1",
    "  2  8  2",
    "EXCEPT  GROUP carboxylate",
    "PVAL  3.9 1.0 0.9 0.05",
    "END",
    "ATOM  1  H_N  ammonium hydrogen",
    "PRNT  parent 7  nnei 4  nH 3   cyl",
    "PVAL  0.8 1.1 1.3 0.03",
    "END",
    "ATOM  1  H_CA  alpha hydrogen",
    "PRNT  parent 6  nnei 4  nH 1   cyl",
    "PVAL  0.9 1.1 1.3 0.03",
    "END",
    "ATOM  1  H_M  methyl hydrogen",
    "PRNT  parent 6  nnei 4  nH 3   cyl",
    "PVAL  0.92 1.1 1.3 0.03",
    "END"};
  for (const char* line : fitting) f << line << "\n";
}

void run_with(benchmark::State& state, const std::string& control) {
  static bool written = false;
  if (!written) {
    write_supercell("super.ins");
    write_databank("alanine.db");
    written = true;
  }
  std::ofstream("tesk.inp") << "FORMAT *shelx\nINPUT super.ins\n" << control;
  for (auto _ : state) {
    std::ostringstream console;
    std::istringstream none;
    if (run_tesk({}, console, none) != 0) state.SkipWithError("tesk stopped");
  }
}

void BM_AlanineSupercellFullJob(benchmark::State& state) {
  run_with(state, "NCELLS 1\nRINGS 3 8\nKEYGEN *XYZUIJ *all ordered *MULT *all ordered *kappas\n");
}
void BM_AlanineSupercellFullJobWithDatabank(benchmark::State& state) {
  run_with(state,
           "NCELLS 1\nRINGS 3 8\nKEYGEN *XYZUIJ *all ordered *MULT *all ordered *kappas\n"
           "DATABANK alanine.db\nEXTEND_H\nCHFRAG 0.\n");
}
// The same job with REPORT: tesk.json for every atom and tesk.html with the
// first frames drawn.
void BM_AlanineSupercellFullJobWithDatabankAndReport(benchmark::State& state) {
  run_with(state,
           "NCELLS 1\nRINGS 3 8\nKEYGEN *XYZUIJ *all ordered *MULT *all ordered *kappas\n"
           "DATABANK alanine.db\nEXTEND_H\nCHFRAG 0.\nREPORT\n");
}
void BM_AlanineSupercellFormatAndInputOnly(benchmark::State& state) { run_with(state, ""); }

BENCHMARK(BM_AlanineSupercellFullJob)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);
BENCHMARK(BM_AlanineSupercellFullJobWithDatabank)
    ->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);
BENCHMARK(BM_AlanineSupercellFullJobWithDatabankAndReport)
    ->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);
BENCHMARK(BM_AlanineSupercellFormatAndInputOnly)
    ->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

}  // namespace
