// A study run to a protocol over tests/data/study_protocol: two groups, a
// patient with both hips, every event, checked by hand. Visits 6 [3, 9],
// 12 [9, 18] and 24 [18, 30] months (days 91.3-273.9, 273.9-547.9,
// 547.9-913.1), interpolated, primary 12 months, cut-off 2021-06-30,
// baseline 0 to 42 days. Study days from the surgery; every course is the
// one read (only p07 has incomparable radiographs):
//   cemented
//   p01 L  surgery 2020-01-01; days 14, 182, 366: 0, -0.25, -1
//          6 m -0.25 (182), 12 m -1 (366, the only one after 365.25);
//          24 m closes 913 days after surgery, 2022-07-02: not yet due
//   p01 R  surgery 2020-01-01; days 9, 121, 274, 366: 0, -0.25, -0.5, -1;
//          stem/cement 0, 0, 0.25, 0.5
//          6 m -0.25 (121; 274 is past 273.9); 12 m between 274 and 366:
//          -0.5 - 0.5 x 91.25/92 = -0.9959239, stem/cement 0.4979620
//   p05 L  excluded
//   p06 L  withdrawn on day 120: withdrawn at every visit; baseline day 2
//   p09 L  surgery 2019-06-01; days 9, 366: 0, -0.25; 6 m missed;
//          24 m closes 2021-11-30: not yet due
//   uncemented
//   p02 L  days 19, 181, 334: 0, -1, -2; revised on day 273: 6 m -1,
//          then revised (day 334 lies after the revision)
//   p03 R  days 4, 182, 366: 0, 0.25, -0.5; died on day 424: 24 m died
//   p04 L  first radiograph on day 59: late baseline everywhere
//   p07 R  surgery 2018-01-01; days 1, 182 (isolated), 365, 730 (after a
//          break): 6 m incomparable, 12 m -1, 24 m after the break
//   stray.vok has no row, the row of p08_left.vok no data file.
// The groups, events and ages are patients.csv's.
// Flow days: cemented baseline 14, 9, 2, 9: mean 8.5, sd sqrt(73/3);
// 6 m 182, 121: sd 61/sqrt(2); 12 m 366, 365.25, 366: sd sqrt(0.375/2);
// uncemented baseline 19, 4, 1: mean 8, sd sqrt(93); 6 m 181, 182; 12 m
// 366, 365.
// Bands at 12 months (|change| < 0.5 acceptable, < 1.5 at risk): cemented
// -1, -0.996 at risk, -0.25 acceptable: 1 and 2 of 3; uncemented -0.5
// (the bound: at risk) and -1: 2 of 2. Wilson 1/3: 6.149194-79.23404 %,
// 2/3: 20.76596-93.85081 %, 0/3: 0-56.1497 %, 0/2: 0-65.76198 %,
// 2/2: 34.23802-100 %.
// Cemented subsidence at 12 months -1, -0.9959239, -0.25: mean -0.7486413,
// sd 0.4318408, q1 -0.997962, q3 -0.622962, the interval -0.7486413 -+
// 4.302653 x 0.4318408 / sqrt(3): -1.821393 to 0.3241108.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>

#include "../support/file_contents.h"
#include "../support/temp_folder.h"
#include "protocol/patients_file.h"
#include "study/study.h"
#include "study/study_csv.h"

using namespace sinkview;
using namespace std::chrono;
namespace fs = std::filesystem;

namespace {

const std::string kStudy = std::string(SINKVIEW_TEST_DATA) + "/study_protocol";

StudyOptions ProtocolOptions(bool pseudonymise = false) {
  Protocol p;
  p.cutoff = 2021y / June / 30;
  p.primaryVisit = "12 months";
  p.valueAtVisit = ValueAtVisit::Interpolate;
  p.pseudonymise = pseudonymise;
  p.visits = {{"6 months", 6, {3, 9}}, {"12 months", 12, {9, 18}}, {"24 months", 24, {18, 30}}};
  StudyOptions options;
  options.protocol = p;
  auto patients = ReadPatientsFile(kStudy + "/patients.csv", pseudonymise);
  EXPECT_TRUE(patients) << patients.error().message;
  if (patients) options.patients = std::move(*patients);
  return options;
}

// The lines of a CSV text that start with `prefix`.
std::string Lines(const std::string& text, const std::string& prefix) {
  std::string found;
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t end = text.find("\r\n", at) + 2;
    if (text.compare(at, prefix.size(), prefix) == 0) found += text.substr(at, end - at);
    at = end;
  }
  return found;
}

} // namespace

