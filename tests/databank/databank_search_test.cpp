// Looking atoms up in the databank: which entry an environment takes, the
// defaults when none fits, the records' fine print, and the fatal stops.
#include <gtest/gtest.h>

#include "core/errors.hpp"
#include "databank/databank.hpp"
#include "databank_fixture.hpp"

namespace tesk {
namespace {

using testing::Molecules;
using M = Molecules;

// Ring carbon C-H: neighbours H1 C2, one six-membered planar ring.
constexpr const char* kRingCarbonEntries = R"(ATOM  6  CA  first aromatic CH
NEIG  nei 3  typ 2  ring 1  memb 6   m   planar T
  1   1  1
  2   6  2
PVAL  4.05 1.01 0.89 0.06
END
ATOM  6  CB  second aromatic CH
NEIG  nei 3  typ 2  ring 1  memb 6   m   planar T
  1   6  2
  2   1  1
PVAL  3.95 1.02 0.88 0.05
END
)";

FatalError search_error(Molecules& m, int atom) {
  try {
    readdb(m.run, atom);
  } catch (const FatalError& e) {
    return e;
  }
  ADD_FAILURE() << "search did not stop";
  return FatalError(FatalError::Kind::Stop, "", "");
}

TEST(DatabankSearch, FirstFittingEntryInFileOrderWins) {
  Molecules m;
  // An oxygen entry and a carbon entry of the wrong size come first.
  m.databank(std::string(R"(ATOM  8  O   some oxygen
NEIG  nei 3  typ 2  ring 1  memb 6   m   planar T
  1   1  1
  2   6  2
PVAL  6.0 1.0 1.0 0.1
END
ATOM  6  C5  five-ring CH
NEIG  nei 3  typ 2  ring 1  memb 5   m   planar T
  1   1  1
  2   6  2
PVAL  4.5 1.0 1.0 0.1
END
)") + kRingCarbonEntries);
  m.environment(M::kRingC, "m", 1, 6, true);
  readdb(m.run, M::kRingC);
  EXPECT_EQ(m.found_comment(), "first aromatic CH");
  EXPECT_EQ(m.run.db.mpoles1.ifind, 1);
  EXPECT_FLOAT_EQ(m.run.db.mpoles1.Pval, 4.05f);
  EXPECT_FLOAT_EQ(m.run.db.mpoles1.kappa[0], 1.01f);
  EXPECT_FLOAT_EQ(m.run.db.mpoles1.kappa[1], 0.89f);
  EXPECT_FLOAT_EQ(m.run.db.mpoles1.sigmaPv, 0.06f);
  EXPECT_EQ(m.run.opt.ldb_count, (std::array<int, 3>{1, 1, 0}));
}

TEST(DatabankSearch, EnvironmentMismatchesFallThroughToDefaults) {
  struct Case {
    const char* why;
    const char* sitesym;
    int iring, imemb;
    bool lpg;
    bool found;
  };
  const Case cases[] = {
      {"the environment of the entries", "m", 1, 6, true, true},
      {"a blank NEIG label would match any; 'm' needs M", "mm2", 1, 6, true, false},
      {"not in a ring", "m", 0, 0, true, false},
      {"two fused rings", "m", 2, 12, true, false},
      {"not planar", "m", 1, 6, false, false},
  };
  for (const Case& c : cases) {
    Molecules m;
    m.databank(kRingCarbonEntries);
    m.environment(M::kRingC, c.sitesym, c.iring, c.imemb, c.lpg);
    readdb(m.run, M::kRingC);
    EXPECT_EQ(m.run.db.mpoles1.ifind == 1, c.found) << c.why;
    if (!c.found) {
      // carbon: four valence electrons, sigma 0.01, spherical unit kappas
      EXPECT_FLOAT_EQ(m.run.db.mpoles1.Pval, 4.0f) << c.why;
      EXPECT_FLOAT_EQ(m.run.db.mpoles1.sigmaPv, 0.01f) << c.why;
      EXPECT_EQ(m.run.db.mpoles1.kappa, (std::array<float, 2>{1.0f, 1.0f})) << c.why;
      EXPECT_EQ(m.run.opt.ldb_count, (std::array<int, 3>{1, 0, 1})) << c.why;
    }
  }
}

TEST(DatabankSearch, SiteSymmetryLabels) {
  // Hydrogen entries: a blank PRNT label fits only a blank site symmetry.
  // Other entries: a blank NEIG label fits any site symmetry.
  constexpr const char* bank = R"(ATOM  1  H1  H blank label
PRNT  parent 6  nnei 3  nH 1
PVAL  0.9 1.1 1.2 0.03
END
ATOM  1  H2  H cyl label
PRNT  parent 6  nnei 3  nH 1   cyl
PVAL  0.8 1.1 1.2 0.03
END
ATOM  6  C1  C any label
NEIG  nei 3  typ 2  ring 1  memb 6
  1   1  1
  2   6  2
PVAL  4.1 1.0 1.0 0.05
END
)";
  struct Case {
    int atom;
    const char* sitesym;
    const char* comment;
  };
  const Case cases[] = {
      {M::kRingH, "", "H blank label"},
      {M::kRingH, "cyl", "H cyl label"},
      {M::kRingH, "NO", ""},
      {M::kRingC, "", "C any label"},
      {M::kRingC, "mm2", "C any label"},
  };
  for (const Case& c : cases) {
    Molecules m;
    m.databank(bank);
    m.parent(M::kRingH, 3, 6, 1);
    m.environment(c.atom, c.sitesym, 1, 6, true);
    readdb(m.run, c.atom);
    EXPECT_EQ(m.found_comment(), c.comment) << c.atom << " [" << c.sitesym << "]";
  }
}

TEST(DatabankSearch, HydrogenMatchesThroughItsParent) {
  constexpr const char* bank = R"(ATOM  1  HC3  ring CH hydrogen
PRNT  parent 6  nnei 3  nH 1   cyl
PVAL  0.89 1.13 1.29 0.03
END
ATOM  1  HC4  methyl hydrogen
PRNT  parent 6  nnei 4  nH 3   cyl
PVAL  0.92 1.14 1.25 0.03
END
)";
  Molecules m;
  m.databank(bank);
  m.parent(M::kMethylH, 4, 6, 3);
  m.environment(M::kMethylH, "cyl", 0, 0, true);
  readdb(m.run, M::kMethylH);
  EXPECT_EQ(m.found_comment(), "methyl hydrogen");
  // the hydroxyl hydrogen sits on an oxygen: no entry
  m.parent(M::kHydroxylH, 2, 8, 1);
  m.environment(M::kHydroxylH, "cyl", 0, 0, true);
  readdb(m.run, M::kHydroxylH);
  EXPECT_EQ(m.found_comment(), "");
  EXPECT_FLOAT_EQ(m.run.db.mpoles1.Pval, 1.0f);
  EXPECT_EQ(m.run.opt.ldb_count, (std::array<int, 3>{2, 1, 1}));
}

