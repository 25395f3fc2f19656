// Timing of fragment completion and the bonded-neighbour search on benzene
// crystals of about 10000 and 100000 atoms. Run with
//   cmake -S . -B build-rel -DCMAKE_BUILD_TYPE=Release -DTESK_BUILD_BENCH=ON
//   cmake --build build-rel -j2 --target tesk_bench && ./build-rel/bench/tesk_bench
#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>
#include <memory>
#include <ostream>
#include <string>

#include "connectivity/neighbours.hpp"
#include "model/run.hpp"
#include "structure/cell.hpp"
#include "structure/complete_fragments.hpp"
#include "model/elements.hpp"

namespace {

using tesk::Run;
using tesk::Vec3;

// Benzene molecules in a P1 cell, 7 Angstrom apart in the ring plane (x, y)
// and stacked 3.5 Angstrom apart along z: about 14 cubic Angstrom per atom.
// `wrapped`: one molecule along a (a = 7), each centred on the cell face
// x = 0 and every atom moved into the cell, as structure files often list
// them; completion by lattice translations then rebuilds two whole copies
// of each molecule, doubling the atom count. Otherwise the molecules lie
// whole inside the cell and completion finds nothing to add.
std::unique_ptr<Run> benzene_crystal(int nx, int ny, int nz, bool wrapped) {
  auto run = std::make_unique<Run>();
  for (int z = 0; z < static_cast<int>(run->covrad.size()); ++z)
    run->covrad[static_cast<std::size_t>(z)] = tesk::covrad_table(z);
  const float a = 7.0f * static_cast<float>(nx), b = 7.0f * static_cast<float>(ny);
  const float c = 3.5f * static_cast<float>(nz);
  tesk::Mat3 m{{{a, 0, 0}, {0, b, 0}, {0, 0, c}}};
  run->transf.frac_to_cart = m;
  run->transf.cart_to_frac = tesk::inverse(m);
  tesk::SymOp identity;
  identity.rot = {{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}};
  run->symm.ops = {identity};
  run->opt.compfrag = 1;
  for (int i = 0; i < nx; ++i)
    for (int j = 0; j < ny; ++j)
      for (int k = 0; k < nz; ++k) {
        float cx = wrapped ? 0.0f : 3.5f + 7.0f * static_cast<float>(i);
        float cy = 3.5f + 7.0f * static_cast<float>(j), cz = 1.75f + 3.5f * static_cast<float>(k);
        for (int n = 0; n < 12; ++n) {
          bool carbon = n < 6;
          float angle = (15.0f + 60.0f * static_cast<float>(n % 6)) * 0.017453292f;
          float r = carbon ? 1.39f : 2.47f;
          float x = cx + r * std::cos(angle);
          if (x < 0.0f) x += a;
          Vec3 xf{x / a, (cy + r * std::sin(angle)) / b, cz / c};
          tesk::Atom& atom = run->atoms.at(run->atoms.append("bench"));
          atom.label = std::string(1, carbon ? 'C' : 'H');
          atom.label += std::to_string(n % 6 + 1);
          atom.label.resize(8, ' ');
          atom.iz = carbon ? 6 : 1;
          atom.xf = xf;
          atom.xc = tesk::rabs(run->transf, 0, xf);
          atom.occ = 1.0f;
        }
      }
  run->atoms.natoms = run->atoms.size();
  run->cryst.nall = run->atoms.natoms;
  return run;
}

// Crystal sizes: molecules along y and z for about n atoms in the end.
struct Size { int nx, ny, nz; };
Size full_size(int atoms) { return atoms > 50000 ? Size{20, 20, 20} : Size{9, 9, 10}; }
Size wrapped_size(int atoms) { return atoms > 50000 ? Size{1, 60, 69} : Size{1, 20, 21}; }

std::ostream& null_stream() {
  static std::ostream null(nullptr);  // discards everything written to it
  return null;
}

void complete(benchmark::State& state, bool wrapped) {
  Size s = wrapped ? wrapped_size(static_cast<int>(state.range(0)))
                   : full_size(static_cast<int>(state.range(0)));
  int nall = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto run = benzene_crystal(s.nx, s.ny, s.nz, wrapped);
    run->out.log.attach(null_stream());
    state.ResumeTiming();
    tesk::gencompletefrags(*run);
    nall = run->cryst.nall;
  }
  state.counters["atoms"] = nall;
}

void BM_CompleteFragmentsWrapped(benchmark::State& state) { complete(state, true); }
void BM_CompleteFragmentsNothingToAdd(benchmark::State& state) { complete(state, false); }

void BM_FindAllNeighbors(benchmark::State& state) {
  Size s = full_size(static_cast<int>(state.range(0)));
  auto run = benzene_crystal(s.nx, s.ny, s.nz, false);
  run->out.log.attach(null_stream());
  run->out.console.attach(null_stream());
  for (auto _ : state) {
    run->nb.search.count = -1;  // build the search grid again each time
    tesk::findallneighbors(*run);
  }
  state.counters["atoms"] = run->cryst.nall;
}

void BM_FindAllNeighborsAfterCompletion(benchmark::State& state) {
  Size s = wrapped_size(static_cast<int>(state.range(0)));
  auto run = benzene_crystal(s.nx, s.ny, s.nz, true);
  run->out.log.attach(null_stream());
  run->out.console.attach(null_stream());
  {
      tesk::gencompletefrags(*run);
  }
  for (auto _ : state) {
    run->nb.search.count = -1;
    tesk::findallneighbors(*run);
  }
  state.counters["atoms"] = run->cryst.nall;
}

}  // namespace

BENCHMARK(BM_CompleteFragmentsWrapped)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CompleteFragmentsNothingToAdd)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindAllNeighbors)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindAllNeighborsAfterCompletion)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
