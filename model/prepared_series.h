#pragma once

#include <string>

#include "model/expected.h"
#include "model/failure.h"
#include "model/model.h"
#include "model/reader.h"
#include "model/settings.h"

namespace sinkview {

// A series prepared for the diagrams, the table and the export: while this
// object lives, the lengths are corrected for magnification and the
// analyses have run; when it ends, the lengths are again those read, bit
// for bit. The windows hold one for as long as they are open.
class PreparedSeries {
public:
  // Prepares `m`, whose file `dataFile` names in the message when a value
  // the windows or the export would show overflows; `m` is then as read.
  static Expected<PreparedSeries, Failure> Prepare(MeasurementModel& m, const std::string& dataFile);

  PreparedSeries(PreparedSeries&& other) noexcept : m_(other.m_) { other.m_ = nullptr; }
  PreparedSeries& operator=(PreparedSeries&&) = delete;
  ~PreparedSeries();

  MeasurementModel& model() const { return *m_; }

  // Ends the scope without restoring: the owner of the model keeps it
  // prepared.
  void Keep() && { m_ = nullptr; }

private:
  explicit PreparedSeries(MeasurementModel& m) : m_(&m) {}
  MeasurementModel* m_;
};

// A data file read with `settings` and prepared, owning its model: what the
// command-line programs work on, one file at a time.
struct PreparedFile {
  MeasurementModel model;
  float MeanHeadRadiusMagnification = 0;
};

// Reads and prepares a data file as the windows do. The failure always
// names the file.
[[nodiscard]] Expected<PreparedFile, Failure> LoadPreparedFile(const std::string& path, const Settings& settings);

// A read error's message, naming the file even where the reader's own text
// does not (the overflow warning).
std::string NamedReadError(const ReadError& error, const std::string& path);

} // namespace sinkview
