// Output files as RAII objects.
#include "core/sink.hpp"

#include "core/errors.hpp"

namespace tesk {

bool Sink::open(const std::string& path) {
  close_quietly();
  // A large buffer: a log of 100 MB then takes a few hundred writes, not
  // tens of thousands. It is set before the file is opened, as the stream
  // requires.
  constexpr std::size_t kBuffer = std::size_t{1} << 20;
  if (!buffer_) buffer_ = std::make_unique<char[]>(kBuffer);
  auto f = std::make_unique<std::ofstream>();
  f->rdbuf()->pubsetbuf(buffer_.get(), static_cast<std::streamsize>(kBuffer));
  f->open(path, std::ios::out | std::ios::trunc);
  if (!*f) return false;
  file_ = std::move(f);
  out_ = file_.get();
  path_ = path;
  return true;
}

void Sink::open_or_stop(const std::string& path, std::string_view routine) {
  if (!open(path)) err(routine, "Unable to open output file " + path);
}

void Sink::close() {
  if (!file_) {
    out_ = nullptr;
    return;
  }
  file_->flush();
  file_->close();
  bool ok = !file_->fail();
  file_.reset();
  out_ = nullptr;
  if (!ok) err("Tesk", "Error writing output file " + path_);
}

void Sink::close_quietly() noexcept {
  try {
    if (file_) file_->close();
  } catch (...) {
    // the run is already ending with its own message
  }
  file_.reset();
  out_ = nullptr;
}

}  // namespace tesk