TEST(ProtocolStudy, FlowBandsAndValuesAreTheHandComputedOnes) {
  const StudyResult result = RunStudy({kStudy}, ProtocolOptions());
  EXPECT_EQ(result.patients.size(), 9u);
  EXPECT_EQ(result.patientCount, 8);
  const std::string expected = std::string(SINKVIEW_TEST_DATA) + "/study_protocol_expected/";
  EXPECT_EQ(FlowCsv(result), sinkview::testing::FileContents(expected + "flow.csv"));
  EXPECT_EQ(BandsCsv(result), sinkview::testing::FileContents(expected + "bands.csv"));
  const std::string cohort = CohortCsv(result);
  EXPECT_EQ(Lines(cohort, "subsidence,cemented,12 months"),
            "subsidence,cemented,12 months,12,3,-0.7486413,0.4318408,-0.9959239,-0.997962,-0.622962,-1,-0.25,"
            "-1.821393,0.3241108\r\n");
  EXPECT_EQ(
      Lines(VisitsCsv(result), "p01_right.vok,P01,cemented,"),
      "p01_right.vok,P01,cemented,baseline,0,measured,1,2020-01-10,9,0.2956879,no,0,0,2,1,0,63\r\n"
      "p01_right.vok,P01,cemented,6 months,6,measured,2,2020-05-01,121,3.975359,no,-0.25,0,2,1,1,63\r\n"
      "p01_right.vok,P01,cemented,12 months,12,measured,,,365.25,12,yes,-0.9959239,0.497962,2,1,2,63\r\n"
      "p01_right.vok,P01,cemented,24 months,24,not_yet_due,,,,,,,,2,1,3,63\r\n");
  EXPECT_EQ(
      Lines(SummaryCsv(result), "p01_left.vok"),
      "p01_left.vok,P01,cemented,left,current,3,2020-01-01,,,,,2020-01-15,2021-01-01,14,12,0,0,-1,-1,0.5,0,"
      "no,at_risk,,62\r\n");
  // Each hip's events and the reason it is left out, as patients.csv gives them.
  for (const auto& [hip, events] : {std::pair{"p02_left.vok", ",2019-01-01,2019-10-01,,,,"},
                                    {"p03_right.vok", ",2019-01-01,,2020-03-01,,,"},
                                    {"p06_left.vok", ",2019-01-01,,,2019-05-01,,"},
                                    {"p05_left.vok", ",2019-01-01,,,,infection,"}})
    EXPECT_NE(Lines(SummaryCsv(result), hip).find(events), std::string::npos)
        << Lines(SummaryCsv(result), hip);
  EXPECT_EQ(RejectedCsv(result), "file,reason\r\nstray.vok," + kStudy +
                                     "/stray.vok: no row in the patients file\r\np08_left.vok,line 10 of the "
                                     "patients file (p08_left.vok): no data file of that name\r\n");
}

TEST(ProtocolStudy, ASurgeryAfterTheFirstRadiographRefusesTheHip) {
  StudyOptions options = ProtocolOptions();
  options.patients->rows.back().surgery = 2019y / June / 11;
  const StudyResult result = RunStudy({kStudy}, options);
  EXPECT_EQ(result.patients.size(), 8u);
  ASSERT_EQ(result.rejected.size(), 3u);
  EXPECT_EQ(result.rejected[0].reason,
            "p09_left.vok: the surgery (2019-06-11) lies after the first radiograph (2019-06-10)");
}

