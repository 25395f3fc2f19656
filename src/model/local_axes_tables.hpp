// The local coordinate system of every input atom, the dummy atoms that axes
// may point at, and the per-atom MoPro lines collected while the axes are set.
#pragma once

#include <string>
#include <unordered_map>
#include <vector>

#include "core/cell_grid.hpp"
#include "core/vec3.hpp"

namespace tesk {

constexpr int kMaxDummyLabels = 999;  // DUM1 .. DUM999: the label field has three digits
constexpr float kDummyReuse = 0.1f;   // a dummy asked for within this of another is that one

// Axis letters; the numeric record stores 1, 2, 3.
enum class AxisLetter { None = 0, X = 1, Y = 2, Z = 3 };

inline char letter_char(AxisLetter a) {
  switch (a) {
    case AxisLetter::X: return 'X';
    case AxisLetter::Y: return 'Y';
    case AxisLetter::Z: return 'Z';
    default: return ' ';
  }
}

// Which rule decided an atom's axes.
enum class AxisRule {
  None,
  TooFewNeighbours,  // widening search, or dummies at 0,0,0 and 0.5,0.5,0.5
  NoChemistry,       // five or more neighbours, TOKQ, or a disordered neighbour
  OnePlanarRing,     // X to the ring centre (special-ring option)
  TwoPlanarRings,    // X to the other fusion atom (special-ring option)
  Terminal,          // one non-hydrogen neighbour
  Hydrogen,          // a hydrogen with one neighbour
  Linear,            // two neighbours, 170 degrees or more
  Bent,              // two neighbours
  ThreeNeighbours,   // cases 300 .. 312
  FourNeighbours,
};

// One axis end: a real atom of the working list or a dummy atom.
struct AxisPoint {
  std::string label = std::string(8, ' ');  // 8 characters, as the row prints it
  int atom = 0;     // working-list atom number, 0 for a dummy
  int dummy = 0;    // dummy number, 0 for an atom
  Vec3 xc{};        // cartesian position
};

// The axis decision for one atom.
struct AxisDecision {
  AxisLetter first = AxisLetter::None;
  AxisLetter second = AxisLetter::None;
  AxisPoint p1, p2;
  AxisRule rule = AxisRule::None;
  int case_label = 0;  // 300, 301, 303, 310, 311, 312 for three neighbours
};

// The numeric form of an atom's local-axis record, read by the file writers.
struct AxisRecord {
  int ax1 = 0;       // first axis letter: 1 X, 2 Y, 3 Z
  int ax2 = 0;
  int atom1 = 0;     // first axis atom: input atom number, natoms + k for dummy k
  int self = 0;      // the atom itself
  int atom2 = 0;
  int adptype = 0;
  int sftype = 0;
  int kset = 0;      // kappa set
  int lmax = 4;      // highest multipole level
  int hand = 1;      // always right-handed
  int chemcon = 0;   // earlier chemically equivalent atom, 0 when none
};

struct DummyAtom {
  std::string label;  // "DUM" and the number, no blanks (6 characters at most)
  Vec3 x{};           // fractional coordinates when ifra is 1, else cartesian
};

// Dummy atoms, DUM1 first. The grid files their cartesian positions so that
// the reuse test looks only near the point asked for.
struct DummyTable {
  std::vector<DummyAtom> dum;  // dummy k is dum[k-1]
  CellGrid grid{1.0f};
  int ndum() const { return static_cast<int>(dum.size()); }
};

// Cartesian positions of the symmetry-generated atoms (natoms+1 .. nall),
// filed when an axis point is first checked against them. Fragment
// completion is over by then and the copies never move, so the grid is
// refiled only when the working list changes length.
struct GeneratedAtomGrid {
  CellGrid grid{1.0f};
  int natoms = -1;  // the working list the grid was filed for
  int nall = -1;
};

// The atoms the kappa-set search has treated, filed by the descriptors that
// its equivalence criteria compare, so that the first equivalent earlier atom
// is one look-up instead of a comparison with every earlier atom. Each key
// lists its atoms in ascending number; every treated atom is filed under both
// keys, since a hydrogen is compared with earlier atoms of any element.
struct EquivalenceIndex {
  std::unordered_map<std::string, std::vector<int>> heavy;     // Z, neighbour types, ring, symmetry, group
  std::unordered_map<std::string, std::vector<int>> hydrogen;  // sftype, forh, group
  std::vector<std::string> heavy_key;     // per filed atom, index 0 = atom 1: its key as filed
  std::vector<std::string> hydrogen_key;
  int count() const { return static_cast<int>(heavy_key.size()); }  // atoms 1..count are filed
};

struct LocalAxesState {
  bool loop_started = false;         // the per-atom loop has begun
  int treated = 0;                   // input atoms 1..treated have their axes and parameters
  std::vector<AxisRecord> rec;       // per input atom, index 0 = atom 1
  std::vector<AxisDecision> axes;    // per input atom: the decision as made
  std::vector<std::string> row;      // per input atom: the 80-character table row
  std::vector<int> chemcon;          // per input atom: 1 when it has a CHEMCON reference
  std::vector<std::string> mopro;    // per input atom: MoPro axis line, 90 characters
  std::vector<std::string> mcon;     // per input atom: "! CONPVM" line or blank
  DummyTable dummy;
  GeneratedAtomGrid generated;
  EquivalenceIndex equivalent;
};

}  // namespace tesk
