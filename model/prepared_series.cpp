#include "model/prepared_series.h"

#include "model/finite_values.h"
#include "model/preparation.h"
#include "model/reader_text.h"

namespace sinkview {

Expected<PreparedSeries, Failure> PreparedSeries::Prepare(MeasurementModel& m, const std::string& dataFile) {
  PreparedSeries prepared(m);
  ApplyMagnificationCorrection(m);
  RunAnalyses(m);
  if (auto finite = CheckAllFinite(m, dataFile); !finite) return Unexpected{finite.error()};
  return prepared;
}

PreparedSeries::~PreparedSeries() {
  if (m_) UndoMagnificationCorrection(*m_);
}

std::string NamedReadError(const ReadError& error, const std::string& path) {
  const std::string shown = ShownFileName(path);
  return error.message.find(shown) == std::string::npos ? shown + ": " + error.message : error.message;
}

Expected<PreparedFile, Failure> LoadPreparedFile(const std::string& path, const Settings& settings) {
  ReadResult read = ReadDataFile(path, settings);
  if (!read) return Unexpected(Failure{NamedReadError(read.error(), path)});
  PreparedFile file{std::move(read->model), read->MeanHeadRadiusMagnification};
  auto prepared = PreparedSeries::Prepare(file.model, path);
  if (!prepared) return Unexpected(prepared.error());
  // The file owns its model and keeps it prepared.
  std::move(*prepared).Keep();
  return file;
}

} // namespace sinkview
