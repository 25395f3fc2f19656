// Output files as RAII objects.
#include "core/sink.hpp"

namespace tesk {

bool Sink::open(const std::string& path) {
  close();
  auto f = std::make_unique<std::ofstream>(path, std::ios::out | std::ios::trunc);
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