TEST(DatabankSearch, FunctionalGroupEntries) {
  constexpr const char* bank = R"(ATOM  8  OHa  alcohol oxygen
NEIG  nei 2  typ 2  ring 0  memb 0   m
  1   1  1
  2   6  1
EXCEPT  GROUP alcohol
PVAL  6.1 1.0 1.0 0.1
END
ATOM  8  OHc  carboxylic oxygen
NEIG  nei 2  typ 2  ring 0  memb 0   m
  1   1  1
  2   6  1
except  group   Carboxylic
PVAL  6.2 1.0 1.0 0.1
END
ATOM  8  OH   plain hydroxyl oxygen
NEIG  nei 2  typ 2  ring 0  memb 0   m
  1   1  1
  2   6  1
PVAL  6.3 1.0 1.0 0.1
END
)";
  struct Case {
    const char* group;
    const char* comment;
  };
  const Case cases[] = {
      {"", "plain hydroxyl oxygen"},      // EXCEPT entries skipped without a group
      {"alcohol", "alcohol oxygen"},
      {"carboxylic", "carboxylic oxygen"},  // names compare case-blind
      {"phenol", ""},                      // no entry names the group
  };
  for (const Case& c : cases) {
    Molecules m;
    m.databank(bank);
    m.group(M::kMethanolO, c.group);
    m.environment(M::kMethanolO, "m", 0, 0, true);
    readdb(m.run, M::kMethanolO);
    EXPECT_EQ(m.found_comment(), c.comment) << c.group;
    if (std::string(c.comment).empty()) {
      EXPECT_FLOAT_EQ(m.run.db.mpoles1.Pval, 6.0f);
      EXPECT_FLOAT_EQ(m.run.db.mpoles1.sigmaPv, 0.01f);
    }
  }
}