// Post-operative films are often taken on the day of surgery: p09's first
// radiograph, 2019-06-10, is its baseline on study day 0.
TEST(ProtocolStudy, ARadiographOnTheDayOfSurgeryIsTheBaseline) {
  StudyOptions options = ProtocolOptions();
  options.patients->rows.back().surgery = 2019y / June / 10;
  const StudyResult result = RunStudy({kStudy}, options);
  EXPECT_EQ(result.patients.size(), 9u);
  EXPECT_EQ(Lines(VisitsCsv(result), "p09_left.vok,P09,cemented,baseline"),
            "p09_left.vok,P09,cemented,baseline,0,measured,1,2019-06-10,0,0,no,0,0,9,1,0,71\r\n");
}

// A cut-off of 2020-12-31 leaves out the radiographs of 2021-01-01 of both
// of P01's hips, as if not yet taken: p01_left keeps days 14 and 182, so its
// 12 months are not yet due (the window closes 2021-07-01) and its last
// change is -0.25; p01_right's 12 months are its radiograph of day 274,
// -0.5, nothing after it to interpolate towards. A radiograph on the
// cut-off's day is read; a hip with none by then is refused.
TEST(ProtocolStudy, RadiographsAfterTheCutoffAreLeftOut) {
  StudyOptions options = ProtocolOptions();
  options.protocol.cutoff = 2020y / December / 31;
  std::string longRows;
  const StudyResult result =
      RunStudy({kStudy}, options, {}, nullptr, [&](std::string_view rows) { longRows += rows; });
  EXPECT_EQ(result.radiographsAfterCutoff, 2);
  EXPECT_EQ(AfterCutoffText(result), "2 radiographs after the cut-off left out");
  const PatientSummary& left = result.patients[0];
  EXPECT_EQ(left.radiographs, 2);
  EXPECT_EQ(left.lastDate, "2020-07-01");
  EXPECT_EQ(left.subsidenceLastMm, -0.25f);
  EXPECT_EQ(StatusName(left.visits[2].status), "not_yet_due");
  EXPECT_EQ(
      Lines(VisitsCsv(result), "p01_right.vok,P01,cemented,12 months"),
      "p01_right.vok,P01,cemented,12 months,12,measured,3,2020-10-01,274,9.002053,no,-0.5,0.25,2,1,2,63\r\n");
  EXPECT_EQ(longRows.find("2021-01-01"), std::string::npos) << longRows;

  options.protocol.cutoff = 2019y / January / 3; // p05's and p06's first day
  const StudyResult early = RunStudy({kStudy}, options);
  EXPECT_EQ(early.patients.size(), 3u) << "p05, p06 and p07; the others are rejected";
  EXPECT_EQ(early.radiographsAfterCutoff, 3) << "of the hips read";
}

// Pseudonymised, the files carry the patients file's identifiers: no name
// of a patient or a data file is in any of them.
TEST(ProtocolStudy, PseudonymisedFilesNameNoPatientAndNoDataFile) {
  StudyOptions options = ProtocolOptions(true);
  options.keepPrepared = true; // as for a report, whose patient pages draw them
  const StudyResult result = RunStudy({kStudy}, options);
  ASSERT_EQ(result.patients.size(), 9u);
  EXPECT_EQ(result.patients[0].file, "P01-L");
  EXPECT_EQ(result.patients[1].file, "P01-R");
  std::vector<std::string> texts = {SummaryCsv(result), VisitsCsv(result), RejectedCsv(result)};
  for (const PatientSummary& hip : result.patients) texts.push_back(hip.prepared->model.PatientCode);
  for (const std::string& text : texts) {
    for (const char* name : {".vok", "Anders", "Imhof", "stray", "p08", "study_protocol"})
      EXPECT_EQ(text.find(name), std::string::npos) << name << " in\n" << text;
  }
}

