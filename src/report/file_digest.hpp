// Size and SHA-256 of an input file, so that a report names exactly the
// files a run read.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace tesk {

struct FileDigest {
  std::uintmax_t size = 0;
  std::string sha256;  // 64 lower-case hex digits
};

// Nothing when the file cannot be read.
std::optional<FileDigest> digest_file(const std::string& path);

}  // namespace tesk
