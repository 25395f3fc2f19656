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

void run_with(benchmark::State& state, const std::string& control) {
  static bool written = false;
  if (!written) {
    write_supercell("super.ins");
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
void BM_AlanineSupercellFormatAndInputOnly(benchmark::State& state) { run_with(state, ""); }

BENCHMARK(BM_AlanineSupercellFullJob)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);
BENCHMARK(BM_AlanineSupercellFormatAndInputOnly)
    ->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

}  // namespace