// Pseudonymised, two hips of one patient and side (a stem revised and
// replaced) are numbered in order of surgery, whatever the files' order;
// a patient's two sides keep their plain names.
TEST(ProtocolStudy, PseudonymisedHipsOfOnePatientAndSideStayApart) {
  StudyOptions options = ProtocolOptions(true);
  for (PatientRow& row : options.patients->rows) {
    if (row.file == "p09_left.vok") {
      row.patient = "P04";
      row.surgery = 2018y / December / 1; // before p04's
    }
  }
  const StudyResult result = RunStudy({kStudy}, options);
  std::map<std::string, std::string> names; // by data file
  for (const PatientSummary& hip : result.patients) names[fs::path(hip.path).filename()] = hip.file;
  EXPECT_EQ(names["p09_left.vok"], "P04-L");
  EXPECT_EQ(names["p04_left.vok"], "P04-L2");
  EXPECT_EQ(names["p01_left.vok"], "P01-L");
  EXPECT_EQ(names["p01_right.vok"], "P01-R");
  EXPECT_EQ(result.patientCount, 7);
}

// Pseudonymised, a hip whose file is edited to the other side after the
// hips were numbered by side is refused, not named as its patient's other
// hip. The patient's files come last: when the first file is done, at most
// eight (the cores used) have been started, and these are not among them.
TEST(ProtocolStudy, PseudonymisedAHipWhoseSideChangedAfterNumberingIsRefused) {
  const sinkview::testing::TempFolder folder;
  fs::copy(kStudy, folder.path);
  fs::rename(folder.path / "p01_left.vok", folder.path / "z_left.vok");
  fs::rename(folder.path / "p01_right.vok", folder.path / "z_right.vok");
  StudyOptions options = ProtocolOptions(true);
  for (PatientRow& row : options.patients->rows)
    if (row.file.starts_with("p01_")) row.file = "z_" + row.file.substr(4);
  const fs::path right = folder.path / "z_right.vok";
  const auto editRight = [&](std::size_t done, std::size_t) {
    if (done != 1) return;
    std::string text = sinkview::testing::FileContents(right);
    for (std::size_t at; (at = text.find("\"Side\",\"R\"")) != std::string::npos;) text[at + 8] = 'L';
    std::ofstream(right, std::ios::binary | std::ios::trunc) << text;
  };
  const StudyResult result = RunStudy({folder.path.string()}, options, editRight);
  std::vector<std::string> names;
  for (const PatientSummary& hip : result.patients)
    if (hip.patient == "P01") names.push_back(hip.file);
  EXPECT_EQ(names, std::vector<std::string>{"P01-L"});
  const auto refused = std::find_if(result.rejected.begin(), result.rejected.end(),
                                    [](const RejectedFile& file) { return file.file == "P01"; });
  ASSERT_NE(refused, result.rejected.end());
  EXPECT_EQ(refused->reason,
            "P01: the file changed while the study read it (its side is no longer the one its "
            "hip was numbered by); run the study again");
}

// Pseudonymised, a folder that gave no file is not named either: its name
// may be a patient's. A folder of second readings that cannot be read is
// said too.
TEST(ProtocolStudy, PseudonymisedFolderProblemsNameNoFolder) {
  const sinkview::testing::TempFolder folder;
  const fs::path study = folder.path / "study";
  fs::copy(kStudy, study);
  StudyOptions options = ProtocolOptions(true);
  options.protocol.repeatReadings = (study / "Meier Hans").native();
  const std::string alone = RejectedCsv(RunStudy({study.native()}, options));
  const std::string withAbsent =
      RejectedCsv(RunStudy({study.native(), (folder.path / "Huber Anna").native()}, options));
  for (const std::string& rejected : {alone, withAbsent}) {
    for (const std::string& name :
         {std::string("Meier"), std::string("Huber"), folder.path.filename().string()})
      EXPECT_EQ(rejected.find(name), std::string::npos) << name << " in\n" << rejected;
  }
  EXPECT_NE(alone.find(",a path of the study: no such file or folder\r\n"), std::string::npos) << alone;
  EXPECT_NE(withAbsent.find(",a path of the study: no such file or folder\r\n"), std::string::npos)
      << withAbsent;
}
