// Output files as RAII objects.
#include "core/sink.hpp"

#include "core/errors.hpp"
#include "format/fortran_format.hpp"

namespace tesk {

bool Sink::open(const std::string& path) {
  close_quietly();
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return false;
  // The sink does its own buffering: a log of 100 MB then takes a hundred
  // writes, not tens of thousands.
  std::setvbuf(f, nullptr, _IONBF, 0);
  file_ = f;
  path_ = path;
  failed_ = false;
  buffer_.reserve(kBlock + 4096);
  return true;
}

void Sink::open_or_stop(const std::string& path, std::string_view routine) {
  if (!open(path)) err(routine, "Unable to open output file " + path);
}

Sink& Sink::operator<<(std::string&& text) {
  *this << std::string_view(text);
  recycle_text(std::move(text));
  return *this;
}

void Sink::wait_for_write() {
  if (pending_.valid() && !pending_.get()) failed_ = true;
}

void Sink::write_buffer() {
  wait_for_write();
  if (buffer_.empty()) return;
  buffer_.swap(writing_);
  buffer_.clear();
  pending_ = std::async(std::launch::async, [f = file_, &block = writing_] {
    return std::fwrite(block.data(), 1, block.size(), f) == block.size();
  });
}

void Sink::flush() {
  if (file_ != nullptr) {
    write_buffer();
    wait_for_write();
  } else if (stream_ != nullptr) {
    stream_->flush();
  }
}

bool Sink::finish() noexcept {
  try {
    write_buffer();
    wait_for_write();
  } catch (...) {
    failed_ = true;  // no thread for the last block: the file is short
  }
  if (std::fclose(file_) != 0) failed_ = true;
  file_ = nullptr;
  buffer_ = std::string();
  writing_ = std::string();
  return !failed_;
}

void Sink::close() {
  stream_ = nullptr;
  if (file_ == nullptr) return;
  if (!finish()) err("Tesk", "Error writing output file " + path_);
}

void Sink::close_quietly() noexcept {
  stream_ = nullptr;
  if (file_ != nullptr) finish();
}

}  // namespace tesk
