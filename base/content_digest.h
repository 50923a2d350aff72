#pragma once

// A file's size and SHA-256 (OpenSSL's libcrypto). A run digests each file
// in the bytes it read, so that what it records is what it used, whatever
// became of the file since.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/expected.h"
#include "base/failure.h"

namespace sinkview {

struct ContentDigest {
  std::uint64_t bytes = 0;
  std::array<unsigned char, 32> sha256{};
  bool operator==(const ContentDigest&) const = default;
};

ContentDigest DigestOf(std::string_view bytes);

// Reads the file once, in pieces; a file that cannot be read is a failure
// naming it.
Expected<ContentDigest, Failure> DigestFile(const std::string& path);

// 64 lower-case hex digits.
std::string Sha256Hex(const ContentDigest& digest);
std::string Sha256Hex(std::string_view bytes);

} // namespace sinkview
