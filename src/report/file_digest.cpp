// SHA-256 through OpenSSL's message-digest interface (libcrypto), read in
// blocks so that a structure of 100000 atoms is hashed without holding it.
#include "report/file_digest.hpp"

#include <openssl/evp.h>

#include <array>
#include <fstream>
#include <memory>

namespace tesk {

std::optional<FileDigest> digest_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> ctx(EVP_MD_CTX_new(), &EVP_MD_CTX_free);
  if (!ctx || EVP_DigestInit_ex(ctx.get(), EVP_sha256(), nullptr) != 1) return std::nullopt;
  FileDigest d;
  std::array<char, 1 << 16> block{};
  while (in) {
    in.read(block.data(), block.size());
    const std::streamsize n = in.gcount();
    if (n <= 0) break;
    if (EVP_DigestUpdate(ctx.get(), block.data(), static_cast<std::size_t>(n)) != 1) return std::nullopt;
    d.size += static_cast<std::uintmax_t>(n);
  }
  if (in.bad()) return std::nullopt;
  std::array<unsigned char, EVP_MAX_MD_SIZE> md{};
  unsigned int len = 0;
  if (EVP_DigestFinal_ex(ctx.get(), md.data(), &len) != 1) return std::nullopt;
  static const char* const kHex = "0123456789abcdef";
  for (unsigned int i = 0; i < len; ++i) {
    d.sha256 += kHex[md[i] >> 4];
    d.sha256 += kHex[md[i] & 0xF];
  }
  return d;
}

}  // namespace tesk
