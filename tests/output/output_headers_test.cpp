// Orbital codes of the SCAT table and the header sections of the KQ master
// and MoPro parameter files written while a SHELX file is read.
#include <gtest/gtest.h>

#include <cstdlib>

#include "output/output_headers.hpp"
#include "structure/shelx_fixture.hpp"

namespace tesk {
namespace {

using Codes = std::array<int, 18>;

// Columns: 1S 2S 3S 4S 2P 3P 4P 3D 4D 4F 5S 5P 6S 6P 5D 7S 6D 5F
TEST(GetSft, ShellOccupancies) {
  struct Row {
    int z;
    Codes codes;
  };
  const Row rows[] = {
      {1, {-1}},
      {6, {2, -2, 0, 0, -2}},
      {17, {2, 2, -2, 0, 6, -5}},
      {30, {2, 2, 2, -2, 6, 6, 0, -10}},
      {35, {2, 2, 2, -2, 6, 6, -5, -10}},
      {36, {2, 2, 2, -2, 6, 6, -6, -10}},
      {44, {2, 2, 2, 2, 6, 6, 6, 10, -6, 0, -2}},                // Ru: aufbau 4d6 5s2
      {49, {2, 2, 2, 2, 6, 6, 6, 10, -10, 0, -2, -1}},           // In: 4d stays valence
      {53, {2, 2, 2, 2, 6, 6, 6, 10, 10, 0, -2, -5}},            // I: 4d in the core
      {79, {2, 2, 2, 2, 6, 6, 6, 10, 10, -14, 2, 6, -2, 0, -9}},  // Au: 4f14 5d9 6s2
      {92, {2, 2, 2, 2, 6, 6, 6, 10, 10, 14, 2, 6, 2, 6, 10, -2, 0, -4}},  // U: [Rn] 5f4 7s2
      {97, {}},
  };
  for (const Row& row : rows) EXPECT_EQ(getsft(row.z), row.codes) << "Z = " << row.z;
  for (int z = 1; z <= 96; ++z) {
    int electrons = 0;
    for (int code : getsft(z)) electrons += std::abs(code);
    EXPECT_EQ(electrons, z) << "Z = " << z;
  }
}

// An atom whose element has no orbital codes stops the run once the atoms
// are read, naming the atom and what it was read as.
TEST(GetSft, AtomsWithoutOrbitalCodesStop) {
  struct Row {
    const char* sfac;
    const char* atom;
    std::string message;  // empty: no stop
  };
  const std::string stop = "atomic number not implemented yet: atom ";
  const Row rows[] = {
      {"SFAC C BK", "BK1 2", stop + "BK(1) read as element Bk (atomic number 97)"},
      {"SFAC C XX", "X1 2", stop + "X(1) read as no known element (atomic number 0)"},
      {"SFAC C CM", "CM1 2", ""},  // curium, the last with codes
      {"SFAC C BK", "C2 1", ""},   // a type no atom uses
  };
  for (const Row& row : rows) {
    testing::ShelxRun r;
    r.read_text(std::string("CELL 0.71073 10 11 12 90 90 90\n") + row.sfac +
                "\nC1 1 0.5 0.5 0.5 11.0 0.05\n" + row.atom + " 0.1 0.2 0.3 11.0 0.05\nEND\n");
    FatalError e = testing::ShelxRun::stop_of([&] { check_scattering_elements(r.run); });
    EXPECT_EQ(e.message(), row.message.empty() ? "the file was read to the end" : row.message);
  }
}

// One carbon in P2(1)/c: one card, centrosymmetric, three scattering types.
const char* kSmall =
    "TITL small\n"
    "CELL 0.71073 10.0 11.0 12.0 90 95.5 90\n"
    "LATT 1\n"
    "SYMM -X, 1/2+Y, 1/2-Z\n"
    "SFAC C H CL\n"
    "FVAR 1.0\n"
    "C1 1 0.1 0.2 0.3 11.0 0.05\n"
    "END\n";

TEST(OutputHeaders, KqMasterHeader) {
  testing::ShelxRun r;
  r.read_text(kSmall);
  const std::string bangs(79, '!');
  const std::string dashes = "!" + std::string(78, '-');
  const std::string expected =
      bangs + "\n" +
      "!                   CREATED BY PROGRAM << TESK >>\n" + bangs + "\n" +
      "TITLE TEST\n"
      "CELL      10.0000     11.0000     12.0000     90.0000     95.5000     90.0000\n"
      "WAVE     0.710730\n"
      "LATT C P\n"
      "SYMM -X, 1/2+Y, 1/2-Z\n" +
      bangs + "\n" +
      "!\n"
      "    MODULE *KQLSM\n"
      "!\n"
      "SELECT  *model 4 0 0 0 based_on F test verbose 3\n"
      "SELECT  cycle 15 dampk 0.6 cmin 0.6 cmax 1. eigcut 1.d-09\n"
      "SAVE  deriv lsqmat cormat\n"
      "SOLVE  *inv diag *cond\n" +
      dashes + "\n" +
      "SCAT CORE SPHV DEFV   1S  2S  3S  4S  2P  3P  4P  3D  4D  4F  5S  5P  6S  6P  5D  7S"
      "  6D  5F  DELF'   DELF''  NSCTL\n"
      "C    CHFW CHFW CSZD    2  -2   0   0  -2   0   0   0   0   0   0   0   0   0   0   0"
      "   0   0  0.0000  0.0000  0.000\n"
      "H    CHFW CHFW CSZD   -1   0   0   0   0   0   0   0   0   0   0   0   0   0   0   0"
      "   0   0  0.0000  0.0000  0.000\n"
      "Cl   CHFW CHFW CSZD    2   2  -2   0   6  -5   0   0   0   0   0   0   0   0   0   0"
      "   0   0  0.0000  0.0000  0.000\n"
      "END SCAT\n" +
      dashes + "\n";
  EXPECT_EQ(r.kq.str(), expected);
}

TEST(OutputHeaders, MoproParameterHeader) {
  testing::ShelxRun r;
  r.read_text(kSmall);
  const std::string expected =
      "CELL   10.0000   11.0000   12.0000  90.0000  95.5000  90.0000  0.71073\n"
      "\n"
      "SYMM   2 P CENTRO\n"
      "  X, Y, Z\n"
      " -X, 1/2+Y, 1/2-Z             \n"
      "\n"
      "SCALE  1  1.0\n"
      "\n"
      "FMULT  1.0\n"
      "\n"
      "UOVER  0.0\n"
      "\n"
      "SOLVT  0.0  50.0\n"
      "\n"
      "EXTIN  0.0  GAUSSIAN  ISOT  TYP1\n"
      "\n";
  EXPECT_EQ(r.mopro.str(), expected);
}

TEST(OutputHeaders, LogAndConsoleAroundTheAtomList) {
  testing::ShelxRun r;
  r.read_text(kSmall);
  const std::string log = r.log.str();
  EXPECT_EQ(log.find("\n Cell parameters:     10.000    11.000    12.000    90.000    95.500"
                     "    90.000\n\n Lattice type : P\n Lattice is CentroSymmetric\n\n"
                     " Symmetry operations : \n"),
            0u);
  const std::string atom_line =
      "\n    NO.  ATOM     IZ IU SF    XF       YF       ZF    OCCUP  U's -->\n"
      "     1   C(1)      6  1  1  0.10000  0.20000  0.30000 1.000  0.050\n";
  EXPECT_NE(log.find(atom_line), std::string::npos);
  EXPECT_NE(r.console.str().find(atom_line + "\n Total atoms read from SHELX file =     1\n"),
            std::string::npos);
}

}  // namespace
}  // namespace tesk
