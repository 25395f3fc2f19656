// Timing of the ring search (elimination of open atoms and the walk) on
// 100000-atom structures: molecules with rings and long chains, one chain
// peeled over 100000 cycles, and a fused sheet that the walk covers whole.
// Part of tesk_bench (see neighbours_bench.cpp for the command).
#include <benchmark/benchmark.h>

#include <cmath>
#include <fstream>
#include <functional>

#include "connectivity/rings.hpp"
#include "app/control_file.hpp"
#include "model/run.hpp"

namespace {

using tesk::Run;

constexpr float kHexagon[6][2] = {{1, 0}, {0.5f, 0.866f}, {-0.5f, 0.866f},
                                  {-1, 0}, {-0.5f, -0.866f}, {0.5f, -0.866f}};

struct Case {
  Run run;
  std::ofstream null{"/dev/null"};
  explicit Case(int largest) {
    tesk::init(run);
    run.out.log.attach(null);
    run.out.console.attach(null);
    run.opt.ring1 = {3, largest, 0};
  }
  int count() const { return run.cryst.nall; }
  void add(int z, float x, float y, float zc) {
    const int i = run.atoms.append("bench");
    tesk::Atom& a = run.atoms.at(i);
    a.label = z == 1 ? "H       " : "C       ";
    a.iz = z;
    a.xc = {x, y, zc};
    run.atoms.natoms = run.cryst.nall = i;
  }
  void benzene(float ox, float oy, bool hydrogens) {
    for (const auto& h : kHexagon) add(6, ox + 1.39f * h[0], oy + 1.39f * h[1], 0);
    if (hydrogens)
      for (const auto& h : kHexagon) add(1, ox + 2.47f * h[0], oy + 2.47f * h[1], 0);
  }
};

void ring_search(benchmark::State& state, Case& c) {
  for (auto _ : state) {
    tesk::connect4rings(c.run);
    tesk::findrings(c.run);
  }
  state.counters["atoms"] = c.count();
  state.counters["kept"] = c.run.ringsearch.count();
  state.counters["rings"] = c.run.rings.nor();
}

// 900 benzenes with H, then zig-zag CH chains.
void BM_RingsBenzenesAndChains(benchmark::State& state) {
  const int atoms = static_cast<int>(state.range(0));
  Case c(8);
  for (int m = 0; m < 900 * atoms / 100000; ++m)
    c.benzene(8.0f * static_cast<float>(m % 30), 8.0f * static_cast<float>(m / 30), true);
  for (int s = 0; c.count() < atoms; ++s) {
    const float y = 8.0f * static_cast<float>(s % 40), z = 10.0f + 6.0f * static_cast<float>(s / 40);
    for (int i = 0; i < 300 && c.count() < atoms - 1; ++i) {
      const float x = 1.25f * static_cast<float>(i);
      c.add(6, x, y + (i % 2 ? 0.85f : 0.0f), z);
      c.add(1, x, y + (i % 2 ? 1.9f : -1.05f), z);
    }
  }
  ring_search(state, c);
}

// One chain on a ring: one atom removed per elimination cycle.
void BM_RingsSingleChain(benchmark::State& state) {
  const int atoms = static_cast<int>(state.range(0));
  Case c(100);
  c.benzene(0, 0, false);
  for (int i = 0; c.count() < atoms; ++i)
    c.add(6, 2.9f + 1.25f * static_cast<float>(i), i % 2 ? 0.85f : 0.0f, 0);
  ring_search(state, c);
}

// Honeycomb sheet: every atom in fused six-rings, none stored with RINGS 3 5.
void BM_RingsFusedSheet(benchmark::State& state) {
  const int atoms = static_cast<int>(state.range(0));
  Case c(5);
  const float a = 1.42f;
  for (int j = 0; c.count() < atoms; ++j) {
    for (int i = 0; i < 250 && c.count() < atoms; ++i) {
      const float x = a * std::sqrt(3.0f) * (static_cast<float>(i) + 0.5f * static_cast<float>(j % 2));
      const float y = 1.5f * a * static_cast<float>(j);
      c.add(6, x, y, 0);
      c.add(6, x, y + a, 0);
    }
  }
  ring_search(state, c);
}

}  // namespace

BENCHMARK(BM_RingsBenzenesAndChains)->Arg(10000)->Arg(100000)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RingsSingleChain)->Arg(10000)->Arg(100000)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RingsFusedSheet)->Arg(10000)->Arg(100000)->Iterations(1)->Unit(benchmark::kMillisecond);