TEST(DatabankSearch, ExceptLineWithoutGroupWordNamesNoGroup) {
  Molecules m;
  m.run.opt.verbosity = 2;
  m.databank(R"(ATOM  8  OH  hydroxyl
NEIG  nei 2  typ 2  ring 0  memb 0   m
  1   1  1
  2   6  1
EXCEPT  alcohol
PVAL  6.1 1.0 1.0 0.1
END
)");
  m.group(M::kMethanolO, "alcohol");
  m.environment(M::kMethanolO, "m", 0, 0, true);
  readdb(m.run, M::kMethanolO);
  EXPECT_EQ(m.found_comment(), "");
  EXPECT_NE(m.log.str().find("      group read from DB = []\n"), std::string::npos);
}

TEST(DatabankSearch, DefaultPlanarityFollowsNeighbourCount) {
  // No T/F word: three neighbours count as planar, four as not planar.
  constexpr const char* bank = R"(ATOM  6  CA  ring carbon
NEIG  nei 3  typ 2  ring 1  memb 6   m
  1   1  1
  2   6  2
PVAL  4.05 1.0 1.0 0.1
END
ATOM  6  CM  methanol carbon
NEIG  nei 4  typ 2  ring 0  memb 0   3m
  1   1  3
  2   8  1
PVAL  4.15 1.0 1.0 0.1
END
)";
  struct Case {
    int atom;
    const char* sitesym;
    int iring, imemb;
    bool lpg;
    const char* comment;
  };
  const Case cases[] = {
      {M::kRingC, "m", 1, 6, true, "ring carbon"},
      {M::kRingC, "m", 1, 6, false, ""},
      {M::kMethanolC, "3m", 0, 0, false, "methanol carbon"},
      {M::kMethanolC, "3m", 0, 0, true, ""},
  };
  for (const Case& c : cases) {
    Molecules m;
    m.databank(bank);
    m.environment(c.atom, c.sitesym, c.iring, c.imemb, c.lpg);
    readdb(m.run, c.atom);
    EXPECT_EQ(m.found_comment(), c.comment) << c.atom << " lpg " << c.lpg;
  }
}

TEST(DatabankSearch, PopulationRecords) {
  // Seven numbers: two (l, m, P) triples, the seventh ignored; l and m are
  // rounded to the nearest integer; comments may stand between records.
  Molecules m;
  m.databank(R"(ATOM  6  CA  ring carbon
! neighbours follow
NEIG  nei 3  typ 2  ring 1  memb 6   m   planar T
!  running number, Z, count
  1   1  1
! the carbons
  2   6  2
PVAL  4.05 1.0 1.0 0.1
! populations
PLMS  2 0 -0.2  3.2 -2.9 0.3  4
PLMS  1 1  0.05
!
PLMS  4 -4 0.01
END
PLMS  2 2  0.9
)");
  m.environment(M::kRingC, "m", 1, 6, true);
  readdb(m.run, M::kRingC);
  const Populations& p = m.run.db.mpoles1.plm;
  EXPECT_FLOAT_EQ(p.at(2, 0), -0.2f);
  EXPECT_FLOAT_EQ(p.at(3, -3), 0.3f);
  EXPECT_FLOAT_EQ(p.at(1, 1), 0.05f);
  EXPECT_FLOAT_EQ(p.at(4, -4), 0.01f);
  EXPECT_FLOAT_EQ(p.at(2, 2), 0.0f);  // after the entry's end
  EXPECT_FLOAT_EQ(p.at(4, 0), 0.0f);
}

TEST(DatabankSearch, OnlyUpperCaseAtomInColumnOneStartsAnEntry) {
  Molecules m;
  m.databank(R"(  ATOM  6  CX  indented header
NEIG  nei 3  typ 2  ring 1  memb 6   m   planar T
  1   1  1
  2   6  2
PVAL  5.0 1.0 1.0 0.1
END
atom  6  CY  lower-case header
NEIG  nei 3  typ 2  ring 1  memb 6   m   planar T
  1   1  1
  2   6  2
PVAL  5.0 1.0 1.0 0.1
END
ATOMIC  6  CZ  word starting with ATOM
NEIG  nei 3  typ 2  ring 1  memb 6   m   planar T
  1   1  1
  2   6  2
PVAL  4.2 1.0 1.0 0.1
END
)");
  m.environment(M::kRingC, "m", 1, 6, true);
  readdb(m.run, M::kRingC);
  EXPECT_EQ(m.found_comment(), "word starting with ATOM");
}

