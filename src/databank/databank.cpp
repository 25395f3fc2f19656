// Loading the databank, the free-atom valence populations, and storing a
// search's result in the per-atom parameter tables.
#include "databank/databank.hpp"

#include <algorithm>

#include "model/orbitals.hpp"
#include "model/run.hpp"

namespace tesk {

bool load_databank(Run& run, const std::string& path) {
  TextInput in;
  if (!in.open(path)) return false;
  std::vector<std::string> lines;
  lines.reserve(in.size());
  for (std::size_t i = 0; i < in.size(); ++i) lines.push_back(in.record(i));
  run.db.bank.load(std::move(lines), path);
  return true;
}

bool load_databank_file(Run& run) {
  const std::string& name = run.opt.abank;
  const std::string path = name.substr(0, static_cast<std::size_t>(lenstr(name)));
  return !path.empty() && load_databank(run, path);
}

int ifs(std::string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i)
    if (text[i] != ' ') return static_cast<int>(i) + 1;
  return 0;
}

// Valence electrons of the free atom: those of the valence shells of the
// scattering table, so that the starting Pv fills the valence density the
// refinement scatters with. For every element but iodine these are the
// electrons beyond the last noble gas (Fe 3d6 4s2 = 8, Zn 3d10 4s2 = 12);
// iodine keeps its 4d shell in the core (5s2 5p5 = 7). Beyond curium: the
// electrons beyond radon.
float pval(int z) {
  if (z >= 1 && z <= kMaxOrbitalZ) return static_cast<float>(valence_electrons(z));
  return static_cast<float>(z > 86 ? z - 86 : 0);
}

namespace {

AtomPoles& poles_of(Run& run, int atom) {
  auto n = static_cast<std::size_t>(std::max(atom, run.atoms.size()));
  if (run.db.mpoles.size() < n) run.db.mpoles.resize(n);
  return run.db.mpoles[static_cast<std::size_t>(atom - 1)];
}

// The atom's kappa set takes the pair and remembers the atom's scattering type.
void set_kappa(Run& run, int atom, const std::array<float, 2>& kappa) {
  std::size_t i = static_cast<std::size_t>(atom - 1);
  int ks = i < run.db.kappaset.size() ? run.db.kappaset[i] : 0;
  if (ks < 1) return;
  auto k = static_cast<std::size_t>(ks);
  if (run.db.kappas.size() < k) run.db.kappas.resize(k);
  run.db.kappas[k - 1].kappa = kappa;
  run.db.kappas[k - 1].sftype = run.atoms.at(atom).sftype;
  run.db.nkappas = std::max(run.db.nkappas, ks);
}

}  // namespace

void store_db_result(Run& run, int atom) {
  const MatchRecord& m = run.db.mpoles1;
  const float occ = run.atoms.at(atom).occ;
  AtomPoles& p = poles_of(run, atom);
  p.pv = occ * m.Pval;
  p.sigma = m.sigmaPv;
  for (int l = 0; l <= 4; ++l)
    for (int mm = -4; mm <= 4; ++mm) p.plm.at(l, mm) = occ * m.plm.at(l, mm);
  set_kappa(run, atom, m.kappa);
}

void store_free_atom(Run& run, int atom) {
  const Atom& a = run.atoms.at(atom);
  AtomPoles& p = poles_of(run, atom);
  p.pv = a.occ * pval(a.iz);
  set_kappa(run, atom, {1.0f, 1.0f});
}

}  // namespace tesk
