#pragma once

// The main window's decisions without its widgets: what a typed setting
// means, what a load shows or says, what a window is opened on, and what is
// stored at "END". The window draws what this says.

#include <optional>
#include <string>
#include <string_view>

#include "base/expected.h"
#include "model/model.h"
#include "model/prepared_series.h"
#include "model/settings.h"

namespace sinkview {

// The facts of a loaded series as the main window shows them.
struct SeriesFacts {
  std::string patient; // UTF-8
  std::string side, radiographs, months, meanMagnification;
  bool oldFormatNotice = false;
};

// What the window tells the user in a warning; an empty title stands for
// the window's caption.
struct SessionMessage {
  std::string title, text, detail;
};

class MainSession {
public:
  // `showsOldFormatNotice` is the edition's; `settingsFile` keeps the folder
  // from one start to the next.
  MainSession(bool showsOldFormatNotice, std::string settingsFile);

  // The series as read, never prepared in place, and the settings a window
  // prepares it with.
  const MeasurementModel& model() const { return model_; }
  const Settings& settings() const { return settings_; }
  bool HasSeries() const { return model_.RadiographCount > 0; }

  // The texts the settings fields start with.
  static std::string StartZoomText();
  static std::string StartTimeLimitText();

  void SetZoomText(std::string_view text);
  void SetTimeLimitText(std::string_view months);
  void ToggleRawData();
  void SetReference(Reference point);

  // The folder stored at the last "END" (in the settings file, else in one
  // in the working folder) while it exists, else the samples, else home.
  std::string StartFolder(const std::string& sampleFolder) const;

  // Reads a data file; a rejected one leaves the series loaded before.
  Expected<SeriesFacts, SessionMessage> Load(const std::string& path);

  // The loaded series prepared for a window; one whose values overflow
  // when prepared is refused with the reason.
  Expected<PreparedSeries, SessionMessage> PrepareForWindow();

  // Stores the folder for the next start; a message when it cannot.
  std::optional<SessionMessage> End(const std::string& folder) const;

private:
  bool showsOldFormatNotice_;
  std::string settingsFile_;
  Settings settings_;
  MeasurementModel model_;
  std::string loadedPath_;
};

} // namespace sinkview
