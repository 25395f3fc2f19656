// Output files as RAII objects.
#include "core/sink.hpp"

#include "format/fortran_format.hpp"

namespace tesk {

bool Sink::open(const std::string& path) {
  close();
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return false;
  // The sink does its own buffering: a log of 100 MB then takes a hundred
  // writes, not tens of thousands.
  std::setvbuf(f, nullptr, _IONBF, 0);
  file_ = f;
  buffer_.reserve(kBlock + 4096);
  return true;
}

Sink& Sink::operator<<(std::string&& text) {
  *this << std::string_view(text);
  recycle_text(std::move(text));
  return *this;
}

void Sink::wait_for_write() {
  if (pending_.valid()) pending_.get();
}

void Sink::write_buffer() {
  wait_for_write();
  if (buffer_.empty()) return;
  buffer_.swap(writing_);
  buffer_.clear();
  pending_ = std::async(std::launch::async, [f = file_, &block = writing_] {
    std::fwrite(block.data(), 1, block.size(), f);
  });
}

void Sink::flush() {
  if (file_ != nullptr) {
    write_buffer();
    wait_for_write();
    std::fflush(file_);
  } else if (stream_ != nullptr) {
    stream_->flush();
  }
}

void Sink::close() {
  if (file_ != nullptr) {
    write_buffer();
    wait_for_write();
    std::fclose(file_);
    file_ = nullptr;
    buffer_ = std::string();
    writing_ = std::string();
  }
  stream_ = nullptr;
}

}  // namespace tesk
