// The KQ master file after its ATOM table: refinement controls, the KEY table
// of refined parameters with one KAPPA line per kappa set, and the property
// and geometry modules that close a file started from SHELX input.
#include "output/kq_master.hpp"

#include <algorithm>
#include <array>
#include <string_view>
#include <vector>

#include "format/fortran_format.hpp"
#include "model/options.hpp"
#include "model/run.hpp"
#include "output/kq_master_copy.hpp"
#include "output/output_headers.hpp"

namespace tesk {

namespace {

// KEY code columns. Positions and displacements: XYZ, the six U2, then the
// anharmonic U3 (10) and U4 (15), never refined here.
constexpr std::string_view kXyzFixed = "000 000000 0000000000 000000000000000 ";
constexpr std::string_view kXyzRefined = "111 111111 0000000000 000000000000000 ";
// A hydrogen refines its position and an isotropic U only.
constexpr std::string_view kXyzHydrogen = "111 100000 0000000000 000000000000000 ";
constexpr std::string_view kPolesFixed = "00 000 00000 0000000 000000000";

// Multipoles allowed by each local site symmetry: Pv and P00, then dipoles,
// quadrupoles, octupoles, hexadecapoles. A term that changes under the site's
// operations in the local axes stays fixed at 0.
struct SitePoles {
  std::string_view sitesym;  // as stored in the 5-column field
  std::string_view poles;
};
constexpr std::array<SitePoles, 13> kSitePoles{{
    {"NO   ", "10 111 11111 1111111 111111111"},
    {"C    ", "10 000 11111 0000000 111111111"},
    {"2    ", "10 000 10011 1001100 100110011"},
    {"m    ", "10 110 10011 0110011 100110011"},
    {"2/m  ", "10 000 10011 0000000 100110011"},
    {"222  ", "10 001 10010 1000100 100100010"},
    {"mm2  ", "10 001 10010 1001000 100100010"},
    {"mmm  ", "10 000 10010 0000000 100100010"},
    {"4    ", "10 001 10000 1000000 100000011"},
    {"-42m ", "10 001 10000 0001000 100000010"},
    {"3    ", "10 001 10000 1000011 100001100"},
    {"3m   ", "10 001 10000 1000010 100001000"},
    {"cyl  ", "10 001 10000 1000000 100000000"},
}};

constexpr std::size_t kXyzuij = 0, kXyzAll = 1, kXyzOrdered = 2;
constexpr std::size_t kMult = 3, kMultAll = 4, kMultOrdered = 5, kKappas = 6;

// "all" refines every atom, "ordered" skips the disordered part (flag -1).
bool selected(const Options& opt, std::size_t all, std::size_t ordered, const Atom& a) {
  return opt.lkeys[all] || (opt.lkeys[ordered] && a.flag != -1);
}

std::string_view site_poles(const std::string& sitesym) {
  for (const SitePoles& row : kSitePoles) {
    if (row.sitesym == sitesym) return row.poles;
  }
  return kPolesFixed;
}

// Per kappa set 1..nkappaset: whether any input atom other than hydrogen
// uses it. One pass over the atoms.
std::vector<bool> sets_with_heavy_atoms(const Run& run) {
  const int nsets = run.db.nkappaset;
  std::vector<bool> heavy(static_cast<std::size_t>(nsets) + 1, false);
  const int n = std::min(run.atoms.natoms, static_cast<int>(run.db.kappaset.size()));
  for (int i = 1; i <= n; ++i) {
    int k = run.db.kappaset[static_cast<std::size_t>(i - 1)];
    if (k >= 1 && k <= nsets && run.atoms.at(i).iz != 1) heavy[static_cast<std::size_t>(k)] = true;
  }
  return heavy;
}

// A set used by hydrogens alone refines only its kappa; any heavier atom in
// the set frees kappa' as well.
void write_kappa_lines(Run& run) {
  Sink& out = run.out.kqmas;
  const int nsets = run.db.nkappaset;
  if (run.opt.lsx != 0 || !run.opt.lkeys[kKappas]) {
    for (int k = 1; k <= nsets; ++k) kq_line(out, "KAPPA   000000");
    return;
  }
  std::vector<bool> heavy = sets_with_heavy_atoms(run);
  for (int k = 1; k <= nsets; ++k) {
    kq_line(out, heavy[static_cast<std::size_t>(k)] ? "KAPPA   110000" : "KAPPA   100000");
  }
}

void write_key_table(Run& run) {
  Sink& out = run.out.kqmas;
  kq_line(out, "KEY     XYZ --U2-- ----U3---- ------U4------- M- -D- --Q-- ---O--- ----H----");
  for (int i = 1; i <= run.atoms.natoms; ++i) {
    out << ffmt("(a8,a)", {fixed_width(run.atoms.at(i).label, 8), getkey(run, i)});
  }
  write_kappa_lines(run);
}

void write_key_tail(Sink& out) {
  kq_line(out, "EXTCN   0000000");
  kq_line(out, "OVTHP   0");
  kq_line(out, "SCALE   1");
  kq_line(out, "END KEY");
}

void write_closing_lines(const Run& run, Sink& out) {
  kq_line(out, kKqRule);
  kq_line(out, "!");
  kq_line(out, "   END KQLSM");
  kq_line(out, "!");
  kq_line(out, "!");
  wrkqmas2(run, out);
}

}  // namespace

void wrkqmas1(const Run& run, Sink& out, int nkappa) {
  kq_line(out, kKqRule);
  std::vector<FArg> keep{"KEEP  kappa "};
  // The set numbers are I4 fields, wider from set 10000 on (wide_int).
  for (int k = 1; k <= nkappa; ++k) keep.emplace_back(wide_int(k, 4));
  out << ffmt("( a, 20a,' \\', 10(/,20a,' \\') )", keep);
  kq_line(out, "KEEP  charge group1");
  kq_line(out, "!KEEP  rigid group1");
  kq_line(out, "!RESET bond C(1) H(1) 1.09 ...");
  const auto& w = run.shelx1.wght;
  out << ffmt("(a,6f11.5)", {"WEIGHT  ", w[0], w[1], w[2], w[3], w[4], w[5]});
  kq_line(out, "SKIP  obs 0. 1.d10 *sigobs 3. 1.d06 sinthl 0. 2.");
  kq_line(out, "PRINT sinthl .0 2. obs 0. 15. delta 0. 10. *del% 80 100 extcn 80. 100. *abssc");
  kq_line(out, "!EXTCN  *iso aniso *type_1 type_2 type_3 distr_g *distr_l msc_0  msc_1");
  kq_line(out, "!DMSDA  1.1  1.8");
  kq_line(out, "!FOUR  fmod1 4 2 0 0  fmod2 -1 2 0 0");
  kq_line(out, "!CON  num1 par1/iat1 num2 par2/iat2 ... = num0");
  kq_line(out, kKqRule);
}

std::string getkey(const Run& run, int atom) {
  const Options& opt = run.opt;
  const Atom& a = run.atoms.at(atom);
  std::string_view xyz = kXyzFixed;
  if (opt.lkeys[kXyzuij] && selected(opt, kXyzAll, kXyzOrdered, a)) {
    xyz = a.iz == 1 ? kXyzHydrogen : kXyzRefined;
  }
  std::string_view poles = kPolesFixed;
  if (opt.lsx == 0 && opt.lkeys[kMult] && selected(opt, kMultAll, kMultOrdered, a)) {
    poles = site_poles(a.sitesym);
  }
  std::string code(xyz);
  code += poles;
  return code;
}

void wrkqmas2(const Run& run, Sink& out) {
  for (std::string_view text : {
           "!", "   MODULE *KQPROP", "!", "MODEL  iam *multipole",
           "!APPLY  symm 1 translations 0 0 0 ato(1) ato(2) ...",
           "SELECT  *local  numdx  check  esd  nocore",
           "SELECT  cpcut 0.0001 lmax 4  nstep 20  rcut 4.0 ",
           "SELECT  scale 0.05  dx 0.001  ds 0.005 ",
           "SELECT  rad1 0.1  rad2 200.  rad3 10.  zone1 1  zone2 1",
           "SELECT  rEcrit 0.00001  rNcrit 0.00001",
           "QUADINT   iqt 2  Nrad 50  Nang 194  Becke  *Stock  Print",
           "!GROUP  ato(1) ato(2) ...", "MOLMOM  *cmass center ucell ccharge", "!D-POP",
           "!EXPORT *orient *min16 lmax 4 nmol 1 natmol ..."}) {
    kq_line(out, text);
  }
  out << ffmt("(100a)", {"PROPERTY  *rho gradrho d2rho nucpot elpot core",
                         " valence defden sigrho siglap esp ef efg"});
  for (std::string_view text : {
           "!QFIT  grid 11 length 7.0 width 1.0 constrain false", "!CONSTRAIN  ato(1) ato(2) ...",
           "!", "!STOCKMOM  defden lmin 0 lmax 4 *cmass center ucell debug",
           "!STOCKMOM *orient *min16 lmax 4 nmol 1 natmol ...",
           "!STOCKMOM  atoms *all select ato(1) ato(2) ...", "!",
           "!ATATPOT  *EXREP spack  wilcox lj *saptP  saptA ",
           "!ATATPOT  *DISPR spack  wilcox lj *saptP  saptA ",
           "!ATATPOT  *INDUC                  *saptP  saptA", "!",
           "!HBONDS   H(1) O(1) 1.75   H(2) O(2) 1.82", "!", "!HPOLAR   H(1) H(3) H(4)", "!",
           "!INTEREN  frag 1  nat1 -nat2  *neutral", "!INTEREN  frag 2  nat3 -nat4  *neutral",
           "!INTEREN  EP aMM  mMM *EPMM  rCrit1 4.5 rCrit2 20. debug", "!"}) {
    kq_line(out, text);
  }
  out << ffmt("(a,a,a)", {"!LATEN  frag1 1 ", wide_int(run.atoms.natoms, 4), "  *neutral"});
  for (std::string_view text : {
           "!LATEN  ncells 0 20  nappl 0  symms 1 2 3",
           "!LATEN  EP  aMM  mMM  *EPMM  rCrit1 4.5 rCrit2 20. lapf debug", "!", "!POINT  x y z",
           "!LINE  ato(1) ato(2)  npts 50", "!LINE  points x1 y1 z1 x2 y2 z2 npts 50",
           "!CUBE  centre x y z   npts 30  stepsize 0.1",
           "!CUBE  ato(1) ato(2)  npts 20  stepsize 0.1",
           "!MAP  atoms ato(1) ato(2) ato(3) npts 50 stepsize 0.1"}) {
    kq_line(out, text);
  }
  out << ffmt("(100a)", {"!MAP  bvect1 x1 y1 z1 bvect2 x2 y2 z2 cen x0 y0 z0",
                         " npts 50 stepsize 0.1"});
  for (std::string_view text : {"!CPSEARCH  bond ato(1) ato(2)",
                                "!CPSEARCH  bond rmin  1.2 rmax  1.6",
                                "!CPSEARCH  ring ato(1) ato(2) ..."}) {
    kq_line(out, text);
  }
  out << ffmt("(100a)", {"!CPSEARCH  shell ato(1) rmin 0.3 rmax 0.5 nrad 5 ",
                         "nang 11 11 cutoff 16.0"});
  for (std::string_view text : {
           "!CPSEARCH BUBBLE ato(1) rmin 0.3 rmax 0.5 curv -3 ncps 3", "!CPSEARCH  point x y z",
           "!CPSEARCH  start file.cps", "!BPATH  ato(1) ato(2) algrithm 2", "!",
           "   END KQPROP"}) {
    kq_line(out, text);
  }
  out << ffmt("(100a)", {std::string(43, '!'), std::string(36, '!')});
  kq_line(out, "   MODULE KQGEOM");
  kq_line(out, "SELECT   rmin 0.8 rmax 1.8  tor *ato *bon *ang loc non");
  kq_line(out, "   END  KQGEOM");
  out << ffmt("(79('!'))");
}

void write_kq_master_tail(Run& run) {
  Sink& out = run.out.kqmas;
  switch (static_cast<InputFormat>(run.opt.ftype)) {
    case InputFormat::Kq: {
      // The previous master file's instructions and modules stay as the user left them.
      PreviousMaster previous(run);
      previous.skip_head();
      previous.copy_middle(out);
      write_key_table(run);
      previous.copy_tail(out);
      return;
    }
    case InputFormat::Aim2tab:
      write_key_table(run);
      write_key_tail(out);
      return;
    case InputFormat::Shelx:
    case InputFormat::Cif:  // its header lines stand for the SHELX cards
      wrkqmas1(run, out, run.db.nkappaset);
      write_key_table(run);
      write_key_tail(out);
      write_closing_lines(run, out);
      return;
    default:  // PLATON: the file ends with the KAPPA lines
      write_key_table(run);
      return;
  }
}

}  // namespace tesk
