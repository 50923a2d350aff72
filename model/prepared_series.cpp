#include "model/prepared_series.h"

#include "base/reader_text.h"
#include "model/finite_values.h"
#include "model/preparation.h"
#include "model/segments.h"

namespace sinkview {

namespace {

const Series& Subsidence(const PreparedSeries& p, bool corrected) {
  const MeasurementModel& m = p.model;
  if (p.settings.ReferencePoint != Reference::HeadCenter) {
    if (p.settings.TrochanterChoice == Trochanter::Minor)
      return corrected ? m.CorrectedShoulderMinor : m.ShoulderMinorDistance;
    return corrected ? m.CorrectedShoulderMajor : m.ShoulderMajorDistance;
  }
  if (p.settings.TrochanterChoice == Trochanter::Minor)
    return corrected ? m.CorrectedHeadMinor : m.HeadMinorDistance;
  return corrected ? m.CorrectedHeadMajor : m.HeadMajorDistance;
}

} // namespace

const Series& CorrectedSubsidence(const PreparedSeries& p) { return Subsidence(p, true); }

const Series& RawSubsidence(const PreparedSeries& p) { return Subsidence(p, false); }

Expected<PreparedSeries, Failure> PrepareSeries(const MeasurementModel& read, const Settings& settings,
                                                const std::string& dataFile) {
  PreparedSeries prepared{settings, CorrectedForMagnification(read, settings), {}};
  RunAnalyses(prepared.model, settings);
  prepared.segmentStarts = SegmentStarts(prepared.model);
  if (auto finite = CheckAllFinite(prepared, dataFile); !finite) return Unexpected{finite.error()};
  return prepared;
}

std::string NamedReadError(const ReadError& error, const std::string& path) {
  const std::string shown = ShownFileName(path);
  return error.message.find(shown) == std::string::npos ? shown + ": " + error.message : error.message;
}

Expected<PreparedSeries, Failure> LoadPreparedFile(const std::string& path, const Settings& settings,
                                                   const Cutoff& cutoff, const BytesRead& bytesRead) {
  const ReadResult read = ReadDataFile(path, cutoff, bytesRead);
  if (!read) return Unexpected(Failure{NamedReadError(read.error(), path)});
  return PrepareSeries(*read, settings, path);
}

} // namespace sinkview
