// An output file or console stream that may be opened, attached to a stream
// (tests), or left closed (writes go nowhere). Flushes on close so whatever
// was written before a fatal stop is on disk; a file that could not be
// written to its end (disk full, a read-only place) is a fatal stop, never a
// silently short file.
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
  // The same; a file that cannot be opened is err(routine, "Unable to open
  // output file <path>").
  void open_or_stop(const std::string& path, std::string_view routine);
  void attach(std::ostream& os) { close_quietly(); out_ = &os; }
  // Flushes and closes; err("Tesk", "Error writing output file <path>") when
  // any write to the file failed.
  void close();
  // Closes without checking, for the way out of a fatal stop.
  void close_quietly() noexcept;
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
  std::string path_;
};

}  // namespace tesk
