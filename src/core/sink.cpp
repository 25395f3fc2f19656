// Output files as RAII objects.
#include "core/sink.hpp"

namespace tesk {

bool Sink::open(const std::string& path) {
  close();
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
  return true;
}

void Sink::close() {
  if (file_) {
    file_->flush();
    file_->close();
    file_.reset();
  }
  out_ = nullptr;
}

}  // namespace tesk
