// Copying the previous KQ master file into the new one: the head before the
// ATOM table, the instructions between END ATOM and KEY, and the tail from
// EXTCN on (the end of the KEY section and every module after it).
#include "output/kq_master_copy.hpp"

#include <algorithm>

#include "core/errors.hpp"
#include "core/sink.hpp"
#include "model/run.hpp"

namespace tesk {

namespace {

constexpr int kCopyWidth = 200;

struct StopLine {
  std::string_view key;
  bool any_case;  // END and EXTCN are recognised in any letter case
};

StopLine stop_line(int which) {
  static constexpr StopLine kLines[] = {{"ATOM", false}, {"END ", true}, {"KEY ", false},
                                        {"EXTCN ", true}};
  return kLines[which];
}

bool begins_with(std::string_view record, const StopLine& stop) {
  const std::string head(record.substr(0, std::min(record.size(), stop.key.size())));
  return (stop.any_case ? upper(head) : head) == stop.key;
}

}  // namespace

void copy_master_line(Sink& out, std::string_view record) {
  const std::string line = fixed_width(record, kCopyWidth);
  out << std::string_view(line).substr(0, static_cast<std::size_t>(ils(line))) << "\n";
}

PreviousMaster::PreviousMaster(const Run& run) : file_(trim_right(run.opt.kqold)) {
  if (!in_.open(file_)) err("ReadKQ", "Error opening KQ master file " + file_);
}

void PreviousMaster::read_until(Until stop, Sink* out) {
  const StopLine line = stop_line(static_cast<int>(stop));
  std::string record;
  while (in_.next(record)) {
    if (begins_with(record, line)) {
      in_.backspace();
      return;
    }
    if (out) copy_master_line(*out, record);
  }
  input_error(file_, "the previous KQ master file has no line beginning with \"" +
                         trim_right(line.key) + "\"");
}

void PreviousMaster::copy_head(Sink& out) { read_until(Until::Atom, &out); }

void PreviousMaster::skip_head() { read_until(Until::Atom, nullptr); }

void PreviousMaster::copy_middle(Sink& out) {
  read_until(Until::End, nullptr);
  std::string end_atom;
  in_.next(end_atom);
  read_until(Until::Key, &out);
}

void PreviousMaster::copy_tail(Sink& out) {
  read_until(Until::Extcn, nullptr);
  std::string record;
  while (in_.next(record)) copy_master_line(out, record);
}

void copy_kq_master_head(Run& run) {
  PreviousMaster previous(run);
  previous.copy_head(run.out.kqmas);
}

}  // namespace tesk
