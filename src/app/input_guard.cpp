// Inputs that are also outputs of the run, found before anything is written.
#include "app/input_guard.hpp"

#include <filesystem>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

#include "app/control_file.hpp"
#include "core/errors.hpp"
#include "model/run.hpp"

namespace tesk {
namespace {

namespace fs = std::filesystem;

// Every file a run may create or overwrite in the current directory.
const char* const kOutputFiles[] = {
    "kq_tesk.mas", "kq_tesk.inp", "mopro_tesk.par", "con_mopro.inp", "res_mopro.inp",
    "tesk.out",    "tesk.spf",    "tesk.ang",       "fixedH.ins",    "reset.bond",
    "const.bond",  "reduced.ang", "reduced_1.ang",  "complete.ang",  "group.ang",
    "tesk.json",   "tesk.html"};

// The same file: one inode when both exist (links included), otherwise the
// same place once written out in full.
bool same_file(const fs::path& a, const fs::path& b) {
  std::error_code ea, eb;
  if (fs::exists(a, ea) && fs::exists(b, eb)) {
    std::error_code e;
    return fs::equivalent(a, b, e);
  }
  std::error_code ca, cb;
  const fs::path wa = fs::weakly_canonical(a, ca), wb = fs::weakly_canonical(b, cb);
  return !ca && !cb && wa == wb;
}

std::vector<std::string> files_read(const Options& o) {
  std::vector<std::string> names = {trim_right(o.name1)};
  if (o.ftype == static_cast<int>(InputFormat::Kq)) names.push_back(trim_right(o.kqold));
  if (o.ldb == 1) names.push_back(trim_right(o.abank));
  std::erase(names, std::string());
  return names;
}

}  // namespace

void refuse_inputs_that_are_outputs() {
  // A run of its own with every sink closed: the control file is read as
  // the real run will read it, and no line goes anywhere.
  auto probe = std::make_unique<Run>();
  init(*probe);
  try {
    readinp(*probe);
  } catch (const FatalError&) {
    return;
  }
  for (const std::string& input : files_read(probe->opt))
    for (const char* output : kOutputFiles)
      if (same_file(input, output))
        err("Tesk", "Input file " + input + " is the output file " + output +
                        " of this run, which would overwrite it before it is read: rename it");
}

}  // namespace tesk
