// The atom listing with its flag summary and the scattering-type listing.
#include "structure/atom_printout.hpp"

#include <gtest/gtest.h>

#include <sstream>

#include "model/run.hpp"

namespace tesk {
namespace {

const std::string kHeader =
    "\n         ATOM      ------- FRACTIONAL -------    ------- CARTESIAN -------  FLAG\n";

std::string summary(const char* n0, const char* n1, const char* nm1) {
  return std::string("\n FLAG =  0 : normal atoms ( ") + n0 + " )\n" +
         "      =  1 : atoms in special positions ( " + n1 + " ) \n" +
         "      = -1 : disordered atoms ( " + nm1 + " ) \n";
}

TEST(Printatoms, EmptyListHasHeaderAndZeroCounts) {
  tesk::Run run;
  std::ostringstream log;
  run.out.log.attach(log);
  printatoms(run, run.out.log);
  EXPECT_EQ(log.str(), kHeader + summary("    0", "    0", "    0"));
}

TEST(Printatoms, RowsAndFlagCounts) {
  tesk::Run run;
  std::ostringstream log;
  run.out.log.attach(log);
  struct In {
    const char* label;
    Vec3 xf, xc;
    int flag;
  };
  const In atoms[] = {{"O(1)    ", {0.1f, 0.2f, 0.3f}, {1.0f, 2.0f, 3.0f}, 0},
                      {"H(1)    ", {0.5f, 0.25f, 0.0f}, {5.0f, 2.5f, 0.0f}, 1},
                      {"CL(12)  ", {-0.125f, 0.0f, 1.0f}, {-1.25f, 0.0f, 10.0f}, -1},
                      {"H(2)    ", {0.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 0.0f}, 0}};
  for (const auto& a : atoms) {
    Atom& at = run.atoms.at(run.atoms.append("test"));
    at.label = a.label;
    at.xf = a.xf;
    at.xc = a.xc;
    at.flag = a.flag;
  }
  run.atoms.natoms = 4;
  printatoms(run, run.out.log);
  const std::string rows =
      "      1  O(1)       0.10000  0.20000  0.30000     1.0000   2.0000   3.0000     0\n"
      "      2  H(1)       0.50000  0.25000  0.00000     5.0000   2.5000   0.0000     1\n"
      "      3  CL(12)    -0.12500  0.00000  1.00000    -1.2500   0.0000  10.0000    -1\n"
      "      4  H(2)       0.00000  0.00000  0.00000     0.0000   0.0000   0.0000     0\n";
  EXPECT_EQ(log.str(), kHeader + rows + summary("    2", "    1", "    1"));
}

TEST(Prattyp, OneLinePerScatteringType) {
  tesk::Run run;
  std::ostringstream log;
  run.out.log.attach(log);
  run.types.tz = {6, 17, 0};  // C, Cl and an unrecognised SFAC symbol
  prattyp(run);
  EXPECT_EQ(log.str(),
            "\n Number of atom types =    3\n"
            "   atom type = C     atomic number =   6\n"
            "   atom type = Cl    atomic number =  17\n"
            "   atom type =       atomic number =   0\n");
}

}  // namespace
}  // namespace tesk
