// An output file or console stream that may be opened, attached to a stream
// (tests), or left closed (writes go nowhere). Flushes on close so whatever
// was written before a fatal stop is on disk.
#pragma once

#include <fstream>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>

namespace tesk {

class Sink {
 public:
  Sink() = default;
  Sink(const Sink&) = delete;
  Sink& operator=(const Sink&) = delete;

  // Creates or truncates `path` (Fortran status "unknown"). False on failure.
  bool open(const std::string& path);
  void attach(std::ostream& os) { close(); out_ = &os; }
  void close();
  bool is_open() const { return out_ != nullptr; }

  Sink& operator<<(std::string_view text) {
    if (out_) *out_ << text;
    return *this;
  }
  void flush() { if (out_) out_->flush(); }

 private:
  std::unique_ptr<char[]> buffer_;  // declared first: outlives the stream that uses it
  std::unique_ptr<std::ofstream> file_;
  std::ostream* out_ = nullptr;
};

}  // namespace tesk
