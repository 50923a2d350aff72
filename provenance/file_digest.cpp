#include "provenance/file_digest.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <openssl/evp.h>
#include <unistd.h>

#include "base/reader_text.h"

namespace sinkview {

namespace {

using Context = std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)>;

std::string Hex(const unsigned char* digest, unsigned int size) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string hex;
  for (unsigned int i = 0; i < size; ++i) {
    hex += kDigits[digest[i] >> 4];
    hex += kDigits[digest[i] & 0xF];
  }
  return hex;
}

// Descriptors closed however the reading ends.
struct Descriptor {
  int fd;
  ~Descriptor() {
    if (fd >= 0) ::close(fd);
  }
};

} // namespace

Expected<FileDigest, Failure> DigestFile(const std::string& path) {
  const auto cannot = [&](int error) {
    return Unexpected(Failure{ShownFileName(path) + ": cannot be read to record it (" +
                              std::string(std::strerror(error)) + ")."});
  };
  const Descriptor file{::open(path.c_str(), O_RDONLY | O_CLOEXEC)};
  if (file.fd < 0) return cannot(errno);
  Context context(EVP_MD_CTX_new(), &EVP_MD_CTX_free);
  if (!context || EVP_DigestInit_ex(context.get(), EVP_sha256(), nullptr) != 1) return cannot(ENOMEM);
  FileDigest digest;
  std::array<char, 1 << 16> buffer{};
  for (;;) {
    const ssize_t got = ::read(file.fd, buffer.data(), buffer.size());
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return cannot(errno);
    if (got == 0) break;
    digest.bytes += static_cast<std::uintmax_t>(got);
    EVP_DigestUpdate(context.get(), buffer.data(), static_cast<std::size_t>(got));
  }
  std::array<unsigned char, EVP_MAX_MD_SIZE> value{};
  unsigned int size = 0;
  EVP_DigestFinal_ex(context.get(), value.data(), &size);
  digest.sha256 = Hex(value.data(), size);
  return digest;
}

std::string Sha256Hex(std::string_view bytes) {
  std::array<unsigned char, EVP_MAX_MD_SIZE> value{};
  unsigned int size = 0;
  EVP_Digest(bytes.data(), bytes.size(), value.data(), &size, EVP_sha256(), nullptr);
  return Hex(value.data(), size);
}

} // namespace sinkview
