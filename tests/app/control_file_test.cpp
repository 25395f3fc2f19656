// Reading tesk.inp: commands, option words, defaults and the fatal stops.
#include "app/control_file.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <vector>

#include "core/errors.hpp"
#include "model/run.hpp"
#include "test_support.hpp"

namespace tesk {
namespace {

using testing::ScratchDir;
using testing::write_file;

struct ControlRun {
  ScratchDir dir;
  std::ostringstream log, console;
  tesk::Run run;
  explicit ControlRun(const std::string& control) {
    init(run);
    run.out.log.attach(log);
    run.out.console.attach(console);
    write_file("tesk.inp", control);
  }
  void read() { readinp(run); }
};

FatalError read_failure(const std::string& control) {
  ControlRun c(control);
  try {
    c.read();
  } catch (const FatalError& e) {
    return e;
  }
  ADD_FAILURE() << "no fatal stop for:\n" << control;
  return FatalError(FatalError::Kind::Stop, "", "");
}

TEST(ControlFile, TwoLinesGiveAllDefaults) {
  ControlRun c("FORMAT *shelx\nINPUT x.ins\n");
  c.read();
  const Options& o = c.run.opt;
  EXPECT_EQ(o.ftype, 1);
  EXPECT_EQ(o.ifra, 1);
  EXPECT_EQ(o.name1.substr(0, 6), "x.ins ");
  EXPECT_EQ(o.name1.size(), 60u);
  EXPECT_EQ(o.verbosity, 1);
  EXPECT_FLOAT_EQ(o.tols[0], 0.2f);
  EXPECT_FLOAT_EQ(o.tols[1], 0.1f);
  EXPECT_FLOAT_EQ(o.tols[2], 0.1f);
  EXPECT_EQ(o.compfrag, -1);
  EXPECT_EQ(o.rings_flag, 0);
  EXPECT_EQ(o.ldb, 0);
  EXPECT_EQ(o.lchem[0], 1);
  EXPECT_EQ(o.lchem[1], 1);
  EXPECT_EQ(o.scaling, 1);
  EXPECT_NE(c.log.str().find(" Do not search for complete fragments\n"), std::string::npos);
}

TEST(ControlFile, FormatNeedsAStarredWord) {
  FatalError e = read_failure("FORMAT shelx\nINPUT x.ins\n");
  EXPECT_EQ(e.routine(), "ReadInp");
  EXPECT_EQ(e.message(), "Unknown input file format");
  EXPECT_EQ(e.exit_status(), 1);
}

TEST(ControlFile, MissingControlFile) {
  ScratchDir dir;
  tesk::Run run;
  init(run);
  try {
    readinp(run);
    FAIL();
  } catch (const FatalError& e) {
    EXPECT_EQ(e.message(), "Unable to open TESK input file tesk.inp");
  }
}

TEST(ControlFile, ScaleRecognisesOnlyItsThreeWords) {
  ControlRun sigma("FORMAT *shelx\nINPUT x.ins\nSCALE *sigma diff fract\n");
  sigma.read();
  EXPECT_EQ(sigma.run.opt.scaling, 3);
  FatalError e = read_failure("FORMAT *shelx\nINPUT x.ins\nSCALE sigma diff *fract\n");
  EXPECT_EQ(e.message(), "Unknown scaling method");
}

TEST(ControlFile, OptionWordsCountOnlyWhenStarred) {
  ControlRun c(
      "FORMAT *shelx\nINPUT x.ins\nDISORD  extendH  db\nKEYGEN  XYZUIJ all ordered  MULT all ordered\n"
      "CHEMCON *hydrogen\n");
  c.read();
  EXPECT_EQ(c.run.opt.disorder[0], 0);
  EXPECT_EQ(c.run.opt.disorder[1], 0);
  for (bool k : c.run.opt.lkeys) EXPECT_FALSE(k);
  EXPECT_EQ(c.run.opt.lchem[0], 1);
  EXPECT_EQ(c.run.opt.lchem[1], 0);
}

TEST(ControlFile, KeySwitchesAreMadeConsistent) {
  ControlRun c("FORMAT *shelx\nINPUT x.ins\nKEYGEN *XYZUIJ *all *ordered\n");
  c.read();
  const auto& k = c.run.opt.lkeys;
  EXPECT_TRUE(k[0]);
  EXPECT_FALSE(k[1]);
  EXPECT_TRUE(k[2]);
  EXPECT_NE(c.log.str().find("   XYZUIJ=.T. all=.F. ordered=.T.\n     MULT=.F. all=.F. ordered=.F. kappas=.F.\n"),
            std::string::npos);
}

TEST(ControlFile, NegativeCellCountSearchesBothWays) {
  ControlRun c("FORMAT *shelx\nINPUT x.ins\nNCELLS -3\n");
  c.read();
  EXPECT_EQ(c.run.opt.compfrag, 3);
  EXPECT_NE(c.log.str().find(" Search for complete fragments within  -3 ...  +3 unit cells\n"),
            std::string::npos);
}

TEST(ControlFile, RadiiChangeKnownElementsUpToCurium) {
  ControlRun c("FORMAT *shelx\nINPUT x.ins\nRADII C 0.8 Xx 1.0 CL 1.1 Cs 2.0 Cm 1.7 Bk 1.6\n");
  c.read();
  EXPECT_FLOAT_EQ(c.run.covrad[6], 0.8f);
  EXPECT_FLOAT_EQ(c.run.covrad[17], 1.1f);
  EXPECT_FLOAT_EQ(c.run.covrad[55], 2.0f);  // caesium may be given the radius it lacks
  EXPECT_FLOAT_EQ(c.run.covrad[96], 1.7f);
  EXPECT_EQ(c.log.str().find("radius of Bk"), std::string::npos);  // beyond the table
  EXPECT_NE(c.log.str().find(" Changing covalent radius of C  to    0.800 Angstroms\n"),
            std::string::npos);
  EXPECT_NE(c.log.str().find(" Changing covalent radius of Cl to    1.100 Angstroms\n"),
            std::string::npos);
}

TEST(ControlFile, RadiiWithUnequalCountsStops) {
  FatalError e = read_failure("FORMAT *shelx\nINPUT x.ins\nRADII C 0.8 Cl\n");
  EXPECT_EQ(e.message(), "Error while reading file tesk.inp");
}

TEST(ControlFile, MissingAndMalformedNumbers) {
  FatalError few = read_failure("FORMAT *shelx\nINPUT x.ins\nTOLS 0.3 0.1\n");
  EXPECT_EQ(few.kind(), FatalError::Kind::Input);
  EXPECT_EQ(few.exit_status(), 2);
  FatalError bad = read_failure("FORMAT *shelx\nINPUT x.ins\nVERBOSE 2.5\n");
  EXPECT_EQ(bad.kind(), FatalError::Kind::Err);
  EXPECT_EQ(bad.message(), "Error while reading file tesk.inp");
}

// A lone sign passes the keyword scan as a number (F editing reads it as
// zero) but is no number for the free-format read that follows.
TEST(ControlFile, SignWithoutDigitsIsAMalformedNumber) {
  FatalError tols = read_failure("FORMAT *shelx\nINPUT x.ins\nTOLS bond - ring 0.1 group 0.1\n");
  EXPECT_EQ(tols.kind(), FatalError::Kind::Err);
  EXPECT_EQ(tols.routine(), "ReadInp");
  EXPECT_EQ(tols.message(), "Error while reading file tesk.inp");
  FatalError radii = read_failure("FORMAT *shelx\nINPUT x.ins\nRADII C 0.8 N .\n");
  EXPECT_EQ(radii.kind(), FatalError::Kind::Input);
  EXPECT_EQ(radii.exit_status(), 2);
}

TEST(ControlFile, RingSizesOutsideThreeToHundredStop) {
  FatalError e = read_failure("FORMAT *shelx\nINPUT x.ins\nRINGS 2 8\n");
  EXPECT_EQ(e.routine(), "ReadInp");
  ControlRun ok("FORMAT *shelx\nINPUT x.ins\nRINGS 3 8 *special\n");
  ok.read();
  EXPECT_EQ(ok.run.opt.rings_flag, 1);
  EXPECT_EQ(ok.run.opt.ring1[2], 1);
}

TEST(ControlFile, ToKqSwitchesTheOtherStagesOff) {
  ControlRun c(
      "FORMAT *shelx\nINPUT Aspirin.INS *tokq\nDATABANK my.db\nEXTEND_H\nRINGS 3 8\n");
  c.read();
  EXPECT_EQ(c.run.opt.lsx, 1);
  EXPECT_EQ(c.run.opt.ldb, 0);
  EXPECT_EQ(c.run.opt.lfh, 0);
  EXPECT_EQ(c.run.opt.rings_flag, 0);
  EXPECT_EQ(c.run.opt.name1.substr(0, 11), "Aspirin.INS");
  const std::string log = c.log.str();
  EXPECT_NE(log.find(" ALL OTHER OPTIONS WILL BE IGNORED !!!!!!\n"), std::string::npos);
  EXPECT_EQ(log.find("Atomic covalent radii"), std::string::npos);
}

TEST(ControlFile, RenameSchemeAndKqNames) {
  ControlRun c("FORMAT *kq\nINPUT old.mas new.inp *rename 1\n");
  c.read();
  EXPECT_EQ(c.run.opt.rename, 1);
  EXPECT_EQ(c.run.opt.rename_scheme, 1);
  EXPECT_EQ(c.run.opt.kqold.substr(0, 8), "old.mas ");
  EXPECT_EQ(c.run.opt.name1.substr(0, 8), "new.inp ");
  EXPECT_NE(c.log.str().find(" Input file format = KQ    file(s) = old.mas new.inp\n"),
            std::string::npos);
  EXPECT_NE(c.log.str().find(" Change SHELX atom names ( irs=1 : counting atoms types ) \n"),
            std::string::npos);
}

// The word after a CIF name is the data block, unless it is an INPUT option.
TEST(ControlFile, CifFormatWithAndWithoutABlock) {
  const struct {
    const char* input;
    const char* block;
    const char* summary;
  } cases[] = {
      {"INPUT Iam.cif\n", "", " Input file format = CIF    file(s) = Iam.cif   data block = the first with atom sites\n"},
      {"INPUT Iam.cif data_Iam\n", "data_Iam", " Input file format = CIF    file(s) = Iam.cif   data block = data_Iam\n"},
      {"INPUT Iam.cif *rename 0\n", "", " Input file format = CIF    file(s) = Iam.cif   data block = the first with atom sites\n"},
      {"INPUT Iam.cif 1000007 *tokq\n", "1000007", " Input file format = CIF    file(s) = Iam.cif   data block = 1000007\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.input);
    ControlRun r(std::string("FORMAT shelx *cif\n") + c.input + "NCELLS 1\n");
    r.read();
    EXPECT_EQ(r.run.opt.ftype, 6);
    EXPECT_EQ(r.run.opt.ifra, 1);  // a CIF has a cell: fragments are completed
    EXPECT_EQ(r.run.opt.name1.substr(0, 8), "Iam.cif ");
    EXPECT_EQ(r.run.opt.cifblock, c.block);
    EXPECT_NE(r.log.str().find(c.summary), std::string::npos) << r.log.str();
  }
}

TEST(ControlFile, KqFormatNeedsTwoNames) {
  FatalError e = read_failure("FORMAT *kq\nINPUT old.mas\n");
  EXPECT_EQ(e.routine(), "ReadChar");
}

TEST(ControlFile, DatabankNameFromLineOrEnvironment) {
  ::unsetenv("TESK_DB");
  ControlRun alone("FORMAT *shelx\nINPUT x.ins\nDATABANK\n");
  alone.read();
  EXPECT_EQ(alone.run.opt.ldb, 1);
  EXPECT_EQ(alone.run.opt.abank, std::string(60, ' '));
  ::setenv("TESK_DB", "/data/Bank.db", 1);
  ControlRun env("FORMAT *shelx\nINPUT x.ins\nDATABANK\n");
  env.read();
  EXPECT_EQ(env.run.opt.abank.substr(0, 13), "/data/Bank.db");
  ::unsetenv("TESK_DB");
  ControlRun named("FORMAT *shelx\nINPUT x.ins\ndatabank My.DB\n");
  named.read();
  EXPECT_EQ(named.run.opt.abank.substr(0, 6), "My.DB ");
}

// NFRAG, FRAG and CHFRAG are known by their first columns; a FRAG line that
// is not all integers is kept for the fragment builder to report.
TEST(ControlFile, FragmentLines) {
  struct Row {
    const char* lines;
    int nfrag;
    std::vector<std::vector<int>> frag;
    std::vector<bool> readable;
    bool chfrag_given;
    std::vector<float> chfrag;
  };
  const Row rows[] = {
      {"", 0, {}, {}, false, {}},
      {"NFRAG 2\nFRAG 1 1 -25\nfrag 2 26 -50\nCHFRAG 0. -1.\n", 2, {{1, 1, -25}, {2, 26, -50}},
       {true, true}, true, {0.0f, -1.0f}},
      {"FRAG1 1 -5\nFRAG 1 1 -2.5\nFRAG\n", 0, {{1, 1, -5}, {}, {}}, {true, false, true}, false,
       {}},
      {"CHFRAG 0.5 0.5\nCHFRAG charge -1\n", 0, {}, {}, true, {-1.0f, 0.5f}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.lines);
    ControlRun c(std::string("FORMAT *shelx\nINPUT x.ins\n") + r.lines);
    c.read();
    const Options& o = c.run.opt;
    EXPECT_EQ(o.nfrag, r.nfrag);
    ASSERT_EQ(o.frag.size(), r.frag.size());
    for (std::size_t i = 0; i < r.frag.size(); ++i) {
      EXPECT_EQ(o.frag[i].numbers, r.frag[i]);
      EXPECT_EQ(o.frag[i].readable, r.readable[i]);
    }
    EXPECT_EQ(o.chfrag_given, r.chfrag_given);
    EXPECT_EQ(o.chfrag, r.chfrag);
    EXPECT_EQ(o.ftype, 1);
  }
  EXPECT_EQ(read_failure("FORMAT *shelx\nINPUT x.ins\nNFRAG two\n").exit_status(), 2);
  EXPECT_EQ(read_failure("FORMAT *shelx\nINPUT x.ins\nNFRAG\n").exit_status(), 2);
  // Charges that are no numbers, or none at all: a read error naming the line.
  for (const char* chfrag : {"CHFRAG - 1", "CHFRAG nan", "CHFRAG 0. -inf", "CHFRAG 1e30", "CHFRAG minus one"}) {
    const FatalError e = read_failure(std::string("FORMAT *shelx\nINPUT x.ins\n") + chfrag + "\n");
    EXPECT_EQ(e.exit_status(), 2) << chfrag;
    EXPECT_TRUE(e.message().ends_with(chfrag)) << e.message();
  }
}

TEST(ControlFile, WindowsLineEndingsReadTheSame) {
  ControlRun c("FORMAT *shelx\r\nINPUT x.ins\r\nVERBOSE 3\r\n");
  c.read();
  EXPECT_EQ(c.run.opt.verbosity, 3);
  EXPECT_EQ(c.run.opt.name1.substr(0, 6), "x.ins ");
}

}  // namespace
}  // namespace tesk
