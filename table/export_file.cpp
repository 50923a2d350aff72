#include "table/export_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "model/numtext.h"
#include "table/segments.h"

namespace sinkview {

namespace {

constexpr const char* kLineEnd = "\r\n";

void AppendNumber(std::string& out, double value) { out += PrintText(value); }

void AppendDataLine(const MeasurementModel& m, int i, int s, std::string& out) {
  AppendNumber(out, MonthsSinceFirst(m, i));
  out += ';';
  if (m.IsolatedFlag[i] == 1) {
    // The places of the flag, the nine parameters and the total subsidence.
    for (int field = 0; field < 11; ++field) out += field == 0 ? " ." : "; .";
    out += kLineEnd;
    return;
  }
  AppendNumber(out, m.DisconnectionFlag[i]);
  out += ';';
  const ChangesSinceStart c = Changes(m, i, s);
  for (float change : c.parameters) {
    AppendNumber(out, change);
    out += ';';
  }
  AppendNumber(out, c.subsidence);
  if (m.HasStemCementData == 1) {
    out += ';';
    AppendNumber(out, c.stemCement);
    out += ';';
    AppendNumber(out, c.cementBone);
  }
  out += kLineEnd;
}

std::string Failure(const std::string& path, const char* what, int error) {
  return "The file " + path + " cannot be written (" + what + ": " + std::strerror(error) +
         "). The previous file, if any, is unchanged.";
}

// New files get the permissions an ordinary open for writing would give;
// a replaced file keeps its own.
mode_t PermissionsFor(const std::string& path) {
  struct stat existing {};
  if (::stat(path.c_str(), &existing) == 0) return existing.st_mode & 07777;
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

bool WriteAll(int fd, const std::string& text) {
  const char* data = text.data();
  std::size_t left = text.size();
  while (left > 0) {
    const ssize_t written = ::write(fd, data, left);
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += written;
    left -= static_cast<std::size_t>(written);
  }
  return true;
}

} // namespace

std::string ExportText(const MeasurementModel& m) {
  std::string out;
  out += m.PatientCode + " / side of replacement: " + m.ProsthesisSide + kLineEnd;
  out += std::string("Subsidence related to Major Trochanter: ") + (m.TrochanterChoice == 1 ? "no" : "yes") +
         kLineEnd;
  out +=
      std::string("Subsidence related to head center: ") + (m.ReferencePoint == 1 ? "no" : "yes") + kLineEnd;
  out += "months;flag;medial1;medial2;medial3;medial4;lateral1;lateral2;lateral3;lateral4;angle;total subs.";
  if (m.HasStemCementData == 1) out += ";subs.in CI;subs.of CI";
  out += kLineEnd;
  const Flags starts = SegmentStarts(m);
  for (int i = 1; i <= m.RadiographCount; ++i) AppendDataLine(m, i, starts[i], out);
  return out;
}

std::string WriteExportFile(const MeasurementModel& m, const std::string& path) {
  const std::string text = ExportText(m);
  const mode_t permissions = PermissionsFor(path);
  std::string temporary = path + ".XXXXXX";
  const int fd = ::mkstemp(temporary.data());
  if (fd < 0) return Failure(path, "no temporary file in its folder", errno);
  const char* failedStep = nullptr;
  int error = 0;
  auto fail = [&](const char* step) {
    if (failedStep != nullptr) return;
    failedStep = step;
    error = errno;
  };
  if (!WriteAll(fd, text)) {
    fail("writing");
  } else if (::fchmod(fd, permissions) != 0) {
    fail("setting its permissions");
  } else if (::fsync(fd) != 0) {
    fail("writing");
  }
  if (::close(fd) != 0) fail("writing");
  if (failedStep == nullptr && ::rename(temporary.c_str(), path.c_str()) != 0) fail("replacing");
  if (failedStep != nullptr) {
    ::unlink(temporary.c_str());
    return Failure(path, failedStep, error);
  }
  return "";
}

} // namespace sinkview