TEST(DatabankSearch, MissingParentRecordTakesTheNextEntrysRecords) {
  // The first hydrogen entry lacks its PRNT record: the reader skips over the
  // next header to the next PRNT, and the match keeps the first comment.
  Molecules m;
  m.databank(R"(ATOM  1  HX  entry without parent record
PVAL  0.5 1.0 1.0 0.1
END
ATOM  1  HY  complete entry
PRNT  parent 6  nnei 3  nH 1   cyl
PVAL  0.89 1.1 1.2 0.03
END
)");
  m.parent(M::kRingH, 3, 6, 1);
  m.environment(M::kRingH, "cyl", 1, 6, true);
  readdb(m.run, M::kRingH);
  EXPECT_EQ(m.found_comment(), "entry without parent record");
  EXPECT_FLOAT_EQ(m.run.db.mpoles1.Pval, 0.89f);
}

TEST(DatabankSearch, EndOfFileInsideARecordSearchIsFatal) {
  // A carbon entry cut after its header, with a fitting entry before it and
  // a hydrogen entry after it: the stop comes only when a search reaches it.
  constexpr const char* bank = R"(ATOM  1  H  ring hydrogen
PRNT  parent 6  nnei 3  nH 1   cyl
PVAL  0.89 1.1 1.2 0.03
END
ATOM  6  CA  ring carbon
NEIG  nei 3  typ 2  ring 1  memb 6   m   planar T
  1   1  1
  2   6  2
PVAL  4.05 1.0 1.0 0.1
END
ATOM  6  CM  truncated
)";
  Molecules m;
  m.databank(bank);
  m.environment(M::kRingC, "m", 1, 6, true);
  readdb(m.run, M::kRingC);
  EXPECT_EQ(m.found_comment(), "ring carbon");
  m.parent(M::kRingH, 3, 6, 1);
  m.environment(M::kRingH, "cyl", 0, 0, true);
  readdb(m.run, M::kRingH);
  EXPECT_EQ(m.found_comment(), "ring hydrogen");

  m.environment(M::kMethanolC, "3m", 0, 0, false);
  FatalError e = search_error(m, M::kMethanolC);
  EXPECT_EQ(e.kind(), FatalError::Kind::Err);
  EXPECT_EQ(e.routine(), "ReadFile");
  EXPECT_EQ(e.message(),
            "Error reading databank test.db: the file ends at line 11 inside the entry of line 11");

  // A match needs one more record after its last PLMS line.
  Molecules last;
  last.databank(R"(ATOM  6  CA  ring carbon
NEIG  nei 3  typ 2  ring 1  memb 6   m   planar T
  1   1  1
  2   6  2
PVAL  4.05 1.0 1.0 0.1
PLMS  2 0 -0.2
! no END line
)");
  last.environment(M::kRingC, "m", 1, 6, true);
  EXPECT_EQ(search_error(last, M::kRingC).routine(), "ReadFile");
}

