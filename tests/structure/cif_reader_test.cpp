// Reading CIF blocks: atom sites as the SHELX reader would hold them, the
// space group as the SHELX reader would build it from LATT and SYMM cards,
// the choice of the data block, and the stops on blocks that cannot be used.
#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <memory>
#include <vector>

#include "format/fortran_format.hpp"
#include "structure/cif_fixture.hpp"
#include "structure/cif_symmetry.hpp"
#include "structure/shelx_fixture.hpp"

namespace tesk {
namespace {

using testing::CifRun;

std::string crlf(const std::string& text) {
  std::string out;
  for (char c : text) out += c == '\n' ? std::string("\r\n") : std::string(1, c);
  return out;
}

const std::string kCubicP1 =
    "data_sites\n"
    "_cell_length_a 10.000(2)\n_cell_length_b 10.0\n_cell_length_c 10.0\n"
    "_cell_angle_alpha 90\n_cell_angle_beta 90.00\n_cell_angle_gamma 90\n"
    "_diffrn_radiation_wavelength 0.71073\n"
    "_symmetry_space_group_name_H-M 'P 1'\n";

// Every way a site can give its values: su in parentheses, ? and . for
// "not given", a charged type symbol, no type symbol (the label's first two
// letters: CA1 is calcium, as on a SHELX SFAC card), a B in place of U, and
// an aniso loop whose rows and columns run in another order than the sites.
const std::string kRichSites =
    "loop_\n_atom_site_label\n_atom_site_type_symbol\n_atom_site_fract_x\n"
    "_atom_site_fract_y\n_atom_site_fract_z\n_atom_site_U_iso_or_equiv\n"
    "_atom_site_B_iso_or_equiv\n_atom_site_adp_type\n_atom_site_occupancy\n"
    "Cl1 Cl 0.1000(3) 0.2000(12) 0.3000 0.0300(5) ? Uani 1\n"
    "C12 C 0.4 0.5 0.6 0.02 ? Uiso .\n"
    "H12a H 0.45 0.55 0.65 ? ? Uiso ?\n"
    "Si1 Si4+ 0.7 0.8 0.9 0.01 ? Uani 0.5(1)\n"
    "CA1 ? 0.1 0.9 -0 ? 1.5791367 Biso 1.\n"
    "loop_\n_atom_site_aniso_label\n_atom_site_aniso_U_23\n_atom_site_aniso_U_22\n"
    "_atom_site_aniso_U_11\n_atom_site_aniso_U_33\n_atom_site_aniso_U_13\n"
    "_atom_site_aniso_U_12\n"
    "Si1 0.006 0.002 0.001 0.003 0.005 0.004\n"
    "Cl1 0.016(2) 0.012 0.011(1) 0.013 0.015 0.014\n";

// No occupancy, no U and no type column; B tensors in SHELXL's column order;
// O1 on an inversion centre of P-1 holds half a site, as SHELXL would write it.
const std::string kBareSites =
    "loop_\n_atom_site_label\n_atom_site_fract_x\n_atom_site_fract_y\n_atom_site_fract_z\n"
    "N1 0.1 0.2 0.3\nO1 0.5 0.5 0.5\n"
    "loop_\n_atom_site_aniso_label\n_atom_site_aniso_B_11\n_atom_site_aniso_B_22\n"
    "_atom_site_aniso_B_33\n_atom_site_aniso_B_23\n_atom_site_aniso_B_13\n"
    "_atom_site_aniso_B_12\n"
    "N1 0.7895684 1.5791367 2.3687051 0 0 -0.7895684\n";

struct Site {
  const char* label;
  int iz, sftype, adptype;
  Vec3 xf;
  float occ;
  int flag;                  // 0 normal, 1 special position, -1 disordered
  std::array<float, 6> uij;  // only uij[0] for an isotropic site
};

struct SitesCase {
  const char* why;
  std::string text;
  std::vector<Site> sites;
};

const std::vector<Site> kRichExpected = {
    {"CL(1)   ", 17, 1, 2, {0.1f, 0.2f, 0.3f}, 1.0f, 0, {0.011f, 0.012f, 0.013f, 0.014f, 0.015f, 0.016f}},
    {"C(12)   ", 6, 2, 1, {0.4f, 0.5f, 0.6f}, 1.0f, 0, {0.02f}},
    {"H(12A)  ", 1, 3, 1, {0.45f, 0.55f, 0.65f}, 1.0f, 0, {0.05f}},
    {"SI(1)   ", 14, 4, 2, {0.7f, 0.8f, 0.9f}, 0.5f, -1, {0.001f, 0.002f, 0.003f, 0.004f, 0.005f, 0.006f}},
    {"CA(1)   ", 20, 5, 1, {0.1f, 0.9f, 0.0f}, 1.0f, 0, {0.02f}},
};

TEST(CifReader, AtomSitesAsTheShelxReaderHoldsThem) {
  const SitesCase cases[] = {
      {"every kind of value", kCubicP1 + kRichSites, kRichExpected},
      {"the same with CRLF line ends", crlf(kCubicP1 + kRichSites), kRichExpected},
      {"bare sites, B tensor, an atom on an inversion centre",
       kCubicP1.substr(0, kCubicP1.find("'P 1'")) + "'P -1'\n" + kBareSites,
       {{"N(1)    ", 7, 1, 2, {0.1f, 0.2f, 0.3f}, 1.0f, 0, {0.01f, 0.02f, 0.03f, -0.01f, 0.0f, 0.0f}},
        {"O(1)    ", 8, 2, 1, {0.5f, 0.5f, 0.5f}, 0.5f, 1, {0.05f}}}},
  };
  for (const SitesCase& c : cases) {
    SCOPED_TRACE(c.why);
    CifRun r;
    r.read_text(c.text);
    ASSERT_EQ(r.run.atoms.natoms, static_cast<int>(c.sites.size()));
    for (int i = 1; i <= r.run.atoms.natoms; ++i) {
      const Site& want = c.sites[static_cast<std::size_t>(i - 1)];
      const Atom& a = r.run.atoms.at(i);
      EXPECT_EQ(a.label, want.label);
      EXPECT_EQ(a.iz, want.iz) << want.label;
      EXPECT_EQ(a.sftype, want.sftype) << want.label;
      EXPECT_EQ(a.lmax, a.iz == 1 ? 2 : 4) << want.label;
      EXPECT_EQ(a.adptype, want.adptype) << want.label;
      EXPECT_FLOAT_EQ(a.occ, want.occ) << want.label;
      EXPECT_EQ(a.flag, want.flag) << want.label;
      for (int k = 0; k < 3; ++k) EXPECT_FLOAT_EQ(a.xf[k], want.xf[k]) << want.label;
      for (int k = 0; k < (a.adptype == 2 ? 6 : 1); ++k)
        EXPECT_NEAR(a.uij[k], want.uij[k], 1e-7) << want.label << " U " << k;
    }
    EXPECT_EQ(r.run.types.tz.size(), c.sites.size());  // one element per site here
  }
}

// The headers get what a SHELX file with CELL 0.71073 10 10 10 90 90 90 and no
// symmetry card would give: acentric P, no SYMM lines, types in order.
TEST(CifReader, HeaderLinesOfAPrimitiveAcentricBlock) {
  CifRun r;
  r.read_text(kCubicP1 + kRichSites);
  const std::string kq = r.kq.str();
  EXPECT_NE(kq.find("TITLE TEST\n"
                    "CELL      10.0000     10.0000     10.0000     90.0000     90.0000     90.0000\n"
                    "WAVE     0.710730\n"
                    "LATT A P\n!!!!"),
            std::string::npos);
  EXPECT_NE(kq.find("END SCAT"), std::string::npos);
  const std::size_t cl = kq.find("\nCl   CHFW"), ca = kq.find("\nCa   CHFW");
  EXPECT_TRUE(cl != std::string::npos && ca != std::string::npos && cl < ca);
  EXPECT_EQ(r.mopro.str().substr(0, 71),
            "CELL   10.0000   10.0000   10.0000  90.0000  90.0000  90.0000  0.71073\n");
  EXPECT_NE(r.mopro.str().find("\nSYMM   1 P\n  X, Y, Z\n\nSCALE"), std::string::npos);
}

// SHELXL's weighting scheme as the CIF states it is the WGHT card it came from.
TEST(CifReader, ShelxlWeightingSchemeGivesTheWghtValues) {
  const struct {
    const char* details;
    float a, b;
  } cases[] = {
      {"'w=1/[\\s^2^(Fo^2^)+(0.0109P)^2^+0.1029P] where P=(Fo^2^+2Fc^2^)/3'", 0.0109f, 0.1029f},
      {"'calc w=1/[\\s^2^(Fo^2^)+(0.0493P)^2^] where P=(Fo^2^+2Fc^2^)/3'", 0.0493f, 0.0f},
      {"'w=1/[\\s^2^(Fo^2^)] where P=(Fo^2^+2Fc^2^)/3'", 0.0f, 0.0f},
      // not SHELXL's form: the weights stay as without a WGHT card
      {"'w = 1/[\\s^2^(F) + 0.001F^2^]'", -2.0f, 0.0f},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.details);
    CifRun r;
    r.read_text(kCubicP1 + "_refine_ls_weighting_details " + c.details + "\n" + kBareSites);
    EXPECT_FLOAT_EQ(r.run.shelx1.wght[0], c.a);
    EXPECT_FLOAT_EQ(r.run.shelx1.wght[1], c.b);
  }
}

struct GroupCase {
  const char* why;
  const char* symmetry;    // the CIF items that give the space group
  const char* shelx_file;  // a SHELX file of the same space group and setting
  int nsym;
  const char* latt_line;   // as kq_tesk.mas has it
  int cards;
};

// Each space group as the block gives it must come out as the operators the
// SHELX reader builds from the LATT and SYMM cards of a file in that group.
TEST(CifReader, SpaceGroupsGiveTheShelxOperators) {
  const GroupCase cases[] = {
      {"P2_1/c, H-M symbol only", "_symmetry_space_group_name_H-M 'P 1 21/c 1'\n",
       "aspirin_p21c.ins", 4, "LATT C P", 1},
      {"P2_1/c, old COD Hall symbol, unquoted", "_symmetry_space_group_name_Hall -P_2ybc\n",
       "aspirin_p21c.ins", 4, "LATT C P", 1},
      {"P2_1/c as SHELXL-97 wrote it", "_symmetry_space_group_name_H-M P2(1)/c\n",
       "aspirin_p21c.ins", 4, "LATT C P", 1},
      {"P2_1/c, operator loop under the current name",
       "loop_\n_space_group_symop_id\n_space_group_symop_operation_xyz\n"
       "1 'x, y, z'\n2 '-x, y+1/2, -z+1/2'\n3 '-x, -y, -z'\n4 'x, -y-1/2, z-1/2'\n",
       "aspirin_p21c.ins", 4, "LATT C P", 1},
      {"P2_1/c, older loop name, half the group listed: completed",
       "loop_\n_symmetry_equiv_pos_as_xyz\nx,y,z\n-x,1/2+y,1/2-z\n-X,-Y,-Z\n",
       "aspirin_p21c.ins", 4, "LATT C P", 1},
      {"P2_1/c, decimal translations of an older entry",
       "loop_\n_symmetry_equiv_pos_as_xyz\nx,y,z\n-x,0.5+y,0.50-z\n-x,-y,-z\nx,-0.5-y,z-.5\n",
       "aspirin_p21c.ins", 4, "LATT C P", 1},
      {"P3_221, thirds written to four decimals",
       "loop_\n_symmetry_equiv_pos_as_xyz\nx,y,z\n-y,x-y,z+0.6667\n-x+y,-x,0.3333+z\ny,x,-z\n"
       "x-y,-y,0.3333-z\n-x,-x+y,0.6667-z\n",
       "protein_3odl_resi.ins", 6, "LATT A P", 5},
      {"C2/c, Hall symbol", "_space_group_name_Hall '-C 2yc'\n", "ch2cl2_c2c_fragment.ins", 8,
       "LATT C C", 1},
      {"R-3c on hexagonal axes, H-M without :H (the cell angles decide)",
       "_space_group_name_H-M_alt 'R -3 c'\n", "fe_aqua_r-3c.res", 36, "LATT C R", 5},
      {"Fdd2, quarter translations", "_space_group_name_H-M_alt 'F d d 2'\n",
       "hydroxyquinoline_fdd2.res", 16, "LATT A F", 3},
      {"I-43d", "_symmetry_space_group_name_H-M 'I -4 3 d'\n", "ni_i-43d.res", 48, "LATT A I", 23},
      {"Fm-3m, Hall symbol", "_space_group_name_Hall '-F 4 2 3'\n", "caf2_fm-3m.res", 192,
       "LATT C F", 23},
  };
  for (const GroupCase& c : cases) {
    SCOPED_TRACE(c.why);
    const std::string_view sym = c.symmetry;
    const bool hexagonal = std::string_view(c.shelx_file).starts_with("fe_aqua");
    CifRun r;
    r.read_text(std::string("data_g\n_cell_length_a 10\n_cell_length_b 10\n_cell_length_c 12\n") +
                (hexagonal ? "_cell_angle_gamma 120\n" : "") + std::string(sym) +
                "loop_\n_atom_site_label\n_atom_site_fract_x\n_atom_site_fract_y\n"
                "_atom_site_fract_z\nC1 0.1 0.2 0.3\n");
    testing::ShelxRun s;
    readshelx(s.run, testing::structures_dir() + c.shelx_file, ShelxHeaderListener{});
    EXPECT_EQ(r.run.symm.nsym(), c.nsym);
    EXPECT_TRUE(same_operators(r.run.symm.ops, s.run.symm.ops));
    const std::string kq = r.kq.str();
    EXPECT_NE(kq.find(std::string("\n") + c.latt_line + "\n"), std::string::npos);
    int cards = 0;
    for (std::size_t at = kq.find("\nSYMM "); at != std::string::npos; at = kq.find("\nSYMM ", at + 1))
      ++cards;
    EXPECT_EQ(cards, c.cards);
    EXPECT_NE(r.mopro.str().find(ffmt_text("(A,I3,1X,A)", {"SYMM ", c.cards + 1, c.latt_line + 7})),
              std::string::npos);
  }
}

// Three blocks: global metadata, then two structures.
const std::string kThreeBlocks =
    "data_global\n_journal_year 2024\n"
    "data_first\n_cell_length_a 5\n_cell_length_b 5\n_cell_length_c 5\n"
    "_symmetry_space_group_name_H-M 'P 1'\n"
    "loop_\n_atom_site_label\n_atom_site_fract_x\n_atom_site_fract_y\n_atom_site_fract_z\n"
    "O1 0 0 0\n"
    "data_Second\n_cell_length_a 6\n_cell_length_b 6\n_cell_length_c 6\n"
    "_symmetry_space_group_name_H-M 'P -1'\n"
    "loop_\n_atom_site_label\n_atom_site_fract_x\n_atom_site_fract_y\n_atom_site_fract_z\n"
    "N7 0 0 0\n";

TEST(CifReader, DataBlockFromTheInputLineOrTheFirstWithAtoms) {
  const struct {
    const char* head;  // bytes before the first block
    const char* block;
    const char* label;
    int nsym;
  } cases[] = {{"", "", "O(1)    ", 1}, {"", "second", "N(7)    ", 2},
               {"", "data_SECOND", "N(7)    ", 2}, {"", "first", "O(1)    ", 1},
               {"\xEF\xBB\xBF", "second", "N(7)    ", 2}};  // UTF-8 byte-order mark
  for (const auto& c : cases) {
    SCOPED_TRACE(c.block);
    CifRun r;
    r.read_text(c.head + kThreeBlocks, c.block);
    ASSERT_EQ(r.run.atoms.natoms, 1);
    EXPECT_EQ(r.run.atoms.at(1).label, c.label);
    EXPECT_EQ(r.run.symm.nsym(), c.nsym);
  }
}

const std::string kCell = "_cell_length_a 5\n_cell_length_b 5\n_cell_length_c 5\n";
const std::string kP1 = "_symmetry_space_group_name_H-M 'P 1'\n";
std::string sites(const std::string& rows) {
  return "loop_\n_atom_site_label\n_atom_site_type_symbol\n_atom_site_fract_x\n"
         "_atom_site_fract_y\n_atom_site_fract_z\n" + rows;
}

// Blocks that cannot be used. A block that lacks what the run needs is the
// reader's fatal stop (status 1); a value that cannot be read is a read error
// of the input layer (status 2).
TEST(CifReader, MalformedBlocksStopWithFileBlockAndItem) {
  const struct {
    const char* why;
    std::string text;
    const char* block;
    FatalError::Kind kind;
    const char* message;
  } cases[] = {
      {"no structure in the file", "data_meta\n_journal_year 2024\n", "", FatalError::Kind::Err,
       "File test.cif: no data block with atom sites (_atom_site_fract_x)"},
      {"named block absent", kThreeBlocks, "third", FatalError::Kind::Err,
       "File test.cif: no data block data_third"},
      {"named block without atoms", "data_x\n" + kCell + kP1, "x", FatalError::Kind::Err,
       "File test.cif, block data_x: no atoms: _atom_site_fract_x is not given"},
      {"no cell edge b", "data_x\n_cell_length_a 5\n_cell_length_c 5\n" + kP1 + sites("C1 C 0 0 0\n"),
       "", FatalError::Kind::Err, "File test.cif, block data_x: no cell: _cell_length_b is not given"},
      {"cell edge not given", "data_x\n_cell_length_a ?\n" + kCell.substr(17) + kP1 + sites("C1 C 0 0 0\n"),
       "", FatalError::Kind::Err, "File test.cif, block data_x: no cell: _cell_length_a is not given"},
      {"no symmetry at all", "data_x\n" + kCell + sites("C1 C 0 0 0\n"), "", FatalError::Kind::Err,
       "File test.cif, block data_x: no symmetry: none of _space_group_symop_operation_xyz, "
       "_symmetry_equiv_pos_as_xyz, _space_group_name_Hall, _space_group_name_H-M_alt (or their "
       "_symmetry_space_group_ forms) is given"},
      {"unknown symbol", "data_x\n" + kCell + "_symmetry_space_group_name_H-M 'P 7'\n" +
                             sites("C1 C 0 0 0\n"),
       "", FatalError::Kind::Err,
       "File test.cif, block data_x: no symmetry: _symmetry_space_group_name_H-M: the "
       "space-group symbol 'P 7' is not known"},
      {"unreadable operator", "data_x\n" + kCell + "loop_\n_symmetry_equiv_pos_as_xyz\nx,y,z\n'x,y'\n" +
                                  sites("C1 C 0 0 0\n"),
       "", FatalError::Kind::Input,
       "block data_x, _symmetry_equiv_pos_as_xyz: the operator 'x,y' cannot be read"},
      {"operator with a 20-digit number", "data_x\n" + kCell +
           "loop_\n_symmetry_equiv_pos_as_xyz\nx,y,z\n'x,17777777777777777777/2-y,-z'\n" + sites("C1 C 0 0 0\n"),
       "", FatalError::Kind::Input,
       "block data_x, _symmetry_equiv_pos_as_xyz: the operator 'x,17777777777777777777/2-y,-z' cannot be read"},
      {"decimal translation that is no twelfth", "data_x\n" + kCell +
           "loop_\n_symmetry_equiv_pos_as_xyz\nx,y,z\n'-x,y+0.37,-z'\n" + sites("C1 C 0 0 0\n"),
       "", FatalError::Kind::Input,
       "block data_x, _symmetry_equiv_pos_as_xyz: the operator '-x,y+0.37,-z' has a translation "
       "that is no multiple of 1/12"},
      {"operator of infinite order", "data_x\n" + kCell +
           "loop_\n_symmetry_equiv_pos_as_xyz\nx,y,z\n'x+y,x,z'\n" + sites("C1 C 0 0 0\n"),
       "", FatalError::Kind::Input,
       "block data_x, _symmetry_equiv_pos_as_xyz: the operators do not form a space group"},
      {"two translations for one rotation", "data_x\n" + kCell +
           "loop_\n_space_group_symop_operation_xyz\nx,y,z\n-x,-y,z\n-x,-y,z+1/2\n" +
           sites("C1 C 0 0 0\n"),
       "", FatalError::Kind::Input,
       "block data_x, _space_group_symop_operation_xyz: the operators do not form a space group"},
      {"atom loop without labels", "data_x\n" + kCell + kP1 +
           "loop_\n_atom_site_fract_x\n_atom_site_fract_y\n_atom_site_fract_z\n0 0 0\n",
       "", FatalError::Kind::Err, "File test.cif, block data_x: no atoms: _atom_site_label is not given"},
      {"type symbol of no element", "data_x\n" + kCell + kP1 + sites("Xx1 Xx 0 0 0\n"), "",
       FatalError::Kind::Err,
       "File test.cif, block data_x: atom Xx1: the element of _atom_site_type_symbol 'Xx' cannot be told"},
      {"no type symbol, label of no element", "data_x\n" + kCell + kP1 + sites("Q1 ? 0 0 0\n"), "",
       FatalError::Kind::Err,
       "File test.cif, block data_x: atom Q1: no _atom_site_type_symbol, and the element of "
       "_atom_site_label cannot be told"},
      {"coordinate not a number", "data_x\n" + kCell + kP1 + sites("C1 C 0.1a 0 0\n"), "",
       FatalError::Kind::Input, "block data_x, _atom_site_fract_x of atom C1: '0.1a' is not a number"},
      {"negative cell edge", "data_x\n_cell_length_a -5\n" + kCell.substr(17) + kP1 + sites("C1 C 0 0 0\n"),
       "", FatalError::Kind::Err,
       "File test.cif, block data_x: invalid cell: cell lengths must lie between 0 and 10000 Angstrom"},
      {"angles that close no cell", "data_x\n" + kCell + "_cell_angle_alpha 150\n_cell_angle_beta 150\n" +
           kP1 + sites("C1 C 0 0 0\n"),
       "", FatalError::Kind::Err, "File test.cif, block data_x: invalid cell: the cell angles do not close a cell"},
      {"coordinate beyond single precision", "data_x\n" + kCell + kP1 + sites("C1 C 1e40 0 0\n"), "",
       FatalError::Kind::Input, "block data_x, _atom_site_fract_x of atom C1: '1e40' is out of range"},
      {"coordinate beyond a thousand cells", "data_x\n" + kCell + kP1 + sites("C1 C 0 0 2000.5\n"), "",
       FatalError::Kind::Input, "block data_x, _atom_site_fract_z of atom C1: '2000.5' is out of range"},
      {"coordinate not given", "data_x\n" + kCell + kP1 + sites("C1 C 0.1 ? 0\n"), "",
       FatalError::Kind::Input, "block data_x, _atom_site_fract_y of atom C1: not given"},
      {"bad occupancy", "data_x\n" + kCell + kP1 +
           "loop_\n_atom_site_label\n_atom_site_fract_x\n_atom_site_fract_y\n_atom_site_fract_z\n"
           "_atom_site_occupancy\nC1 0 0 0 half\n",
       "", FatalError::Kind::Input, "block data_x, _atom_site_occupancy of atom C1: 'half' is not a number"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.why);
    CifRun r;
    const FatalError e = r.failure(c.text, c.block);
    EXPECT_EQ(e.kind(), c.kind);
    EXPECT_EQ(e.routine(), c.kind == FatalError::Kind::Err ? "ReadCif" : "test.cif");
    EXPECT_EQ(e.message(), c.message);
  }
}

TEST(CifReader, FilesThatCannotBeOpenedOrParsed) {
  const char* const kMessages[][2] = {{"missing.cif", "Error opening CIF file missing.cif"},
                                      {"folder.cif", "CIF file folder.cif is a directory"}};
  for (const auto& [name, message] : kMessages) {
    testing::ScratchDir dir;
    std::filesystem::create_directory("folder.cif");
    CifRun r;
    const FatalError e = CifRun::stop_of([&] { readcif(r.run, name, "", ShelxHeaders{}); });
    EXPECT_EQ(e.routine(), "ReadCif");
    EXPECT_EQ(e.message(), message);
  }
  // A loop whose values do not fill its last row is a CIF syntax error.
  CifRun r;
  const FatalError e = r.failure("data_x\nloop_\n_a\n_b\n1 2 3\n");
  EXPECT_EQ(e.kind(), FatalError::Kind::Input);
  EXPECT_EQ(e.routine(), "test.cif");
  EXPECT_EQ(e.message().rfind("test.cif:", 0), 0u) << e.message();
}

}  // namespace
}  // namespace tesk
