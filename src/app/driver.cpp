// The run from start to end: help mode, output files in their fixed order,
// the pipeline of stages, the closing summary and the processor times.
#include "app/driver.hpp"

#include <istream>
#include <memory>
#include <new>

#include "app/control_file.hpp"
#include "app/input_guard.hpp"
#include "connectivity/neighbours.hpp"
#include "connectivity/rings.hpp"
#include "core/errors.hpp"
#include "core/process_times.hpp"
#include "databank/databank.hpp"
#include "format/fortran_format.hpp"
#include "local_axes/local_axes.hpp"
#include "model/run.hpp"
#include "output/kq_master.hpp"
#include "output/kq_master_copy.hpp"
#include "output/kq_parameter_file.hpp"
#include "output/output_headers.hpp"
#include "output/parameter_files.hpp"
#include "output/rescale.hpp"
#include "output/side_files.hpp"
#include "report/report.hpp"
#include "structure/cartesian_readers.hpp"
#include "structure/cif_reader.hpp"
#include "structure/complete_fragments.hpp"
#include "structure/kq_reader.hpp"
#include "structure/shelx_reader.hpp"

namespace tesk {
namespace {

// The dashed rules of the log are written as 80 one-character items: "(80a/)"
// reaches its closing '/' (the empty line that ends the log) only after all
// eighty A descriptors have been given an item.
const std::vector<FArg> kDashes80(80, FArg("-"));

bool param_files_on(const Options& o) { return o.ldb == 1 || o.lfh == 1 || o.lsx == 1; }

void open_output(Sink& sink, const std::string& name) { sink.open_or_stop(name, "Tesk"); }

// Every output file still open, checked for a write that failed (disk full).
void close_outputs(Run& run) {
  OutputFiles& o = run.out;
  for (Sink* s : {&o.kqmas, &o.kqinp, &o.conmopro, &o.mopropar, &o.resetbond, &o.constbond,
                  &o.resmopro, &o.spf, &o.fixedh})
    s->close();
}

// Asks on the console until the databank name can be opened.
void open_databank(Run& run, std::istream& console_in) {
  while (!load_databank_file(run)) {
    run.out.console << ffmt("(/3a)", {" Error opening databank file ", run.opt.abank});
    std::string answer;
    do {
      run.out.console << ffmt("(1x,a,$)", {"Enter the name of databank file : "});
      run.out.console.flush();
      if (!std::getline(console_in, answer))
        input_error("console", "end of input while asking for the databank file name");
      if (!answer.empty() && answer.back() == '\r') answer.pop_back();
      answer = file_name_field(answer);
    } while (lenstr(answer) == 0);
    run.opt.abank = answer;
  }
}

void start_files(Run& run) {
  open_output(run.out.kqmas, "kq_tesk.mas");
  open_output(run.out.mopropar, "mopro_tesk.par");
  write_mopro_par_header(run);
  open_output(run.out.conmopro, "con_mopro.inp");
  write_con_mopro_header(run);
  open_output(run.out.log, "tesk.out");
  header(run.out.log);
}

void read_structure(Run& run) {
  const std::string& name = run.opt.name1;
  switch (run.opt.ftype) {
    // The SCAT table was written with the instructions; only now are the
    // atoms known that would use a row without orbital codes.
    case 1:
      readshelx(run, name, ShelxHeaders{});
      check_scattering_elements(run);
      break;
    case 2: readkq(run, name); break;
    case 3: readaim2tab(run, name); break;
    case 5: readplaton(run, name); break;
    case 6:
      readcif(run, name, run.opt.cifblock, ShelxHeaders{});
      check_scattering_elements(run);
      break;
    default: break;
  }
  int nsft = 1;
  for (const Atom& a : run.atoms.list) nsft = std::max(nsft, a.sftype);
  run.nsft = nsft;
}

void connectivity(Run& run) {
  const Options& o = run.opt;
  if (o.ifra == 1 && o.compfrag >= 0) {
    gencompletefrags(run);
  } else {
    set_working_list(run);
  }
  if (o.rings_flag == 1) {
    ProcessTimes t0 = process_times();
    connect4rings(run);
    findrings(run);
    ProcessTimes t1 = process_times();
    double u = t1.user - t0.user, s = t1.system - t0.system;
    std::string line = ffmt("(/' Timing for ring search u,s,t (s) :', 3(1x,f12.1) )", {u, s, u + s});
    run.both(line);
  }
  if (o.lfh == 1) {
    open_output(run.out.resetbond, "reset.bond");
    open_output(run.out.constbond, "const.bond");
    open_output(run.out.resmopro, "res_mopro.inp");
    for (const char* l : {"!", "! X-H distances", "!"}) run.out.resmopro << ffmt("(a)", {l});
  }
  findallneighbors(run);
}

void parameter_files(Run& run, std::istream& console_in) {
  const Options& o = run.opt;
  if (!param_files_on(o)) return;
  check_kq_columns(run);
  open_output(run.out.kqinp, "kq_tesk.inp");
  run.out.log << ffmt("(/80a)", kDashes80);
  run.both(ffmt("(/' Creating KQ parameter file...')"));
  if (o.lsx == 0) {
    if (o.lfh == 1) open_output(run.out.fixedh, "fixedH.ins");
    if (o.ldb == 1) {
      run.both_console_first(ffmt(
          "(/' ATOMS SEARCHED in DB, FOUND in DB, ','NOT FOUND in DB = ',3i8)",
          {o.ldb_count[0], o.ldb_count[1], o.ldb_count[2]}));
      if (o.scaling != 0) rescalepv(run, console_in);
    }
  }
  write_parameter_files(run);
  run.out.kqinp.close();
  if (o.lfh == 1) run.out.fixedh.close();
}

void summary(Run& run, const ProcessTimes& start) {
  const Options& o = run.opt;
  run.out.log << ffmt("(/80a)", kDashes80);
  run.both(ffmt("(/' KQ instructions are in file            : kq_tesk.mas')"));
  if (param_files_on(o))
    run.both_console_first(ffmt("( ' KQ parameters are in file              : kq_tesk.inp')"));
  if (o.lfh == 1)
    run.both_console_first(ffmt(
        "(' Atomic coordinates w/extended H-atoms  : fixedH.ins',/,"
        "' RESET BOND instructions for H-atoms    : reset.bond',/,"
        "' CONSTRAINT instructions for H-atoms    : const.bond')"));
  run.both_console_first(ffmt(
      "(' Cartesian coordinates in PLATON format : tesk.ang',/,"
      "' Reduced structure in PLATON format     : reduced.ang &',' reduced_1.ang',/,"
      "' PLATON plot file with local axes       : tesk.spf',/,"
      "' Program log file                       : tesk.out',//,"
      "' Local axes can be visualized in PLATON using command : ','platon -p tesk.spf')"));
  if (o.report)
    run.both_console_first(ffmt("(' Report (JSON) and 3-D page of the axes : tesk.json, tesk.html')"));
  if (o.ldb == 1)
    run.both_console_first(ffmt("(' Summary of DB atom types : grep ''DB comment'' tesk.out')"));
  if (o.lfh == 1)
    run.both_console_first(ffmt("(' Summary of X-H distances : grep -i ''x-h'' tesk.out' )"));
  run.both_console_first(ffmt(
      "(' Summary of exceptions    : grep -i ''Exception',' identified'' tesk.out' )"));
  run.out.kqmas.close();
  ProcessTimes now = process_times();
  double u = now.user - start.user, s = now.system - start.system;
  run.both(ffmt("(/' Total program elapsed times u,s,t (s) :', 3(1x,f12.1) /)", {u, s, u + s}));
  run.out.log << ffmt("(80a/)", kDashes80);
  close_outputs(run);
  run.out.log.close();
}

void per_atom_and_parameters(Run& run, std::istream& console_in) {
  // From a KQ pair the new master file keeps the previous one's header.
  if (run.opt.ftype == static_cast<int>(InputFormat::Kq))
    localdef(run, copy_kq_master_head);
  else
    localdef(run);
  write_kq_master_tail(run);
  if (run.opt.lfh == 1) {
    finish_res_mopro(run);
    run.out.resetbond.close();
    run.out.constbond.close();
  }
  parameter_files(run, console_in);
  finish_spf(run);
}

void pipeline(Run& run, std::istream& console_in, const ProcessTimes& start) {
  init(run);
  header(run.out.console);
  refuse_inputs_that_are_outputs();
  start_files(run);
  readinp(run);
  read_structure(run);
  open_output(run.out.spf, "tesk.spf");
  write_spf_start(run);
  if (run.opt.ldb == 1) open_databank(run, console_in);
  connectivity(run);
  try {
    per_atom_and_parameters(run, console_in);
  } catch (const FatalError& e) {
    // A run that stops once the per-atom loop has begun still reports what
    // it decided, with the error; the stop itself goes on to main.
    if (run.opt.report && run.axes.loop_started) {
      try {
        write_report(run, &e);
      } catch (const FatalError&) {
      }
    }
    throw;
  }
  // The report says the run succeeded only once every output file, the log
  // included, is closed and known to be complete.
  summary(run, start);
  if (run.opt.report) write_report(run, nullptr);
}

void report_fatal(Run& run, const FatalError& e) {
  switch (e.kind()) {
    case FatalError::Kind::Err: {
      std::string block = error_block(e);
      run.out.log << block;
      run.out.console << block;
      break;
    }
    case FatalError::Kind::Input: {
      std::string line = " tesk: read error in " + e.routine() + ": " + e.message() + "\n";
      run.out.log << line;
      run.out.console << line;
      break;
    }
    case FatalError::Kind::Stop:
      break;
  }
  run.out.log.close_quietly();
  run.out.console.flush();
}

}  // namespace

int run_tesk(const std::vector<std::string>& args, std::ostream& console_out,
             std::istream& console_in) {
  ProcessTimes start = process_times();
  auto run = std::make_unique<Run>();
  run->out.console.attach(console_out);
  if (!args.empty()) {
    std::string first = args[0].substr(0, 20);
    if (first.compare(0, 2, "-h") != 0) {
      console_out << " tesk takes no arguments: it reads tesk.inp in the current directory;"
                     " tesk -h prints a sample tesk.inp\n";
      return 2;
    }
    header(run->out.console);
    printhelp(run->out.console);
    return 0;
  }
  try {
    pipeline(*run, console_in, start);
  } catch (const FatalError& e) {
    report_fatal(*run, e);
    return e.exit_status();
  } catch (const std::bad_alloc&) {
    // A structure or option too large for this machine's memory.
    report_fatal(*run, FatalError(FatalError::Kind::Err, "Tesk", "Out of memory"));
    return 1;
  } catch (const std::exception& e) {
    report_fatal(*run, FatalError(FatalError::Kind::Err, "Tesk", e.what()));
    return 1;
  }
  return 0;
}

}  // namespace tesk
