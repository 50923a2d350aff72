// The main window's decisions, without its widgets.
#include "app/main_session.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <unistd.h>

#include "../model/record_text.h"
#include "../support/file_contents.h"
#include "app/settings_file.h"

using namespace sinkview;
namespace fs = std::filesystem;

namespace {

const std::string kExamples = SINKVIEW_SOURCE_DIR "/examples/";

struct MainSessionTest : ::testing::Test {
  void SetUp() override { fs::create_directories(dir); }
  void TearDown() override { fs::remove_all(dir); }
  // Time limit, zoom, raw data, reference point.
  std::array<double, 4> Settings() {
    const MeasurementModel& m = session.model();
    return {m.TimeLimitDays, m.ZoomRange, double(m.ShowRawData), double(m.ReferencePoint)};
  }
  std::string Facts(const SeriesFacts& f) {
    return f.patient + " | " + f.side + " | " + f.radiographs + " | " + f.months + " | " +
           f.meanMagnification;
  }

  const fs::path dir = fs::temp_directory_path() / ("sinkview_session_" + std::to_string(::getpid()));
  const std::string settingsFile = (dir / "SINKVIEW.INI").string();
  MainSession session{false, settingsFile};
};

} // namespace

TEST_F(MainSessionTest, SettingsStartAtTheirValuesAndFollowTheTexts) {
  EXPECT_EQ(MainSession::StartZoomText() + " " + MainSession::StartTimeLimitText(), "3 60");
  EXPECT_EQ(Settings(), (std::array<double, 4>{1825, 3, 0, 1}));
  using Step = std::pair<std::function<void()>, std::array<double, 4>>;
  for (const auto& [step, settings] :
       {Step{[&] { session.SetTimeLimitText("24"); }, {730, 3, 0, 1}},
        Step{[&] { session.SetTimeLimitText(""); }, {0, 3, 0, 1}},
        Step{[&] { session.SetZoomText("abc"); }, {0, 0, 0, 1}},
        Step{[&] { session.ToggleRawData(); }, {0, 0, 1, 1}},
        Step{[&] { session.ToggleRawData(); }, {0, 0, 0, 1}},
        Step{[&] { session.SetReference(Reference::HeadCenter); }, {0, 0, 0, 0}}}) {
    step();
    EXPECT_EQ(Settings(), settings);
  }
  // Months with decimals: converted once, as the exporter converts them.
  session.SetTimeLimitText("0.2630137");
  EXPECT_EQ(session.model().TimeLimitDays, TimeLimitDaysForMonths(0.2630137));
}

TEST_F(MainSessionTest, StartsInTheStoredFolderWhileItIsThere) {
  EXPECT_EQ(session.StartFolder(kExamples), kExamples) << "no settings yet";
  ASSERT_EQ(WriteStartFolder(settingsFile, dir.string()), "");
  EXPECT_EQ(session.StartFolder(kExamples), dir.string());
  ASSERT_EQ(WriteStartFolder(settingsFile, (dir / "removed").string()), "");
  EXPECT_EQ(session.StartFolder(kExamples), kExamples) << "a stored folder that is gone";
}

TEST_F(MainSessionTest, ALoadGivesTheFactsAndTheOldFormatNoticeOfTheSecondEdition) {
  MainSession second{true, settingsFile};
  for (const auto& [file, facts, oldFormat] :
       {std::tuple{"bauer_helene_left.vok", "Bauer Helene HB-1948 | left | 8 | 60 | 1.15", false},
        std::tuple{"mueller_otto_right.vok", "M\xC3\xBCller Otto OM-1937 | right | 6 | 48 | 1.16", true}}) {
    const auto shown = session.Load(kExamples + file);
    ASSERT_TRUE(shown) << shown.error().text;
    EXPECT_EQ(Facts(*shown), facts);
    EXPECT_FALSE(shown->oldFormatNotice) << "main edition";
    EXPECT_EQ(second.Load(kExamples + file)->oldFormatNotice, oldFormat) << file;
  }
}

TEST_F(MainSessionTest, ABadFileGivesItsMessageAndTheEarlierSeriesStays) {
  ASSERT_TRUE(session.Load(kExamples + "bauer_helene_left.vok"));
  const MeasurementModel before = session.model();
  const std::string one = sinkview::testing::FileContents(kExamples + "bauer_helene_left.vok");
  std::ofstream(dir / "many.vok", std::ios::binary) << one + one + one + one; // 32 records
  std::ofstream(dir / "broken.vok") << "[X-ray]\n\"A\",\"B\",\"C\"\n\"Date\",\"20041301\"\n";
  std::vector<SessionMessage> messages;
  for (const char* name : {"many.vok", "broken.vok", "missing.vok"}) {
    const auto shown = session.Load((dir / name).string());
    ASSERT_FALSE(shown) << name;
    messages.push_back(shown.error());
    EXPECT_EQ(session.model().PatientCode, before.PatientCode) << name;
    EXPECT_EQ(session.model().MedialDistance1, before.MedialDistance1) << name;
  }
  EXPECT_EQ(messages[0].title, "OVERFLOW");
  EXPECT_EQ(messages[0].text, "More than 30 x-rays. Only splitting of datafile will help.");
  EXPECT_EQ(messages[0].detail, (dir / "many.vok").string());
  EXPECT_NE(messages[1].text.find("broken.vok"), std::string::npos);
  EXPECT_NE(messages[1].text.find("month"), std::string::npos);
  EXPECT_EQ(messages[1].title + messages[2].title, "") << "the window's caption";
  EXPECT_NE(messages[2].text.find("missing.vok"), std::string::npos);
}

TEST_F(MainSessionTest, ASeriesThatOverflowsWhenPreparedIsRefusedAndStaysAsRead) {
  RecordText first, second;
  first.subsidence = "3e38,3e38,3e38,3e38";
  second.subsidence = "-3e38,-3e38,-3e38,-3e38";
  second.date = "20050301";
  std::ofstream(dir / "overflowing.vok") << first.Text() << second.Text();
  ASSERT_TRUE(session.Load((dir / "overflowing.vok").string()));
  const MeasurementModel read = session.model();
  const auto prepared = session.PrepareForWindow();
  ASSERT_FALSE(prepared);
  EXPECT_NE(prepared.error().text.find("too large"), std::string::npos) << prepared.error().text;
  EXPECT_NE(prepared.error().text.find("overflowing.vok"), std::string::npos) << prepared.error().text;
  EXPECT_EQ(session.model().HeadMinorDistance, read.HeadMinorDistance) << "the correction is undone";
}

TEST_F(MainSessionTest, AnEndThatCannotStoreTheFolderSaysSo) {
  fs::create_directory(settingsFile); // a folder where the file should be
  const auto problem = session.End(dir.string());
  ASSERT_TRUE(problem);
  EXPECT_NE(problem->text.find("SINKVIEW.INI"), std::string::npos) << problem->text;
}
