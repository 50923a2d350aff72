#pragma once

// long.csv grows with every radiograph of a study, so it is never held
// whole: RunStudy hands each file's rows to a sink as the study runs.

#include <cstdio>
#include <string>

#include "base/atomic_file.h"
#include "study/study.h"

namespace sinkview {

// long.csv opened in `folder`, its header written: the command line knows
// where it goes before the study runs. Commit it after the study.
[[nodiscard]] Expected<AtomicFile, Failure> OpenLongCsv(const OutputFolder& folder);

// long.csv kept aside in an unnamed temporary file until the user says where
// it goes: the window reads a study first and saves it later.
class LongCsvSpool {
public:
  LongCsvSpool();
  ~LongCsvSpool();
  LongCsvSpool(const LongCsvSpool&) = delete;
  LongCsvSpool& operator=(const LongCsvSpool&) = delete;

  // Appends to the spool; for RunStudy, which calls it one at a time.
  LongRowsSink Sink();

  // The whole file copied to long.csv's temporary in `folder`, for the
  // caller to commit; may be called again.
  [[nodiscard]] Expected<AtomicFile, Failure> CopyInto(const OutputFolder& folder) const;

private:
  void Append(std::string_view rows);

  std::FILE* file_;
  int error_ = 0; // the first failure of the spool
};

} // namespace sinkview
