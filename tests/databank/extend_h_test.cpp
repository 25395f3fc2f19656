// X-H extension on small molecules with X-ray-short hydrogens (C-H 0.96,
// N-H and O-H 0.85-0.87 Angstrom): each row names one hydrogen, the group
// line the log must show and the neutron length it must end at.
#include "databank/extend_h.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "databank/molecule_builder.hpp"
#include "local_axes/local_axes.hpp"
#include "model/run.hpp"
#include "structure/cell.hpp"

namespace tesk {
namespace {

using testkit::Molecule;

const double kTetra = 109.47;

// Three staggered hydrogens on c, bonded along c-from.
void methyl(Molecule& m, int c, int from, double r, const std::string& prefix) {
  for (int k = 0; k < 3; ++k)
    m.bonded(prefix + std::to_string(k + 1), c, r, from, kTetra, 0, 60.0 + 120.0 * k);
}

int find(const Molecule& m, const std::string& label) {
  for (int i = 1; i <= m.size(); ++i)
    if (m.label(i) == label) return i;
  ADD_FAILURE() << "no atom " << label;
  return 1;
}

// The molecule through the per-atom loop with EXTEND_H on and every side
// file captured.
struct Extension {
  explicit Extension(const Molecule& m, const std::string& disordered = "") {
    run.out.log.attach(log);
    run.out.resetbond.attach(reset);
    run.out.constbond.attach(con);
    run.out.resmopro.attach(res);
    m.load(run);
    if (!disordered.empty()) run.atoms.at(find(m, disordered)).flag = -1;
    run.opt.lfh = 1;
  }
  Run run;
  std::ostringstream log, reset, con, res;
};

struct LengthCase {
  const char* name;
  std::function<void(Molecule&)> build;
  const char* parent;
  const char* hydrogen;
  const char* line;  // the group line in the log
  float length;      // 0: the hydrogen stays where it is
  const char* disordered = "";
};

const LengthCase kLengths[] = {
    {"ethane methyl",
     [](Molecule& m) {
       int c1 = m.at("C1", {0, 0, 0});
       int c2 = m.at("C2", {1.53f, 0, 0});
       methyl(m, c1, c2, 0.96, "H1");
       methyl(m, c2, c1, 0.96, "H2");
     },
     "C1", "H11", "   X-H group : C1      -H11      >  C-C-H3 =  0.960 /  1.077 Angstroms", 1.077f},
    {"benzene",
     [](Molecule& m) {
       std::vector<int> c = m.ring({"C1", "C2", "C3", "C4", "C5", "C6"}, 1.39f);
       for (int k = 0; k < 6; ++k)
         m.radial("H" + std::to_string(k + 1), c[static_cast<std::size_t>(k)], 0.95f);
     },
     "C3", "H3", "   X-H group : C3      -H3       >  aromatic C-H =  0.950 /  1.083 Angstroms",
     1.083f},
    {"water",
     [](Molecule& m) {
       int o = m.at("O1", {0, 0, 0});
       int h1 = m.at("H1", {0.85f, 0, 0});
       m.bonded("H2", o, 0.85, h1, 104.5, 0, 0);
     },
     "O1", "H2", "   X-H group : O1      -H2       >  water =  0.850 /  0.958 Angstroms", 0.9584f},
    {"acetic acid hydroxyl",
     [](Molecule& m) {
       int c1 = m.at("C1", {0, 0, 0});
       int c2 = m.at("C2", {1.50f, 0, 0});
       int o1 = m.bonded("O1", c2, 1.21, c1, 122.0, 0, 0);
       int o2 = m.bonded("O2", c2, 1.31, c1, 113.0, o1, 180.0);
       m.bonded("H1", o2, 0.85, c2, 109.0, o1, 0.0);  // syn, as in acid dimers
       methyl(m, c1, c2, 0.96, "H2");
     },
     "O2", "H1", "   X-H group : O2      -H1       >  O-H in acid =  0.850 /  1.018 Angstroms",
     1.018f},
    {"methylammonium",
     [](Molecule& m) {
       int c = m.at("C1", {0, 0, 0});
       int n = m.at("N1", {1.49f, 0, 0});
       methyl(m, n, c, 0.89, "H1");
       methyl(m, c, n, 0.96, "H2");
     },
     "N1", "H12", "   X-H group : N1      -H12      >  N+-H =  0.890 /  1.036 Angstroms", 1.036f},
    {"acetamide",
     [](Molecule& m) {
       int c1 = m.at("C1", {0, 0, 0});
       int c2 = m.at("C2", {1.51f, 0, 0});
       int o = m.bonded("O1", c2, 1.23, c1, 121.0, 0, 0);
       int n = m.bonded("N1", c2, 1.33, c1, 116.0, o, 180.0);
       m.bonded("H1", n, 0.87, c2, 120.0, o, 0.0);
       m.bonded("H2", n, 0.87, c2, 120.0, o, 180.0);
       methyl(m, c1, c2, 0.96, "H3");
     },
     "N1", "H2", "   X-H group : N1      -H2       >  C-N-H2 amido =  0.870 /  1.010 Angstroms",
     1.010f},
    // An NH2 flattened against an sp3 carbon (as in a disordered or
    // conjugated amine) and one on a nitrogen have table lengths of their own.
    {"flat methylamine",
     [](Molecule& m) {
       int c = m.at("C1", {0, 0, 0});
       int n = m.at("N1", {1.45f, 0, 0});
       int h1 = m.bonded("H1", n, 0.87, c, 120.0, 0, 0);
       m.bonded("H2", n, 0.87, c, 120.0, h1, 180.0);
       methyl(m, c, n, 0.96, "H3");
     },
     "N1", "H1", "   X-H group : N1      -H1       >  Csp3-N-H2pl =  0.870 /  1.002 Angstroms",
     1.002f},
    {"nitramide",
     [](Molecule& m) {
       int n1 = m.at("N1", {0, 0, 0});
       int n2 = m.at("N2", {1.38f, 0, 0});
       int o1 = m.bonded("O1", n2, 1.21, n1, 118.0, 0, 0);
       m.bonded("O2", n2, 1.21, n1, 118.0, o1, 180.0);
       m.bonded("H1", n1, 0.87, n2, 118.0, o1, 0.0);
       m.bonded("H2", n1, 0.87, n2, 118.0, o1, 180.0);
     },
     "N1", "H2", "   X-H group : N1      -H2       >  X-N-H2pl =  0.870 /  1.015 Angstroms",
     1.015f},
    {"propyne acetylenic H",
     [](Molecule& m) {
       m.at("C1", {0, 0, 0});
       int c2 = m.at("C2", {1.20f, 0, 0});
       int c3 = m.at("C3", {2.66f, 0, 0});
       m.at("H1", {-0.93f, 0, 0});
       methyl(m, c3, c2, 0.96, "H2");
     },
     "C1", "H1", "   X-H group : C1      -H1       >  NOT IDENTIFIED", 0.0f},
    {"ammonia borane B-H",
     [](Molecule& m) {
       int b = m.at("B1", {0, 0, 0});
       int n = m.at("N1", {1.58f, 0, 0});
       methyl(m, b, n, 1.10, "H1");
       methyl(m, n, b, 0.89, "H2");
     },
     "B1", "H11", "   X-H group : B1      -H11      >  DON'T KNOW HOW TO HANDLE", 0.0f},
    {"disordered water H",
     [](Molecule& m) {
       int o = m.at("O1", {0, 0, 0});
       int h1 = m.at("H1", {0.85f, 0, 0});
       m.bonded("H2", o, 0.85, h1, 104.5, 0, 0);
     },
     "O1", "H2", "   X-H group : O1      -H2       >  H-ATOM IS DISORDERED", 0.0f, "H2"},
};

Vec3 minus(const Vec3& a, const Vec3& b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }

TEST(ExtendH, StandardLengthsByGroup) {
  for (const LengthCase& c : kLengths) {
    SCOPED_TRACE(c.name);
    Molecule m;
    c.build(m);
    Extension e(m, c.disordered);
    const int x = find(m, c.parent), h = find(m, c.hydrogen);
    const Vec3 x0 = e.run.atoms.at(x).xc, h0 = e.run.atoms.at(h).xc;
    localdef(e.run);

    EXPECT_NE(e.log.str().find(std::string(c.line) + "\n"), std::string::npos) << e.log.str();
    const Vec3 x1 = e.run.atoms.at(x).xc, h1 = e.run.atoms.at(h).xc;
    EXPECT_EQ(x1, x0);
    if (c.length == 0.0f) {
      EXPECT_EQ(h1, h0);
      continue;
    }
    EXPECT_NEAR(dist(x1, h1), c.length, 1e-5);
    // Same direction: the cross product of old and new bond vectors vanishes.
    const Vec3 u = minus(h0, x0), v = minus(h1, x1);
    EXPECT_NEAR(u[1] * v[2] - u[2] * v[1], 0.0f, 1e-6);
    EXPECT_NEAR(u[2] * v[0] - u[0] * v[2], 0.0f, 1e-6);
    EXPECT_NEAR(u[0] * v[1] - u[1] * v[0], 0.0f, 1e-6);
    EXPECT_GT(u[0] * v[0] + u[1] * v[1] + u[2] * v[2], 0.0f);
    EXPECT_EQ(e.run.atoms.at(h).xf, rabs(e.run.transf, 1, h1));
    // A second pass over the extended structure finds the same length.
    extendh(e.run, x, h);
    EXPECT_NEAR(dist(e.run.atoms.at(x).xc, e.run.atoms.at(h).xc), c.length, 1e-5);
  }
}

// Trichloromethanol: one hydrogen, so each side file holds its lines only.
Molecule trichloromethanol() {
  Molecule m;
  int c = m.at("C(1)", {0, 0, 0});
  int o = m.at("O(1)", {1.42f, 0, 0});
  int cl = 0;
  for (int k = 0; k < 3; ++k) {
    int a = m.bonded("Cl(" + std::to_string(k + 1) + ")", c, 1.77, o, kTetra, 0, 60.0 + 120.0 * k);
    if (k == 0) cl = a;
  }
  m.bonded("H(1)", o, 0.85, c, 109.0, cl, 180.0);
  return m;
}

struct FileCase {
  const char* name;
  bool residues;
  const char* distan;
  const char* uratio;
};

const FileCase kFiles[] = {
    {"bracket-free labels", false, "DISTAN   O1    1  H1    1  0.970 0.001\n",
     "URATIO      O1    1  H1    1    1.5 0.01"},
    {"residue names", true, "DISTAN   O1       1  H1       1  0.970  0.001\n",
     "URATIO      O1       1  H1       1    1.5  0.01"},
};

TEST(ExtendH, SideFileLines) {
  for (const FileCase& c : kFiles) {
    SCOPED_TRACE(c.name);
    Molecule m = trichloromethanol();
    Extension e(m);
    if (c.residues) {
      e.run.resi1.resflag = 1;
      e.run.resi1.resshort = {"C1       1", "O1       1", "CL1      1", "CL2      1",
                              "CL3      1", "H1       1"};
    }
    localdef(e.run);
    EXPECT_NE(e.log.str().find("  Csp3-O-H in alcohol =  0.850 /  0.970 Angstroms\n"),
              std::string::npos);
    EXPECT_EQ(e.reset.str(), "RESET BOND  O(1)     H(1)     0.970\n");
    EXPECT_EQ(e.con.str(),
              "!\n"
              "! O(1)     - H(1)     =     0.970 Angstroms\n"
              "!\n"
              "CON 1 X/2 -1 X/6 = 0\n"
              "CON 1 Y/2 -1 Y/6 = 0\n"
              "CON 1 Z/2 -1 Z/6 = 0\n");
    EXPECT_EQ(e.res.str(), c.distan);
    std::string row = c.uratio;
    row.resize(100, ' ');
    ASSERT_GE(e.run.xh.cons.size(), 6u);
    EXPECT_EQ(e.run.xh.cons[5], row);
    EXPECT_EQ(e.run.xh.cons[1], std::string(100, ' '));
  }
}

}  // namespace
}  // namespace tesk
