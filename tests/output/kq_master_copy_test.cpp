// A run from a KQ pair: the new master file is the previous one with this
// run's ATOM and KEY tables put in; a previous file that lacks a line ending
// one of the copy steps is a read error naming that line.
#include <gtest/gtest.h>

#include <sstream>

#include "core/errors.hpp"
#include "model/run.hpp"
#include "output/kq_master.hpp"
#include "output/kq_master_copy.hpp"
#include "test_support.hpp"

namespace tesk {
namespace {

const std::string kHead =
    "TITLE my refinement\n"
    "CELL      5.0000      6.0000      7.0000     90.0000     90.0000     90.0000   \n"
    "\n"  // an empty line is copied as 200 blanks
    "LATT C P\n";
const std::string kOldAtoms =
    "ATOM     ATOM0    AX1 ATOM1    ATOM2   AX2 R/L TP TBL KAP LMX SITESYM  CHEMCON\n"
    "OLD(1)   row of the earlier run\n"
    "end atom\n";  // END is found in any letter case
const std::string kMiddle = "KEEP  kappa    1   2\nWEIGHT  user's own weights\n";
const std::string kOldKeys = "KEY     old header\nOLD(1)  111\nKAPPA   110000\n";
const std::string kTail = "extcn   1000000\nOVTHP   1\nEND KEY\n   MODULE KQGEOM\n";

struct PreviousRun {
  tesk::Run run;
  std::ostringstream kq;
  testing::ScratchDir dir;

  explicit PreviousRun(const std::string& previous) {
    testing::write_file("old.mas", previous);
    run.opt.ftype = 2;
    run.opt.kqold = fixed_width("old.mas", 60);
    run.out.kqmas.attach(kq);
    Atom& a = run.atoms.at(run.atoms.append("test"));
    a.label = "C(1)    ";
    a.iz = 6;
    a.sitesym = "m    ";
    run.atoms.natoms = 1;
    run.db.kappaset = {1};
    run.db.nkappaset = 1;
  }
};

TEST(KqMasterCopy, PreviousFileAroundTheNewTables) {
  PreviousRun p(kHead + kOldAtoms + kMiddle + kOldKeys + kTail);
  copy_kq_master_head(p.run);
  p.kq << "<ATOM table>\n";
  write_kq_master_tail(p.run);
  const std::string key =
      "KEY     XYZ --U2-- ----U3---- ------U4------- M- -D- --Q-- ---O--- ----H----\n"
      "C(1)    000 000000 0000000000 000000000000000 00 000 00000 0000000 000000000\n"
      "KAPPA   000000\n";
  const std::string head =
      "TITLE my refinement\n"
      "CELL      5.0000      6.0000      7.0000     90.0000     90.0000     90.0000\n" +
      std::string(200, ' ') + "\nLATT C P\n";
  EXPECT_EQ(p.kq.str(), head + "<ATOM table>\n" + kMiddle + key + kTail);
}

TEST(KqMasterCopy, MissingLineIsAReadErrorNamingIt) {
  struct Row {
    std::string previous;
    std::string missing;
  };
  const Row rows[] = {
      {kHead, "ATOM"},
      {kHead + "ATOM     ATOM0\n" + kMiddle + kOldKeys, "END"},
      {kHead + kOldAtoms + kMiddle, "KEY"},
      {kHead + kOldAtoms + kMiddle + kOldKeys, "EXTCN"},
  };
  for (const Row& row : rows) {
    PreviousRun p(row.previous);
    try {
      copy_kq_master_head(p.run);
      write_kq_master_tail(p.run);
      ADD_FAILURE() << "no stop without " << row.missing;
    } catch (const FatalError& e) {
      EXPECT_EQ(e.exit_status(), 2);
      EXPECT_EQ(e.routine(), "old.mas");
      EXPECT_EQ(e.message(), "the previous KQ master file has no line beginning with \"" +
                                 row.missing + "\"");
    }
  }
}

}  // namespace
}  // namespace tesk
