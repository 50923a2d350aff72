#include "app/main_session.h"

#include <filesystem>

#include "app/numeric_value.h"
#include "base/numtext.h"
#include "base/text_encoding.h"
#include "model/reader.h"
#include "paths/program_paths.h"
#include "paths/settings_file.h"

namespace sinkview {

MainSession::MainSession(bool showsOldFormatNotice, std::string settingsFile)
    : showsOldFormatNotice_(showsOldFormatNotice), settingsFile_(std::move(settingsFile)) {}

std::string MainSession::StartZoomText() { return LabelText(kStartZoomRange); }

std::string MainSession::StartTimeLimitText() { return LabelText(kStartTimeLimitMonths); }

void MainSession::SetZoomText(std::string_view text) {
  settings_.ZoomRange = static_cast<float>(NumericValue(text));
}

void MainSession::SetTimeLimitText(std::string_view months) {
  settings_.TimeLimitDays = TimeLimitDaysForMonths(NumericValue(months));
}

void MainSession::ToggleRawData() {
  settings_.ShowRawData = settings_.ShowRawData == RawData::Hidden ? RawData::Shown : RawData::Hidden;
}

void MainSession::SetReference(Reference point) { settings_.ReferencePoint = point; }

std::string MainSession::StartFolder(const std::string& sampleFolder) const {
  auto stored = ReadStartFolder(settingsFile_);
  if (!stored) stored = ReadStartFolder(kSettingsFileName);
  return ChooseStartFolder(stored.value_or(""), sampleFolder);
}

Expected<SeriesFacts, SessionMessage> MainSession::Load(const std::string& path) {
  ReadResult read = ReadDataFile(path);
  if (!read) {
    if (read.error().code == ReadErrorCode::TooManyRecords) {
      return Unexpected{SessionMessage{std::string(kOverflowTitle), std::string(kOverflowText), path}};
    }
    return Unexpected{SessionMessage{{}, read.error().message, {}}};
  }
  model_ = std::move(*read);
  loadedPath_ = path;
  return SeriesFacts{DisplayUtf8(model_.PatientCode),
                     model_.ProsthesisSide,
                     LabelText(model_.RadiographCount),
                     LabelText(model_.ObservationMonths),
                     LabelText(CutToHundredths(model_.MeanHeadRadiusMagnification)),
                     showsOldFormatNotice_ && !model_.HasStemCementData};
}

Expected<PreparedSeries, SessionMessage> MainSession::PrepareForWindow() {
  auto prepared = PrepareSeries(model_, settings_, loadedPath_);
  if (!prepared) return Unexpected{SessionMessage{{}, prepared.error().message, {}}};
  return std::move(*prepared);
}

std::optional<SessionMessage> MainSession::End(const std::string& folder) const {
  std::error_code ignored;
  std::filesystem::create_directories(std::filesystem::path(settingsFile_).parent_path(), ignored);
  const auto written = WriteStartFolder(settingsFile_, folder);
  if (written) return std::nullopt;
  return SessionMessage{{}, written.error().message, {}};
}

} // namespace sinkview
