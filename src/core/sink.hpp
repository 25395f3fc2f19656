// An output file or console stream that may be opened, attached to a stream
// (tests, the console), or left closed (writes go nowhere). A file collects
// its text in a large buffer of its own and hands each full block to a
// background write while the next block fills, so the run does not wait on
// the disk; closing waits for that write and writes the rest, so whatever
// was written before a fatal stop is on disk. A file that could not be
// written to its end (disk full, a read-only place) is a fatal stop, never a
// silently short file.
#pragma once

#include <cstdio>
#include <future>
#include <ostream>
#include <string>
#include <string_view>

namespace tesk {

class Sink {
 public:
  Sink() = default;
  Sink(const Sink&) = delete;
  Sink& operator=(const Sink&) = delete;
  ~Sink() { close_quietly(); }

  // Creates or truncates `path` (Fortran status "unknown"). False on failure.
  bool open(const std::string& path);
  // The same; a file that cannot be opened is err(routine, "Unable to open
  // output file <path>").
  void open_or_stop(const std::string& path, std::string_view routine);
  void attach(std::ostream& os) { close_quietly(); stream_ = &os; }
  // Writes the rest and closes; err("Tesk", "Error writing output file
  // <path>") when any write to the file failed.
  void close();
  // Writes the rest and closes without checking, for the way out of a fatal
  // stop.
  void close_quietly() noexcept;
  bool is_open() const { return file_ != nullptr || stream_ != nullptr; }

  Sink& operator<<(std::string_view text) {
    if (file_ != nullptr) {
      buffer_.append(text);
      if (buffer_.size() >= kBlock) write_buffer();
    } else if (stream_ != nullptr) {
      *stream_ << text;
    }
    return *this;
  }
  Sink& operator<<(const char* text) { return *this << std::string_view(text); }
  // A finished record (what ffmt returns): its storage goes back to the
  // formatter for the next record, so a long run of writes does not
  // allocate a string per line.
  Sink& operator<<(std::string&& text);

  void flush();

 private:
  static constexpr std::size_t kBlock = std::size_t{1} << 20;
  void write_buffer();
  void wait_for_write();
  // Writes what is left, closes the file; false when any write failed.
  bool finish() noexcept;

  std::FILE* file_ = nullptr;
  std::ostream* stream_ = nullptr;
  std::string path_;
  std::string buffer_;
  std::string writing_;         // the block the background write is on
  std::future<bool> pending_;   // that write; false when it failed
  bool failed_ = false;         // a write to this file failed
};

}  // namespace tesk
