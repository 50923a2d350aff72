// The main window's decisions, without its widgets.
#include "app/main_session.h"

#include <gtest/gtest.h>

#include "../support/temp_folder.h"
#include "model/reader.h"
#include "paths/settings_file.h"

using namespace sinkview;

namespace {

const std::string kExamples = SINKVIEW_SOURCE_DIR "/examples/";
const std::string kData = SINKVIEW_TEST_DATA "/";

struct MainSessionTest : ::testing::Test {
  // Time limit, zoom, raw data, reference point.
  std::array<double, 4> Settings() {
    const sinkview::Settings& s = session.settings();
    return {s.TimeLimitDays, s.ZoomRange, double(s.ShowRawData), double(s.ReferencePoint)};
  }

  const sinkview::testing::TempFolder dir;
  const std::string settingsFile = (dir.path / "SINKVIEW.INI").string();
  MainSession session{false, settingsFile};
};

} // namespace

TEST_F(MainSessionTest, SettingsStartAtTheirValuesAndFollowTheTexts) {
  EXPECT_EQ(Settings(), (std::array<double, 4>{1825, 3, 0, 1}));
  session.SetTimeLimitText("24");
  EXPECT_EQ(Settings(), (std::array<double, 4>{730, 3, 0, 1}));
  session.SetZoomText("abc");
  session.SetTimeLimitText("");
  EXPECT_EQ(Settings(), (std::array<double, 4>{0, 0, 0, 1}));
  // Months with decimals: converted once, as the exporter converts them.
  session.SetTimeLimitText("0.2630137");
  EXPECT_EQ(session.settings().TimeLimitDays, TimeLimitDaysForMonths(0.2630137));
  // A stored folder that is gone: the samples.
  ASSERT_TRUE(WriteStartFolder(settingsFile, (dir.path / "removed").string()));
  EXPECT_EQ(session.StartFolder(kExamples), kExamples);
}

TEST_F(MainSessionTest, ALoadGivesTheFactsAndTheOldFormatNoticeOfTheSecondEdition) {
  MainSession second{true, settingsFile};
  for (const auto& [file, facts, oldFormat] :
       {std::tuple{"bauer_helene_left.vok", "Bauer Helene HB-1948 | left | 8 | 60 | 1.15", false},
        std::tuple{"mueller_otto_right.vok", "M\xC3\xBCller Otto OM-1937 | right | 6 | 48 | 1.16", true}}) {
    const auto shown = session.Load(kExamples + file);
    ASSERT_TRUE(shown) << shown.error().text;
    EXPECT_EQ(shown->patient + " | " + shown->side + " | " + shown->radiographs + " | " + shown->months +
                  " | " + shown->meanMagnification,
              facts);
    EXPECT_FALSE(shown->oldFormatNotice) << "main edition";
    EXPECT_EQ(second.Load(kExamples + file)->oldFormatNotice, oldFormat) << file;
  }
}

TEST_F(MainSessionTest, ABadFileGivesItsMessageAndTheEarlierSeriesStays) {
  ASSERT_TRUE(session.Load(kExamples + "bauer_helene_left.vok"));
  const MeasurementModel before = session.model();
  std::vector<SessionMessage> messages;
  for (const char* name : {"thirty_two_records.vok", "month_thirteen.vok"}) {
    const auto shown = session.Load(kData + name);
    ASSERT_FALSE(shown) << name;
    messages.push_back(shown.error());
    EXPECT_EQ(session.model().PatientCode, before.PatientCode) << name;
  }
  EXPECT_EQ(messages[0].title, "OVERFLOW");
  EXPECT_EQ(messages[0].text, "More than 30 x-rays. Only splitting of datafile will help.");
  EXPECT_EQ(messages[0].detail, kData + "thirty_two_records.vok");
  EXPECT_NE(messages[1].text.find("month_thirteen.vok"), std::string::npos);
}

// A window gets a prepared copy of its own; the series loaded stays as read.
TEST_F(MainSessionTest, PreparingForAWindowLeavesTheSeriesAsRead) {
  const std::string path = kExamples + "schmid_anna_left_breaks.vok";
  ASSERT_TRUE(session.Load(path));
  session.SetReference(Reference::HeadCenter);
  const auto first = session.PrepareForWindow(), second = session.PrepareForWindow();
  ASSERT_TRUE(first && second);
  EXPECT_EQ(first->settings.ReferencePoint, Reference::HeadCenter);
  const MeasurementModel read = *ReadDataFile(path);
  for (auto series : kScaledSeries) {
    EXPECT_EQ(session.model().*series, read.*series);
    EXPECT_EQ(first->model.*series, second->model.*series);
  }
  for (const AnalysisRun& run : kAnalysisRuns)
    EXPECT_EQ(first->model.*run.corrected, second->model.*run.corrected);
}
