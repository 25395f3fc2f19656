// The option summary that ends the reading of tesk.inp in the log.
#include "app/control_file.hpp"
#include "model/run.hpp"
#include "format/fortran_format.hpp"
#include "model/elements.hpp"

namespace tesk {
namespace {

std::string trimmed(const std::string& name) { return name.substr(0, static_cast<std::size_t>(ils(name))); }

void print_format_line(const Run& run, Sink& log) {
  const Options& o = run.opt;
  std::vector<FArg> items{format_word(o.ftype)};
  if (o.ftype == 2) {
    items.insert(items.end(), {trimmed(o.kqold), " ", trimmed(o.name1)});
  } else if (o.ftype == 6) {
    items.insert(items.end(), {trimmed(o.name1), "   data block = ",
                               o.cifblock.empty() ? "the first with atom sites" : o.cifblock});
  } else {
    items.emplace_back(trimmed(o.name1));
  }
  log << ffmt("(' Input file format = ',a,4x,'file(s) = ',4a)", items);
}

void print_fragments_disorder_keys(const Run& run, Sink& log) {
  const Options& o = run.opt;
  if (o.compfrag != -1) {
    log << ffmt("(' Search for complete fragments within ',i3,' ... ',sp,i3,' unit cells')",
                {-o.compfrag, o.compfrag});
  } else {
    log << ffmt("(a)", {" Do not search for complete fragments"});
  }
  prttol(run, log);
  log << ffmt("(a)", {" Treatment of disorder :"});
  log << ffmt("(a)", {o.disorder[0] ? "   apply Extend_H option" : "   do NOT apply Extend_H option"});
  log << ffmt("(a)", {o.disorder[1] ? "   apply DB" : "   do NOT apply DB"});
  if (o.ldb == 1 && o.disorder[1] == 1 && o.disorder[0] == 0)
    log << ffmt("(3x,'WARNING!!! Applying DB to disordered H-atoms',/,"
                "14x,'w/o extending distances is CRAZY !!!')");
  log << ffmt("(a)", {" Instructions for KEY table generation:"});
  const auto& k = o.lkeys;
  log << ffmt("(3x,'XYZUIJ=.',l1,'. all=.',l1,'. ordered=.',l1,'.',/,"
              "3x,'  MULT=.',l1,'. all=.',l1,'. ordered=.',l1,'. kappas=.',l1,'.')",
              {k[0], k[1], k[2], k[3], k[4], k[5], k[6]});
}

void print_databank_to_rings(const Run& run, Sink& log) {
  const Options& o = run.opt;
  if (o.ldb == 1)
    log << ffmt("(' Read pseudoatom parameters from databank file :',/,3x,a)", {trimmed(o.abank)});
  if (o.simple == 1)
    log << ffmt("(a)", {" Use simple model for determination of chemical equivalency"});
  log << ffmt("(1x,a,'se chemical/kappa constraints for ',a)",
              {o.lchem[0] == 1 ? "U" : "Do NOT u", "H-atoms"});
  log << ffmt("(1x,a,'se chemical/kappa constraints for ',a)",
              {o.lchem[1] == 1 ? "U" : "Do NOT u", "non-H atoms"});
  if (o.rings_flag == 1)
    log << ffmt("(' Find rings with ',i3,' - ',i3,' atoms')", {o.ring1[0], o.ring1[1]});
  log << ffmt("(' Treatment of atoms that belong to 1 planar ring :',/3x,a)",
              {o.ring1[2] == 1 ? "always m-symmetry : X - towards center, Y - neighbor in the ring"
                               : "as other atoms (only mark with iring=1)"});
}

void print_extend_scale_radii(const Run& run, Sink& log) {
  const Options& o = run.opt;
  if (o.lfh == 1)
    log << ffmt("(' Extend H-atoms to standard/neutron distances and create',' files : ',/,"
                "3x,'''reset.bond'' with RESET BOND instructions',/,"
                "3x,'''const.bond'' with CONSTRAINTS instructions')");
  if (o.ldb == 1) {
    static const char* const kMethod[] = {"", "difference", "fraction", "sigmaPv"};
    int m = (o.scaling >= 1 && o.scaling <= 3) ? o.scaling : 0;
    log << ffmt("(' Scale total population using ',a,' method')", {kMethod[m]});
  }
  log << ffmt("(/1x,71('-'))") << ffmt("(/a)", {" Atomic covalent radii (Angstroms) : "});
  std::vector<FArg> radii;
  for (int z = 1; z <= 54; ++z) {
    radii.emplace_back(atsym(z));
    radii.emplace_back(run.covrad[static_cast<std::size_t>(z)]);
  }
  log << ffmt("( /7( 3x,a2,f5.2 ) )", radii) << ffmt("(/1x,71('-'))");
}

}  // namespace

void print_option_summary(const Run& run, Sink& log) {
  const Options& o = run.opt;
  log << ffmt("(a,i2)", {" Verbosity level = ", o.verbosity});
  print_format_line(run, log);
  if (o.rename == 1) {
    log << ffmt("(' Change SHELX atom names ( irs=',i1,' : ',a,' ) ')",
                {o.rename_scheme, o.rename_scheme == 0 ? "straightforward counting" : "counting atoms types"});
  }
  if (o.report) log << ffmt("(a)", {" Write the report of the run to tesk.json and tesk.html"});
  if (o.lsx == 1) {
    log << ffmt("(/' SIMPLE CONVERSION OF SHELX FILE TO KQ FILES WAS REQUESTED',/,"
                "' ALL OTHER OPTIONS WILL BE IGNORED !!!!!!')");
    log << ffmt("(/1x,71('-'))");
    return;
  }
  print_fragments_disorder_keys(run, log);
  print_databank_to_rings(run, log);
  print_extend_scale_radii(run, log);
}

}  // namespace tesk
