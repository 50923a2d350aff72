#include "app/settings_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

#include "model/field_stream.h"

namespace sinkview {

std::optional<std::string> ReadStartFolder(const std::string& settingsPath) {
  std::ifstream file(settingsPath, std::ios::binary);
  if (!file) return std::nullopt;
  std::ostringstream text;
  text << file.rdbuf();
  const std::string contents = text.str();
  FieldStream in(contents);
  if (in.AtEndOfData()) return std::nullopt;
  auto folder = in.ReadTextField();
  if (!folder || folder->empty()) return std::nullopt;
  return folder;
}

std::string WriteFileAtomically(const std::string& path, const std::string& contents) {
  std::string temp = path + ".XXXXXX";
  const int fd = mkstemp(temp.data());
  if (fd < 0) return std::strerror(errno);
  const char* data = contents.data();
  std::size_t left = contents.size();
  while (left > 0) {
    const ssize_t written = ::write(fd, data, left);
    if (written < 0) {
      if (errno == EINTR) continue;
      const std::string reason = std::strerror(errno);
      ::close(fd);
      ::unlink(temp.c_str());
      return reason;
    }
    data += written;
    left -= static_cast<std::size_t>(written);
  }
  // A full disk may only show when the data reach it.
  const mode_t mask = ::umask(0);
  ::umask(mask);
  if (::fsync(fd) != 0 || ::fchmod(fd, 0666 & ~mask) != 0) {
    const std::string reason = std::strerror(errno);
    ::close(fd);
    ::unlink(temp.c_str());
    return reason;
  }
  if (::close(fd) != 0 || std::rename(temp.c_str(), path.c_str()) != 0) {
    const std::string reason = std::strerror(errno);
    ::unlink(temp.c_str());
    return reason;
  }
  return {};
}

std::string WriteStartFolder(const std::string& settingsPath, const std::string& folder) {
  const std::string reason = WriteFileAtomically(settingsPath, "\"" + folder + "\"\r\n");
  if (reason.empty()) return {};
  return settingsPath + ": the settings file cannot be written (" + reason + ").";
}

} // namespace sinkview
