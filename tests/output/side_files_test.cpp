// The closing block of tesk.spf with and without dummy atoms.
#include "output/side_files.hpp"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "local_axes/dummy_atoms.hpp"
#include "model/elements.hpp"
#include "model/run.hpp"

namespace tesk {
namespace {

const char* const kFixedBlock =
    "SOLID COLOR\n"
    "COLOR TYPE X GREEN Y YELLOW Z BROWN D ORANGE\n"
    "RADII ATOMS ALL 0.06\n"
    "RADII ATOMS X 0.02\n"
    "RADII ATOMS Y 0.02\n"
    "RADII ATOMS Z 0.02\n"
    "RADII BONDS ALL 0.01 1\n"
    "RADII BONDS TO X 0.01 1\n"
    "RADII BONDS TO Y 0.01 1\n"
    "RADII BONDS TO Z 0.01 1\n"
    "RADII BONDS TO D 0.00 0\n"
    "DETACH X Y\n"
    "DETACH X Z\n"
    "DETACH Y Z\n"
    "DETACH X X\n"
    "DETACH Y Y\n"
    "DETACH Z Z\n"
    "LABEL ON\n"
    "LABEL H\n"
    "UNLABEL X Y Z\n";

// Scattering types C, H, O; cartesian dummies (no cell) at the given places.
std::string finished(int ndum) {
  tesk::Run run;
  for (int z = 0; z < static_cast<int>(run.covrad.size()); ++z)
    run.covrad[static_cast<std::size_t>(z)] = covrad_table(z);
  run.types.tz = {6, 1, 8};
  run.opt.ifra = 0;
  for (int k = 1; k <= ndum; ++k)
    adddummyatom(run, false, {static_cast<float>(k), 0.5f, -1.25f});
  std::ostringstream spf;
  run.out.spf.attach(spf);
  finish_spf(run);
  return spf.str();
}

TEST(SideFiles, SpfClosingBlock) {
  EXPECT_EQ(finished(0),
            std::string("JOIN RADII  C  0.77 H  0.40 O  0.73  X 0.01  Y 0.01  Z 0.01\n") +
                kFixedBlock + "PLOT\n");
  EXPECT_EQ(finished(1),
            std::string("ATOM D(1)          1.0000        0.5000       -1.2500\n"
                        "JOIN RADII  C  0.77 H  0.40 O  0.73  X 0.01  Y 0.01  Z 0.01  D 0.01\n") +
                kFixedBlock +
                "RADII ATOMS D 0.02\nDETACH D X\nDETACH D Y\nDETACH D Z\nLABEL D\n"
                "DETACH D C \nDETACH D H \nDETACH D O \nPLOT\n");
  // From the tenth dummy on the label takes all digits and the line grows.
  EXPECT_NE(finished(10).find("ATOM D(9)          9.0000        0.5000       -1.2500\n"
                              "ATOM D(10)         10.0000        0.5000       -1.2500\n"),
            std::string::npos);
}

}  // namespace
}  // namespace tesk
