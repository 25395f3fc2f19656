// The log of a databank search, line by line, at the two trace levels: users
// grep it for "DB comment" and "ReadDB :: atom", so its text is fixed.
#include <gtest/gtest.h>

#include "databank/databank.hpp"
#include "databank_fixture.hpp"

namespace tesk {
namespace {

using testing::Molecules;
using M = Molecules;

std::string reading(const std::string& header) {
  return "  Reading atom =  " + fixed_width(header, 200) + "\n";
}

const std::string kNoPopulations =
    "    2nd Monopole:  0.000\n"
    "         Dipoles:  0.000  0.000  0.000\n"
    "     Quadrupoles:  0.000  0.000  0.000  0.000  0.000\n"
    "       Octupoles:  0.000  0.000  0.000  0.000  0.000  0.000  0.000\n"
    "   Hexadecapoles:  0.000  0.000  0.000  0.000  0.000  0.000  0.000  0.000  0.000\n";

constexpr const char* kCarbonBank = R"(ATOM  6  CA  ring carbon, not planar
NEIG  nei 3  typ 2  ring 1  memb 6   m   planar F
  1   1  1
  2   6  2
PVAL  4.0 1.0 1.0 0.1
END
ATOM  6  CB  aromatic CH, illustrative
NEIG  nei 3  typ 2  ring 1  memb 6   m   planar T
  1   1  1
  2   6  2
PVAL  4.05 1.01 0.89 0.06
PLMS  2 0 -0.205  3 3 0.285
END
)";

const std::string kRingCarbonKey =
    "\n"
    " Searching DataBank for a match : \n"
    "  ityp  =  6\n"
    "  iring =  1\n"
    "  inei  =  3\n"
    "  ity   =  2\n"
    "  imemb =  6\n"
    "  asymi = [M    ]\n"
    "  lPG   =  T\n"
    "  type =  1  atom =  1  neib =  1\n"
    "  type =  2  atom =  6  neib =  2\n"
    " \n";

const std::string kRingCarbonFound =
    "\n"
    " ReadDB :: atom C2 was found in the DataBank\n"
    "\n"
    " DB comment for C2 = [aromatic CH, illustrative]\n"
    "\n"
    " Pseudoatom parameters assigned to C2 : \n"
    "\n"
    "   Pval, Kappa, Kappa', sigmaPv =       4.0500      1.0100      0.8900      0.0600\n"
    "    2nd Monopole:  0.000\n"
    "         Dipoles:  0.000  0.000  0.000\n"
    "     Quadrupoles:  0.000  0.000 -0.205  0.000  0.000\n"
    "       Octupoles:  0.000  0.000  0.000  0.000  0.000  0.000  0.285\n"
    "   Hexadecapoles:  0.000  0.000  0.000  0.000  0.000  0.000  0.000  0.000  0.000\n";

TEST(DatabankLog, FoundAtVerbosityOne) {
  Molecules m;
  m.databank(kCarbonBank);
  m.environment(M::kRingC, "m", 1, 6, true);
  readdb(m.run, M::kRingC);
  EXPECT_EQ(m.log.str(), kRingCarbonKey + kRingCarbonFound);
}

TEST(DatabankLog, FoundAtVerbosityTwo) {
  Molecules m;
  m.run.opt.verbosity = 2;
  m.databank(kCarbonBank);
  m.environment(M::kRingC, "m", 1, 6, true);
  readdb(m.run, M::kRingC);
  EXPECT_EQ(m.log.str(),
            kRingCarbonKey + reading("ATOM  6  CA  ring carbon, not planar") +
                "   jnei=  3 jty=  2 jring=  1 asymr=[M    ] planar=F\n"
                " jmemb=  6\n" +
                reading("ATOM  6  CB  aromatic CH, illustrative") +
                "   jnei=  3 jty=  2 jring=  1 asymr=[M    ] planar=T\n"
                " jmemb=  6\n"
                "   type =  1 jatum =  1 jndt =  1\n"
                "   type =  2 jatum =  6 jndt =  2\n" +
                kRingCarbonFound);
}

TEST(DatabankLog, FunctionalGroupTraceAtVerbosityTwo) {
  Molecules m;
  m.run.opt.verbosity = 2;
  m.databank(R"(ATOM  8  O1  hydroxyl without group record
NEIG  nei 2  typ 2  ring 0  memb 0   m
  1   1  1
  2   6  1
PVAL  6.3 1.0 1.0 0.1
END
ATOM  8  O2  phenol oxygen
NEIG  nei 2  typ 2  ring 0  memb 0   m
  1   6  1
  2   1  1
EXCEPT  GROUP phenol
PVAL  6.2 1.0 1.0 0.1
END
ATOM  8  O3  alcohol oxygen
NEIG  nei 2  typ 2  ring 0  memb 0
  1   6  1
  2   1  1
EXCEPT  GROUP alcohol
PVAL  6.15 0.98 1.1 0.04
PLMS  1 0 0.03
END
)");
  m.group(M::kMethanolO, "alcohol");
  m.environment(M::kMethanolO, "m", 0, 0, true);
  readdb(m.run, M::kMethanolO);
  const std::string neig =
      "   jnei=  2 jty=  2 jring=  0 asymr=[M    ] planar=T\n"
      " jmemb=  0\n";
  EXPECT_EQ(m.log.str(),
            "\n"
            " Searching DataBank for a match : \n"
            "  ityp  =  8\n"
            "  iring =  0\n"
            "  inei  =  2\n"
            "  ity   =  2\n"
            "  imemb =  0\n"
            "  asymi = [M    ]\n"
            "  lPG   =  T\n"
            "  type =  1  atom =  1  neib =  1\n"
            "  type =  2  atom =  6  neib =  1\n"
            " \n" +
                reading("ATOM  8  O1  hydroxyl without group record") + neig +
                "   type =  1 jatum =  1 jndt =  1\n"
                "   type =  2 jatum =  6 jndt =  1\n"
                "\n"
                " Functional group = [ALCOHOL], but no functional group specified for this "
                "entry..\n"
                " Skipping DB entry...\n"
                "\n" +
                reading("ATOM  8  O2  phenol oxygen") + neig +
                "   type =  1 jatum =  6 jndt =  1\n"
                "   type =  2 jatum =  1 jndt =  1\n"
                "   Exception entry in DataBank :\n"
                "      functional group   = [ALCOHOL]\n"
                "      group read from DB = [PHENOL]\n"
                "   Wrong functional group... :( \n"
                "\n" +
                reading("ATOM  8  O3  alcohol oxygen") +
                "   jnei=  2 jty=  2 jring=  0 asymr=[     ] planar=T\n"
                " jmemb=  0\n"
                "   type =  1 jatum =  6 jndt =  1\n"
                "   type =  2 jatum =  1 jndt =  1\n"
                "   Exception entry in DataBank :\n"
                "      functional group   = [ALCOHOL]\n"
                "      group read from DB = [ALCOHOL]\n"
                "\n"
                " ReadDB :: atom O1 was found in the DataBank\n"
                "\n"
                " DB comment for O1 = [alcohol oxygen]\n"
                "\n"
                " Functional group = [ALCOHOL]\n"
                "\n"
                " Pseudoatom parameters assigned to O1 : \n"
                "\n"
                "   Pval, Kappa, Kappa', sigmaPv =       6.1500      0.9800      1.1000      0.0400\n"
                "    2nd Monopole:  0.000\n"
                "         Dipoles:  0.000  0.030  0.000\n"
                "     Quadrupoles:  0.000  0.000  0.000  0.000  0.000\n"
                "       Octupoles:  0.000  0.000  0.000  0.000  0.000  0.000  0.000\n"
                "   Hexadecapoles:  0.000  0.000  0.000  0.000  0.000  0.000  0.000  0.000  0.000\n");
}

// A water hydrogen against a databank of one C-H entry.
constexpr const char* kHydrogenBank = R"(ATOM  1  HC  aromatic hydrogen
PRNT  parent 6  nnei 3  nH 1   cyl
PVAL  0.89 1.13 1.29 0.03
END
)";

