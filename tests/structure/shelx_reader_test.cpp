// Reading SHELX files: atom lines, free variables, riding U, lattices,
// continuation and comment rules, residues, labels and the fatal stops.
#include <gtest/gtest.h>

#include "structure/shelx_fixture.hpp"

namespace tesk {
namespace {

using testing::ShelxRun;

// A cubic 10 A cell keeps Ueq of an anisotropic atom equal to the mean of U11, U22, U33.
const std::string kCubic =
    "TITL test\nCELL 0.71073 10.0 10.0 10.0 90 90 90\nZERR 1 0 0 0 0 0 0\nLATT 1\n";

TEST(ShelxReader, RidingHydrogensTakeTheirUFromTheNearestNonRidingAtom) {
  ShelxRun r;
  r.read_text(kCubic +
              "SFAC C H O\nFVAR 1.0\n"
              "C1 1 0.1 0.1 0.1 11.0 0.05\n"
              "H1A 2 0.2 0.1 0.1 11.0 -1.2\n"
              // a second riding H rides on C1, not on H1A
              "H1B 2 0.1 0.2 0.1 11.0 -1.5\n"
              "O1 3 0.3 0.3 0.3 11.0 0.04 0.04 0.04 0.0 0.0 0.0\n"
              "H1 2 0.4 0.3 0.3 11.0 -1.5\n"
              // -0.4 is outside the riding range: an ordinary (odd) U
              "H2 2 0.5 0.3 0.3 11.0 -0.4\n"
              "HKLF 4\nEND\n");
  ASSERT_EQ(r.run.atoms.natoms, 6);
  EXPECT_NEAR(r.atom(2).uij[0], 0.06f, 1e-6);
  EXPECT_NEAR(r.atom(3).uij[0], 0.075f, 1e-6);
  EXPECT_NEAR(r.atom(5).uij[0], 0.06f, 1e-6);
  EXPECT_NEAR(r.atom(6).uij[0], -0.4f, 1e-6);
  EXPECT_EQ(r.atom(4).adptype, 2);
  EXPECT_EQ(r.atom(5).adptype, 1);
}

TEST(ShelxReader, FreeVariableCodes) {
  ShelxRun r;
  r.read_text(kCubic +
              "SFAC C\nFVAR 1.0 0.7\nFVAR 0.25 0.5\n"
              "C1 1 0.1 0.2 0.3 21.0 0.05\n"
              "C2 1 0.1 0.2 0.3 -21.0 0.05\n"
              "C3 1 0.1 0.2 0.3 31.0 0.05\n"
              "C4 1 0.1 0.2 0.3 40.5 0.05\n"
              // fixed values: 10 + p, and -(10 + p) for a negative one
              "C5 1 10.25 -10.25 0.3 10.5 10.03\n"
              "END\n");
  EXPECT_EQ(r.run.shelx1.nfvar, 4);
  EXPECT_FLOAT_EQ(r.run.shelx1.fvar[2], 0.25f);
  EXPECT_FLOAT_EQ(r.atom(1).occ, 0.7f);
  EXPECT_FLOAT_EQ(r.atom(2).occ, 0.3f);
  EXPECT_FLOAT_EQ(r.atom(3).occ, 0.25f);
  EXPECT_FLOAT_EQ(r.atom(4).occ, 0.25f);
  EXPECT_FLOAT_EQ(r.atom(5).xf[0], 0.25f);
  EXPECT_FLOAT_EQ(r.atom(5).xf[1], -0.25f);
  EXPECT_FLOAT_EQ(r.atom(5).occ, 0.5f);
  EXPECT_FLOAT_EQ(r.atom(5).uij[0], 0.03f);
  // occupancy below 1 and no symmetry copy on the atom: disordered
  EXPECT_EQ(r.atom(1).flag, -1);
}

// A .res file has the scheme refined with before the atoms and the one SHELXL
// suggests after END; a shorter later card keeps the earlier card's tail.
TEST(ShelxReader, LaterWeightCardOverwritesOnlyTheValuesItGives) {
  ShelxRun r;
  r.read_text(kCubic + "SFAC C\nWGHT 0.1 0.2 0.3\nFVAR 1.0\nC1 1 0.1 0.2 0.3 11.0 0.05\n"
                       "HKLF 4\nEND\nWGHT 0.05\n");
  EXPECT_EQ(r.run.shelx1.wght, (std::array<float, 6>{0.05f, 0.2f, 0.3f, 0.0f, 0.0f, 1.0f / 3.0f}));
}

TEST(ShelxReader, FreeVariableThatNoFvarGivesStops) {
  ShelxRun r;
  FatalError e = r.failure(kCubic + "SFAC C\nFVAR 1.0 0.7\nC1 1 0.1 0.2 0.3 31.0 0.05\nEND\n");
  EXPECT_EQ(e.routine(), "ReadShelx");
  EXPECT_EQ(e.message(), "Free variable 3 is not given on FVAR");
}

TEST(ShelxReader, AtomLinesWithoutUOrOccupancyTakeShelxlDefaults) {
  ShelxRun r;
  r.read_text(kCubic + "SFAC C O\nC1 1 0.1 0.2 0.3\nO1 2 0.2 0.2 0.3 10.5\nEND\n");
  ASSERT_EQ(r.run.atoms.natoms, 2);
  EXPECT_FLOAT_EQ(r.atom(1).occ, 1.0f);
  EXPECT_FLOAT_EQ(r.atom(1).uij[0], 0.05f);
  EXPECT_FLOAT_EQ(r.atom(2).occ, 0.5f);
  EXPECT_FLOAT_EQ(r.atom(2).uij[0], 0.05f);
}

// Written the way SHELXL 2013+ and Olex2 write files: indented lines under
// TITL, comments, suffixed and unknown-to-old-readers instructions, an
// include line, long continued restraints, lower case, CRLF, bare END.
TEST(ShelxReader, ModernFileLayout) {
  std::string text =
      "TITL modern\n"
      "    modern.res\n"
      "    created by SHELXL-2018/3\n"
      "CELL 0.71073 10 10 10 90 90 90 ! lambda and cell\n"
      "latt -1\n"
      "symm -x,-y,1/2+z\n"
      "SFAC C O ! carbon and oxygen, not calcium\n"
      "UNIT 4 4\n"
      "+extra.dfx\n"
      "RIGU_CCF3 C1 > O1\n"
      "DFIX_32 1.2 C1 O1\n"
      "SADI 0.02 C1 O1 C1 O1 =\n"
      "C1 O1 C1 O1 =\n"
      "   C1 O1\n"
      "NEUT\n"
      "XNPD 0.001\n"
      "FVAR 1.0\n"
      "C1 1 0.1 0.2 0.3 11.0 0.02 0.03 =\n"
      "   0.04 0.001 0.002 0.003\n"
      "\n"
      "o1 2 0.15 0.25 0.35 11.0 0.05 ! a comment\n"
      "HKLF 4\n"
      "END";
  std::string crlf;
  for (char c : text) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  ShelxRun r;
  r.read_text(crlf);
  ASSERT_EQ(r.run.atoms.natoms, 2);
  EXPECT_EQ(r.run.types.tz, (std::vector<int>{6, 8}));
  EXPECT_EQ(r.run.symm.nsym(), 2);
  EXPECT_EQ(r.atom(1).label, "C(1)    ");
  EXPECT_EQ(r.atom(2).label, "O(1)    ");
  // SHELX order U11 U22 U33 U23 U13 U12 stored as U11 U22 U33 U12 U13 U23
  std::array<float, 6> u{0.02f, 0.03f, 0.04f, 0.003f, 0.002f, 0.001f};
  EXPECT_EQ(r.atom(1).uij, u);
  EXPECT_FLOAT_EQ(r.atom(2).uij[0], 0.05f);
}

TEST(ShelxReader, HklfAndEndStopTheAtomListBeforeDifferencePeaks) {
  // What follows the one atom C1: peaks and pseudo-atoms of a .res file.
  const char* const kTails[] = {
      "END\nQ1 1 0.1 0.1 0.1 11.0 0.05 1.23\n",
      "HKLF 4\nQ1 1 0.1 0.1 0.1 11.0 0.05 1.23\nEND\n",
      "HKLF 4\nREM peaks\nH99 2 0.12 0.2 0.3 11.0 0.05\nEND\n",
      "HKLF 4\nH99 2 0.12 0.2 0.3 11.0 0.05\n",
  };
  for (const char* tail : kTails) {
    ShelxRun r;
    r.read_text(kCubic + "SFAC C H\nC1 1 0.1 0.2 0.3 11.0 0.05\n" + tail);
    EXPECT_EQ(r.run.atoms.natoms, 1) << tail;
  }
}

TEST(ShelxReader, DifferencePeakBeforeEndStops) {
  ShelxRun r;
  FatalError e = r.failure(kCubic + "SFAC C\nQ1 1 0.1 0.1 0.1 11.0 0.05 1.23\nEND\n");
  EXPECT_EQ(e.kind(), FatalError::Kind::Stop);
  EXPECT_EQ(e.exit_status(), 1);
  std::string console = r.console.str();
  std::string tail = console.substr(console.rfind("\n Error reading atom"));
  EXPECT_EQ(tail,
            "\n Error reading atom: Q(1)\n"
            " Line <<        1    0.100000    0.100000    0.100000    1.000000    0.050000"
            "    1.230000>>\n\n");
}

TEST(ShelxReader, UnknownWordsStopAsABadAtom) {
  ShelxRun r;
  FatalError e = r.failure(kCubic + "SFAC C\nBLAH\nEND\n");
  EXPECT_EQ(e.kind(), FatalError::Kind::Stop);
  EXPECT_NE(r.console.str().find("\n Error reading atom: B(LA\n Line <<>>\n\n"), std::string::npos);
}

TEST(ShelxReader, LattMinusSevenIsAcentricCCentred) {
  ShelxRun r;
  r.read_text("CELL 0.71073 10 12 14 90 100 90\nLATT -7\nSYMM -X, Y, 1/2-Z\nSFAC C\nEND\n");
  ASSERT_EQ(r.run.symm.nsym(), 4);
  // the C-centred copy of the twofold: 1/2-x, 1/2+y, 1/2-z
  const SymOp& op = r.run.symm.op(4);
  EXPECT_EQ(op.rot[0][0], -1.0f);
  EXPECT_EQ(op.rot[1][1], 1.0f);
  EXPECT_EQ(op.rot[2][2], -1.0f);
  EXPECT_EQ(op.trn, (std::array<float, 3>{0.5f, 0.5f, 0.5f}));
  EXPECT_NE(r.kq.str().find("\nLATT A C\nSYMM -X, Y, 1/2-Z\n"), std::string::npos);
  EXPECT_NE(r.mopro.str().find("SYMM   2 C\n  X, Y, Z\n"), std::string::npos);
}

TEST(ShelxReader, FileWithoutLattIsPrimitiveCentrosymmetric) {
  ShelxRun r;
  r.read_text("CELL 0.71073 10 12 14 90 100 90\nSYMM -X, 1/2+Y, 1/2-Z\nSFAC C\nEND\n");
  EXPECT_EQ(r.run.symm.nsym(), 4);
  EXPECT_NE(r.kq.str().find("\nLATT C P\n"), std::string::npos);
  EXPECT_NE(r.mopro.str().find("SYMM   2 P CENTRO\n"), std::string::npos);
}

TEST(ShelxReader, TwoOperatorsOnOneCardCountAsTwo) {
  // Pmm2 written with two of its operators on one card
  ShelxRun r;
  r.read_text("CELL 0.71073 10 12 14 90 90 90\nLATT -1\nSYMM -X,-Y,Z; X,-Y,Z\nSYMM -X,Y,Z\n"
              "SFAC C\nEND\n");
  EXPECT_EQ(r.run.symm.nsym(), 4);
  auto card = [](std::string text) {
    text.resize(30, ' ');
    return text + "\n";
  };
  EXPECT_NE(r.mopro.str().find("SYMM   4 P\n  X, Y, Z\n" + card(" -X,-Y,Z") + card(" X,-Y,Z") +
                               card(" -X,Y,Z") + "\n"),
            std::string::npos);
}

TEST(ShelxReader, LabelsFromShelxNames) {
  ShelxRun r;
  r.read_text(kCubic +
              "SFAC C CL H\n"
              "C12 1 0.1 0.1 0.1 11.0 0.05\n"
              "CL1 2 0.2 0.1 0.1 11.0 0.05\n"
              "H12A 3 0.3 0.1 0.1 11.0 0.05\n"
              "END\n");
  EXPECT_EQ(r.atom(1).label, "C(12)   ");
  EXPECT_EQ(r.atom(2).label, "CL(1)   ");
  EXPECT_EQ(r.atom(3).label, "H(12A)  ");
  EXPECT_EQ(r.atom(2).iz, 17);
  EXPECT_EQ(r.atom(3).lmax, 2);
  EXPECT_EQ(r.atom(1).lmax, 4);
}

TEST(ShelxReader, LabelsComeOutUnique) {
  const struct {
    const char* why;
    const char* atoms;
    std::vector<std::string> labels;
    const char* log;  // a line the log must hold
  } cases[] = {
      {"brackets as written are kept once", "C(20) 1 0.1 0.1 0.1\nCL(2) 2 0.3 0.1 0.1\n",
       {"C(20)   ", "CL(2)   "}, ""},
      {"a bare element name takes the lowest number free",
       "CU 3 0.1 0.1 0.1\nO 4 0.3 0.1 0.1\nO1 4 0.5 0.1 0.1\n", {"CU(1)   ", "O(2)    ", "O(1)    "},
       "     2   O()      -> O(2)    \n"},
      {"names repeated in residues: all renumbered within the element",
       "RESI 1 ALA\nN 5 0.1 0.1 0.1\nCA 1 0.3 0.1 0.1\nRESI 2 ALA\nN 5 0.5 0.1 0.1\n"
       "CA 1 0.7 0.1 0.1\nAC1 1 0.9 0.1 0.1\n",
       {"N(1)    ", "C(1)    ", "N(2)    ", "C(2)    ", "C(3)    "},
       "   C(A)     is given to     2 atoms\n"},
  };
  for (const auto& c : cases) {
    ShelxRun r;
    r.read_text(kCubic + "SFAC C CL CU O N\n" + c.atoms + "END\n");
    for (std::size_t i = 0; i < c.labels.size(); ++i)
      EXPECT_EQ(r.atom(static_cast<int>(i) + 1).label, c.labels[i]) << c.why;
    EXPECT_NE(r.log.str().find(c.log), std::string::npos) << c.why << "\n" << r.log.str();
  }
}

TEST(ShelxReader, RenameNumbersByTypeOrByAtom) {
  const std::string text = kCubic +
                           "SFAC C H\n"
                           "C1 1 0.1 0.1 0.1 11.0 0.05\nH1A 2 0.2 0.1 0.1 11.0 0.05\n"
                           "H1B 2 0.3 0.1 0.1 11.0 0.05\nC2 1 0.4 0.1 0.1 11.0 0.05\n"
                           "H2 2 0.5 0.1 0.1 11.0 0.05\nEND\n";
  ShelxRun by_type;
  by_type.run.opt.rename = 1;
  by_type.run.opt.rename_scheme = 1;
  by_type.read_text(text);
  EXPECT_EQ(by_type.atom(4).label, "C(2)    ");
  EXPECT_EQ(by_type.atom(5).label, "H(3)    ");

  ShelxRun by_atom;
  by_atom.run.opt.rename = 1;
  by_atom.read_text(text);
  EXPECT_EQ(by_atom.atom(4).label, "C(4)    ");
  EXPECT_EQ(by_atom.atom(5).label, "H(5)    ");
}

TEST(ShelxReader, ResidueNamesFollowTheAtoms) {
  ShelxRun r;
  r.read_text(kCubic +
              "SFAC C H N O\n"
              "RESI 8 SER\n"
              "N 3 0.1 0.1 0.1 11.0 0.05\nCA 1 0.2 0.1 0.1 11.0 0.05\n"
              "AFIX 13\nHA 2 0.2 0.2 0.1 11.0 -1.2\nAFIX 0\n"
              // the class may stand before the number
              "RESI LYS 9\nN 3 0.3 0.1 0.1 11.0 0.05\n"
              "RESI 0\nO1 4 0.4 0.1 0.1 11.0 0.05\n"
              "END\n");
  EXPECT_EQ(r.run.resi1.resflag, 1);
  ASSERT_EQ(r.run.resi1.resnam.size(), 5u);
  EXPECT_EQ(r.run.resi1.resnam[0], "N        8  SER  ");
  EXPECT_EQ(r.run.resi1.resnam[2], "HA       8  SER  ");
  EXPECT_EQ(r.run.resi1.resnam[3], "N        9  LYS  ");
  EXPECT_EQ(r.run.resi1.resnam[4], "O1       0       ");
  EXPECT_EQ(r.run.resi1.resshort[1], "CA       8");
  EXPECT_EQ(r.atom(2).iz, 6);  // CA is carbon by its SFAC number
}

TEST(ShelxReader, FatalStops) {
  {
    ShelxRun r;
    FatalError e = r.failure(kCubic + "SFAC C H\nH1 2 0.1 0.1 0.1 11.0 -1.2\nEND\n");
    EXPECT_EQ(e.kind(), FatalError::Kind::Stop);
    EXPECT_TRUE(r.console.str().ends_with("\n ProcessU :: Could not find parent atom \n"));
  }
  {
    ShelxRun r;
    FatalError e = r.failure("CELL 0.71073 10 10 10 90 90 90\nLATT 9\nEND\n");
    EXPECT_EQ(e.kind(), FatalError::Kind::Stop);
    EXPECT_EQ(r.console.str(), " Lattice type 9 is not supported\n");
  }
  {
    ShelxRun r;
    testing::ScratchDir dir;
    try {
      readshelx(r.run, "missing.ins", ShelxHeaders{});
      FAIL();
    } catch (const FatalError& e) {
      EXPECT_EQ(e.routine(), "ReadShelx");
      EXPECT_EQ(e.message(), "Error opening SHELX file...");
    }
  }
  {
    ShelxRun r;
    FatalError e = r.failure("CELL 0.71073 10 10 x 90 90 90\nEND\n");
    EXPECT_EQ(e.kind(), FatalError::Kind::Input);
    EXPECT_EQ(e.exit_status(), 2);
  }
}

TEST(ShelxReader, TooManyAtoms) {
  std::string text = kCubic + "SFAC C\n";
  text.reserve(text.size() + 100001 * 24);
  for (int i = 0; i <= kMaxAtoms; ++i) text += "C1 1 0.1 0.1 0.1 11 0.05\n";
  ShelxRun r;
  FatalError e = r.failure(text);
  EXPECT_EQ(e.routine(), "ReadShelx");
  EXPECT_EQ(e.message(), "Too many atoms");
  EXPECT_EQ(r.run.atoms.natoms, kMaxAtoms);
}

}  // namespace
}  // namespace tesk