TEST(DatabankSearch, TableLimitsAreFatalWhenTheScanReachesThem) {
  Molecules m;
  m.databank(R"(ATOM  6  CA  ring carbon
NEIG  nei 3  typ 2  ring 1  memb 6   m   planar T
  1   1  1
  2   6  2
PVAL  4.05 1.0 1.0 0.1
PLMS  2 0 -0.2  5 0 0.1
END
ATOM  6  CW  too many types
NEIG  nei 11  typ 11  ring 0  memb 0   NO
)");
  m.environment(M::kRingC, "m", 1, 6, true);
  FatalError e = search_error(m, M::kRingC);
  EXPECT_EQ(e.routine(), "ReadDB");
  EXPECT_EQ(e.message(), "PLMS l or m out of range in databank line 6: PLMS  2 0 -0.2  5 0 0.1");

  Molecules m2;
  m2.databank(R"(ATOM  6  CW  too many types
NEIG  nei 11  typ 11  ring 0  memb 0   NO
)");
  m2.environment(M::kMethanolC, "3m", 0, 0, false);
  FatalError e2 = search_error(m2, M::kMethanolC);
  EXPECT_EQ(e2.routine(), "ReadDB");
  EXPECT_EQ(e2.message(),
            "More than 10 neighbour types in databank line 2: NEIG  nei 11  typ 11  ring 0  memb 0   NO");

  for (const char* plms : {"PLMS  2 3 0.1", "PLMS  -1 0 0.1", "PLMS  1 -2 0.1"}) {
    Molecules m3;
    m3.databank(std::string(R"(ATOM  6  CA  ring carbon
NEIG  nei 3  typ 2  ring 1  memb 6   m   planar T
  1   1  1
  2   6  2
PVAL  4.05 1.0 1.0 0.1
)") + plms + "\nEND\n");
    m3.environment(M::kRingC, "m", 1, 6, true);
    EXPECT_EQ(search_error(m3, M::kRingC).routine(), "ReadDB") << plms;
  }
}

TEST(DatabankSearch, UnreadableNumbersAreReadErrorsWhenReached) {
  // A header whose atomic number is not an integer stops every search that
  // gets to it, whatever element is sought; a match before it does not.
  constexpr const char* bank = R"(ATOM  1  H  ring hydrogen
PRNT  parent 6  nnei 3  nH 1   cyl
PVAL  0.89 1.1 1.2 0.03
END
ATOM  C  CX  atomic number as a symbol
NEIG  nei 3  typ 2  ring 1  memb 6   m   planar T
)";
  Molecules m;
  m.databank(bank);
  m.parent(M::kRingH, 3, 6, 1);
  m.environment(M::kRingH, "cyl", 0, 0, true);
  readdb(m.run, M::kRingH);
  EXPECT_EQ(m.found_comment(), "ring hydrogen");
  m.environment(M::kRingC, "m", 1, 6, true);
  FatalError e = search_error(m, M::kRingC);
  EXPECT_EQ(e.kind(), FatalError::Kind::Input);
  EXPECT_EQ(e.exit_status(), 2);

  Molecules n;
  n.databank(R"(ATOM  6  CA  ring carbon
NEIG  nei three  typ 2  ring 1  memb 6   m   planar T
)");
  n.environment(M::kRingC, "m", 1, 6, true);
  EXPECT_EQ(search_error(n, M::kRingC).kind(), FatalError::Kind::Input);
}

TEST(DatabankSearch, StoreScalesByOccupancyAndFillsTheKappaSet) {
  Molecules m;
  m.databank(R"(ATOM  6  CA  ring carbon
NEIG  nei 3  typ 2  ring 1  memb 6   m   planar T
  1   1  1
  2   6  2
PVAL  4.0 1.02 0.90 0.06
PLMS  2 0 -0.2  3 3 0.3
END
)");
  m.run.atoms.at(M::kRingC).occ = 0.5f;
  m.run.atoms.at(M::kRingC).sftype = 1;
  m.run.db.kappaset.assign(21, 0);
  m.run.db.kappaset[M::kRingC - 1] = 2;
  m.environment(M::kRingC, "m", 1, 6, true);
  readdb(m.run, M::kRingC);
  store_db_result(m.run, M::kRingC);
  const AtomPoles& p = m.run.db.mpoles.at(M::kRingC - 1);
  EXPECT_FLOAT_EQ(p.pv, 2.0f);
  EXPECT_FLOAT_EQ(p.sigma, 0.06f);
  EXPECT_FLOAT_EQ(p.plm.at(2, 0), -0.1f);
  EXPECT_FLOAT_EQ(p.plm.at(3, 3), 0.15f);
  ASSERT_GE(m.run.db.kappas.size(), 2u);
  EXPECT_FLOAT_EQ(m.run.db.kappas[1].kappa[0], 1.02f);
  EXPECT_FLOAT_EQ(m.run.db.kappas[1].kappa[1], 0.90f);
  EXPECT_EQ(m.run.db.kappas[1].sftype, 1);
  EXPECT_EQ(m.run.db.nkappas, 2);

  // Not looked up: the water oxygen keeps its six free-atom valence electrons.
  m.run.db.kappaset[M::kWaterO - 1] = 3;
  store_free_atom(m.run, M::kWaterO);
  EXPECT_FLOAT_EQ(m.run.db.mpoles.at(M::kWaterO - 1).pv, 6.0f);
  EXPECT_EQ(m.run.db.kappas[2].kappa, (std::array<float, 2>{1.0f, 1.0f}));
  EXPECT_EQ(m.run.db.nkappas, 3);
}

}  // namespace
}  // namespace tesk