const std::string kWaterHydrogenKey =
    "\n"
    " Searching DataBank for a match : \n"
    "  ityp  =  1\n"
    "  iring =  0\n"
    "  inei  =  1\n"
    "  ity   =  1\n"
    "  imemb =  0\n"
    "  asymi = [CYL  ]\n"
    "  lPG   =  T\n"
    "  type =  1  atom =  8  neib =  1\n"
    " \n";

const std::string kWaterHydrogenNotFound =
    "\n"
    " ReadDB :: atom HW1 was NOT found in the DataBank\n"
    "\n"
    " Pseudoatom parameters assigned to HW1 : \n"
    "\n"
    "   Pval, Kappa, Kappa', sigmaPv =       1.0000      1.0000      1.0000      0.0100\n" +
    kNoPopulations;

TEST(DatabankLog, NotFoundAtVerbosityOne) {
  Molecules m;
  m.databank(kHydrogenBank);
  m.parent(M::kWaterH, 2, 8, 2);
  m.environment(M::kWaterH, "cyl", 0, 0, true);
  readdb(m.run, M::kWaterH);
  EXPECT_EQ(m.log.str(), kWaterHydrogenKey + kWaterHydrogenNotFound);
}

TEST(DatabankLog, NotFoundAtVerbosityTwo) {
  Molecules m;
  m.run.opt.verbosity = 2;
  m.databank(kHydrogenBank);
  m.parent(M::kWaterH, 2, 8, 2);
  m.environment(M::kWaterH, "cyl", 0, 0, true);
  readdb(m.run, M::kWaterH);
  EXPECT_EQ(m.log.str(), kWaterHydrogenKey + reading("ATOM  1  HC  aromatic hydrogen") +
                             "   jhp =  6 jsp =  3 jhnei=  1 asymr=[CYL  ]\n" +
                             kWaterHydrogenNotFound);
}

}  // namespace
}  // namespace tesk
