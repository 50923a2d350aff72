#include "base/content_digest.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <new>
#include <openssl/evp.h>
#include <openssl/sha.h>
#include <unistd.h>

#include "base/reader_text.h"

namespace sinkview {

namespace {

static_assert(sizeof(ContentDigest::sha256) == SHA256_DIGEST_LENGTH);

using Context = std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)>;

// Descriptors closed however the reading ends.
struct Descriptor {
  int fd;
  ~Descriptor() {
    if (fd >= 0) ::close(fd);
  }
};

} // namespace

ContentDigest DigestOf(std::string_view bytes) {
  ContentDigest digest;
  digest.bytes = bytes.size();
  // It fails only where libcrypto has no memory for its context.
  if (EVP_Digest(bytes.data(), bytes.size(), digest.sha256.data(), nullptr, EVP_sha256(), nullptr) != 1)
    throw std::bad_alloc();
  return digest;
}

Expected<ContentDigest, Failure> DigestFile(const std::string& path) {
  const auto cannot = [&](int error) {
    return Unexpected(Failure{ShownFileName(path) + ": cannot be read to record it (" +
                              std::string(std::strerror(error)) + ")."});
  };
  const Descriptor file{::open(path.c_str(), O_RDONLY | O_CLOEXEC)};
  if (file.fd < 0) return cannot(errno);
  Context context(EVP_MD_CTX_new(), &EVP_MD_CTX_free);
  if (!context || EVP_DigestInit_ex(context.get(), EVP_sha256(), nullptr) != 1) return cannot(ENOMEM);
  ContentDigest digest;
  std::array<char, 1 << 16> buffer{};
  for (;;) {
    const ssize_t got = ::read(file.fd, buffer.data(), buffer.size());
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return cannot(errno);
    if (got == 0) break;
    digest.bytes += static_cast<std::uint64_t>(got);
    if (EVP_DigestUpdate(context.get(), buffer.data(), static_cast<std::size_t>(got)) != 1)
      return cannot(ENOMEM);
  }
  if (EVP_DigestFinal_ex(context.get(), digest.sha256.data(), nullptr) != 1) return cannot(ENOMEM);
  return digest;
}

std::string Sha256Hex(const ContentDigest& digest) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string hex;
  for (unsigned char byte : digest.sha256) {
    hex += kDigits[byte >> 4];
    hex += kDigits[byte & 0xF];
  }
  return hex;
}

std::string Sha256Hex(std::string_view bytes) { return Sha256Hex(DigestOf(bytes)); }

} // namespace sinkview
