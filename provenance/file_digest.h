#pragma once

// A file's size and SHA-256, by OpenSSL's libcrypto.

#include <cstdint>
#include <string>

#include "base/expected.h"
#include "base/failure.h"

namespace sinkview {

struct FileDigest {
  std::uintmax_t bytes = 0;
  std::string sha256; // 64 lower-case hex digits
};

// Reads the file once, in pieces; a file that cannot be read is a failure
// naming it.
Expected<FileDigest, Failure> DigestFile(const std::string& path);

// The SHA-256 of `bytes`, as hex digits.
std::string Sha256Hex(std::string_view bytes);

} // namespace sinkview
