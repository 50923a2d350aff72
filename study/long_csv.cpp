#include "study/long_csv.h"

#include <cerrno>
#include <unistd.h>

#include "study/csv_columns.h"
#include "study/study_csv.h"

namespace sinkview {

Expected<AtomicFile, Failure> OpenLongCsv(const OutputFolder& folder) {
  Expected<AtomicFile, Failure> file = AtomicFile::Open(folder, kLongCsv);
  if (file) file->Write(CsvHeader(kLongCsv));
  return file;
}

LongCsvSpool::LongCsvSpool() : file_(std::tmpfile()) {
  if (!file_) error_ = errno;
  Append(CsvHeader(kLongCsv));
}

LongCsvSpool::~LongCsvSpool() {
  if (file_) std::fclose(file_);
}

LongRowsSink LongCsvSpool::Sink() {
  return [this](std::string_view rows) { Append(rows); };
}

void LongCsvSpool::Append(std::string_view rows) {
  if (error_ == 0 && std::fwrite(rows.data(), 1, rows.size(), file_) != rows.size()) error_ = errno;
}

Expected<AtomicFile, Failure> LongCsvSpool::CopyInto(const OutputFolder& folder) const {
  const std::string path = folder.PathOf(kLongCsv);
  if (error_ == 0 && std::fflush(file_) != 0)
    return Unexpected(CannotWrite(path, "keeping its rows aside", errno));
  if (error_ != 0) return Unexpected(CannotWrite(path, "keeping its rows aside", error_));
  Expected<AtomicFile, Failure> out = AtomicFile::Open(folder, kLongCsv);
  if (!out) return out;
  // Read by offset: the spool's own position stays where the rows go.
  char chunk[1 << 16];
  for (off_t at = 0;;) {
    const ssize_t got = ::pread(fileno(file_), chunk, sizeof chunk, at);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return Unexpected(CannotWrite(path, "reading its rows back", errno));
    if (got == 0) break;
    out->Write({chunk, static_cast<std::size_t>(got)});
    at += got;
  }
  return out;
}

} // namespace sinkview
