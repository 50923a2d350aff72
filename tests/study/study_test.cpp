// The study of a hand-computable cohort (tests/data/study_cohort): every
// length at magnification 1, and control lengths chosen so that only
// neighbours are comparable, so each corrected course is the course read.
// No surgery dates: the clock starts at the first radiograph.
//   a_break     40, 39.5 | 38, 37 on days 0, 366, 731, 1096, a break after
//               the second
//   b_isolated  50, 49, (99), 47 on days 0, 365, 547, 730; the third
//               comparable with no other
//   c_short     60, 59 on days 0 and 366
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "../model/record_text.h"
#include "../support/file_contents.h"
#include "../support/temp_folder.h"
#include "base/file_set.h"
#include "base/numtext.h"
#include "study/csv_columns.h"
#include "study/csv_text.h"
#include "study/long_csv.h"
#include "study/long_rows.h"
#include "study/reading_text.h"
#include "study/student_t.h"
#include "study/study.h"
#include "study/study_csv.h"

using namespace sinkview;
using namespace std::chrono;
using sinkview::testing::FileContents;

namespace {

// A measured visit with this subsidence and nothing else.
VisitValue Measured(double subsidence) {
  VisitValue value;
  value.status = VisitStatus::Measured;
  value.subsidence = subsidence;
  return value;
}

const std::string kCohort = std::string(SINKVIEW_TEST_DATA) + "/study_cohort";
const std::string kGoodAndBad = std::string(SINKVIEW_TEST_DATA) + "/study_good_and_bad";

// `text` with every `from` replaced by `to`.
std::string Replaced(std::string text, const std::string& from, const std::string& to) {
  for (auto at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
  return text;
}

// The CSV files as the programs write them: long.csv from `longCsv`, all in
// one set.
Expected<void, Failure> WriteStudyCsvFiles(const StudyResult& result, const LongCsvSpool& longCsv,
                                           const std::string& outputDir) {
  const auto folder = OutputFolder::Open(outputDir);
  if (!folder) return Unexpected(folder.error());
  FileSet set;
  if (auto added = AddStudyCsvFiles(set, result, *folder); !added) return added;
  auto longFile = longCsv.CopyInto(*folder);
  if (!longFile) return Unexpected(longFile.error());
  set.Add(std::move(*longFile));
  return set.Commit();
}

} // namespace

// The default visits (nearest value), the cut-off the latest radiograph
// (c's second, 2021-01-01), checked by hand:
//   a   12 months: -0.5 (day 366); 24 and 36 months after its break
//   b   12 months: -1 from day 365, the isolated day 547 skipped; 24 months:
//       -3 (day 730), over the threshold, unacceptable; 36 months missed
//   c   12 months: -1 (day 366); from 24 months on not yet due (the window
//       of 24 months closes 913 days after 2020-01-01, after the cut-off)
// At 12 months -0.5, -1, -1: mean -0.8333333, sd sqrt(1/12), quartiles
// (type 7) -1 and -0.75, half the interval t(0.975, 2) = 4.302653 times
// sd / sqrt(3); the days 366, 365, 366. Stem/cement at 12 months 0.2 and
// 0.4: sd sqrt(2 x 0.1^2), t(0.975, 1) = 12.706205.
// The long rows reach the spool in the order of the patients, each under its
// file and patient, and the spool is saved whole, as often as asked.
TEST(Study, FilesOfTheCohortAreTheHandComputedOnes) {
  LongCsvSpool spool;
  const StudyResult result = RunStudy({kCohort}, {}, {}, nullptr, spool.Sink());
  ASSERT_TRUE(result.rejected.empty());
  const PatientSummary& b = result.patients[1];
  EXPECT_TRUE(b.course.dates.empty()) << "past the visits the radiographs are let go";
  ASSERT_TRUE(b.lastRadiograph);
  EXPECT_EQ(sys_days(*b.lastRadiograph) - sys_days(b.visits[0].date), days(730))
      << "the hip keeps its last radiograph, the baseline visit its first";

  const sinkview::testing::TempFolder folder;
  for (int time = 0; time < 2; ++time) ASSERT_TRUE(WriteStudyCsvFiles(result, spool, folder.path));
  const std::string expected = std::string(SINKVIEW_TEST_DATA) + "/study_cohort_expected/";
  for (const char* name : {"summary.csv", "visits.csv", "flow.csv", "cohort.csv", "bands.csv"})
    EXPECT_EQ(FileContents(folder.path / name), FileContents(expected + name)) << name;
  const std::string text = FileContents(folder.path / "long.csv");
  const std::string header = CsvHeader(kLongCsv);
  ASSERT_EQ(text.rfind(header, 0), 0u);
  std::istringstream rows(text.substr(header.size()));
  std::string row;
  for (const PatientSummary& p : result.patients)
    for (int i = 1; i <= p.radiographs; ++i)
      EXPECT_TRUE(std::getline(rows, row) &&
                  row.rfind(LongRowPrefix(p.file, p.patient, p.group) + std::to_string(i), 0) == 0);
  EXPECT_FALSE(std::getline(rows, row)) << row;
}

TEST(Study, ThresholdIsInclusiveAndConfigurable) {
  StudyOptions options;
  options.thresholdMm = 3; // b's change at 24 months is exactly -3
  EXPECT_EQ(RunStudy({kCohort}, options).patients[1].overThreshold, true);
  options.thresholdMm = 3.5;
  EXPECT_EQ(RunStudy({kCohort}, options).patients[1].overThreshold, false);
}

// "Since surgery" only where it is true of every hip.
TEST(Study, TimesCountFromSurgeryOnlyWhenEveryHipHasItsDate) {
  std::vector<PatientSummary> hips(2);
  EXPECT_EQ(StudyClockText(hips), "since the first radiograph");
  hips[0].surgeryDate = "2020-01-01";
  EXPECT_EQ(StudyClockText(hips), "since surgery, else since the first radiograph");
  hips[1].surgeryDate = "2020-02-01";
  EXPECT_EQ(StudyClockText(hips), "since surgery");
}

TEST(Study, StudentTQuantiles) {
  for (auto [degrees, want] :
       {std::pair{1, 12.7062047}, {2, 4.30265273}, {5, 2.57058184}, {30, 2.04227246}, {1000, 1.96233908}}) {
    EXPECT_NEAR(StudentTQuantile(0.975, degrees), want, 1e-7) << degrees;
  }
}

// The window reads a study while another may be summed up: the quantile
// keeps no state between threads (ThreadSanitizer sees a global written).
TEST(Study, StudentTQuantilesOnTwoThreadsAtOnce) {
  const auto quantiles = [] {
    double sum = 0;
    for (int degrees = 1; degrees <= 100; ++degrees) sum += StudentTQuantile(0.975, degrees);
    return sum;
  };
  double other = 0;
  std::thread thread([&] { other = quantiles(); });
  const double here = quantiles();
  thread.join();
  EXPECT_EQ(here, other);
}

TEST(Study, RejectedFilesKeepTheExportersReasonAndProgressCountsEveryFile) {
  std::vector<std::size_t> reported;
  const StudyResult result = RunStudy({kGoodAndBad}, {}, [&](std::size_t done, std::size_t total) {
    EXPECT_EQ(total, 4u);
    reported.push_back(done);
  });
  EXPECT_EQ(reported, (std::vector<std::size_t>{1, 2, 3, 4}));
  EXPECT_EQ(result.patients.size(), 2u);
  ASSERT_EQ(result.rejected.size(), 2u);
  EXPECT_EQ(result.rejected[0].file, "medial_not_a_number.vok");
  EXPECT_EQ(result.rejected[0].reason,
            kGoodAndBad +
                "/medial_not_a_number.vok: record 2, medial distance 2: \"twelve\" is not a number.");
  EXPECT_FALSE(result.cancelled);

  const std::atomic<bool> cancel = true;
  const StudyResult cancelled = RunStudy({kGoodAndBad}, {}, {}, &cancel);
  EXPECT_TRUE(cancelled.cancelled);
  EXPECT_TRUE(cancelled.patients.empty());
}

// A file with the patient, side and radiograph dates of one before it is the
// same series again, whatever its values: named once in rejected.csv, its
// rows kept out of long.csv. Another side or another date is another series.
TEST(Study, ASecondFileOfTheSameSeriesIsADuplicateOfTheFirst) {
  const sinkview::testing::TempFolder folder;
  const std::string a = FileContents(kCohort + "/a_break.vok");
  const struct {
    const char* name;
    std::string text;
    bool duplicate;
  } files[] = {{"a.vok", a, false},
               {"b_copy.vok", a, true},
               {"c_other_side.vok", Replaced(a, "\"Side\",\"L\"", "\"Side\",\"R\""), false},
               {"d_other_date.vok", Replaced(a, "20030101", "20030102"), false},
               {"e_measured_again.vok", Replaced(a, "40.0", "40.5"), true}};
  for (const auto& file : files) std::ofstream(folder.path / file.name, std::ios::binary) << file.text;

  LongCsvSpool spool;
  const StudyResult result = RunStudy({folder.path}, {}, {}, nullptr, spool.Sink());
  const sinkview::testing::TempFolder out;
  ASSERT_TRUE(WriteStudyCsvFiles(result, spool, out.path));
  const std::string longCsv = FileContents(out.path / "long.csv");
  std::vector<std::string> patients, rejected;
  for (const PatientSummary& p : result.patients) patients.push_back(p.file);
  for (const RejectedFile& r : result.rejected) rejected.push_back(r.file + ": " + r.reason);
  for (const auto& file : files) {
    const std::string shown = (folder.path / file.name).string();
    const auto isRejected = std::find(rejected.begin(), rejected.end(),
                                      file.name + (": " + shown) +
                                          ": a duplicate of a.vok (the same patient, side and radiograph "
                                          "dates); counted once.") != rejected.end();
    EXPECT_EQ(isRejected, file.duplicate) << file.name;
    EXPECT_EQ(std::count(patients.begin(), patients.end(), file.name), file.duplicate ? 0 : 1) << file.name;
    EXPECT_EQ(longCsv.find(std::string(file.name) + ",") == std::string::npos, file.duplicate) << file.name;
  }
  EXPECT_EQ(rejected.size(), 2u);
}

// With one radiograph there is no change: the last changes are empty, not 0.
TEST(Study, OneRadiographHasNoLastChange) {
  const sinkview::testing::TempFolder folder;
  const std::string c = FileContents(kCohort + "/c_short.vok");
  std::ofstream(folder.path / "one.vok", std::ios::binary) << c.substr(0, c.find("[X-ray 2]"));
  const StudyResult result = RunStudy({folder.path}, {});
  ASSERT_EQ(result.patients.size(), 1u);
  const std::string csv = SummaryCsv(result);
  EXPECT_EQ(csv.substr(csv.find("\r\n") + 2),
            "one.vok,Coray Clara CC-3,all,left,current,1,,,,,,2020-01-01,2020-01-01,,0,1,0,,,,,,,\r\n");
}

TEST(StudyCsv, NumbersAndFields) {
  SetDecimalSeparator(','); // the user's locale is not the files'
  for (auto [value, text] : {std::pair{-0.0, "0"},
                             {0.1f, "0.1"},
                             {-1234567.8, "-1234568"},
                             {1.5e-7, "1.5e-07"},
                             {2.0 / 3, "0.6666667"},
                             {std::nan(""), ""}}) {
    EXPECT_EQ(CsvNumber(value), text) << value;
  }
  SetDecimalSeparator('.');
  for (auto [field, text] : {std::pair{"plain", "plain"},
                             {"a,b", "\"a,b\""},
                             {"say \"hi\"", "\"say \"\"hi\"\"\""},
                             {"two\r\nlines", "\"two\r\nlines\""},
                             {"", ""},
                             {"=HYPERLINK(1)", "'=HYPERLINK(1)"},
                             {"-x", "'-x"},
                             {"@SUM(A1)", "'@SUM(A1)"},
                             {"=a,b", "\"'=a,b\""},
                             {"a=b", "a=b"},
                             // Numbers stay numbers; a tab or CR may start a formula too.
                             {"-2.1", "-2.1"},
                             {"+3", "+3"},
                             {"-1,5", "\"-1,5\""},
                             {"-1.5e-07", "-1.5e-07"},
                             {"-.5", "-.5"},
                             {"-", "'-"},
                             {"-1e", "'-1e"},
                             {"-1.2.3", "'-1.2.3"},
                             {"-1+A1", "'-1+A1"},
                             {"\t=1", "'\t=1"},
                             {"\r=1", "\"'\r=1\""}}) {
    std::string out;
    AppendCsvField(out, field);
    EXPECT_EQ(out, text);
  }
}

// A name that starts like a formula stays text, and control characters of
// names and of file names, ESC, C1 and bidirectional ones, are blanks.
TEST(StudyCsv, NamesAndFileNamesReachTheCsvFilesAsPlainText) {
  const sinkview::testing::TempFolder folder;
  RecordText r;
  r.name = "\"=HYPERLINK(1)\",\"Hel\xE2\x80\xAEne\xC2\x85\",\"HB-48\xE2\x81\xA6\"";
  std::ofstream(folder.path / "@a\x1b[31m\xC2\x9B.vok") << r.Text();
  std::ofstream(folder.path / "-b\x1b.vok") << "no record";
  const StudyResult result = RunStudy({folder.path.string()}, {});
  ASSERT_EQ(result.patients.size(), 1u);
  const std::string summary = SummaryCsv(result);
  EXPECT_NE(summary.find("\r\n'@a [31m .vok,'=HYPERLINK(1) Hel ne  HB-48 ,"), std::string::npos) << summary;
  EXPECT_EQ(RejectedCsv(result).find("\r\n'-b .vok,"), std::string("file,reason").size())
      << RejectedCsv(result);
}

// summary.csv and visits.csv go into their temporaries a piece at a time:
// every hip's rows arrive, once and in order, however many pieces it takes.
TEST(StudyCsv, ManyHipsReachTheFilesWholeAndInOrder) {
  StudyResult result;
  result.groups = {"A"};
  result.protocol.visits = {{"1y", 12, {9, 15}}};
  constexpr std::size_t kHips = 3000;
  for (std::size_t h = 0; h < kHips; ++h) {
    PatientSummary& hip = result.patients.emplace_back();
    hip.file = "h" + std::to_string(h) + ".vok";
    hip.patient = "P" + std::to_string(h);
    hip.group = "A";
    hip.visits = {Measured(0.0), {}};
  }
  const sinkview::testing::TempFolder folder;
  const auto output = OutputFolder::Open(folder.path.string());
  FileSet set;
  ASSERT_TRUE(output && AddStudyCsvFiles(set, result, *output) && set.Commit());
  const auto start = [](std::size_t h) {
    return "h" + std::to_string(h) + ".vok,P" + std::to_string(h) + ",";
  };
  for (const auto& [name, rowsPerHip] :
       {std::pair{"summary.csv", std::size_t{1}}, {"visits.csv", std::size_t{2}}}) {
    const std::string text = FileContents(folder.path / name);
    EXPECT_EQ(text, name == std::string("summary.csv") ? SummaryCsv(result) : VisitsCsv(result));
    std::istringstream rows(text);
    std::string line;
    std::getline(rows, line); // the header
    std::size_t lines = 0;
    for (; std::getline(rows, line); ++lines)
      ASSERT_EQ(line.rfind(start(lines / rowsPerHip), 0), 0u) << name << " line " << lines + 2;
    EXPECT_EQ(lines, kHips * rowsPerHip) << name;
  }
}

// R reads a long text field for minutes: what it is given for the model
// holds no file name or exclusion reason, each patient as a number, and
// covariates only when the protocol declares them, in the study's columns.
TEST(StudyCsv, WhatRIsGivenHoldsNoLongTextItDoesNotFit) {
  StudyResult result;
  result.groups = {"A"};
  result.protocol.visits = {{"1y", 12, {9, 15}}};
  result.covariates = {"age", "note"};
  const std::string name(1 << 20, 'n');
  for (const std::string& patient : {name, std::string("Other"), name}) {
    PatientSummary& hip = result.patients.emplace_back();
    hip.file = "x.vok";
    hip.patient = patient;
    hip.exclusion = std::string(1 << 20, 'e');
    hip.group = "A";
    hip.covariates = {"71", std::string(1 << 20, 'c')};
    hip.visits = {Measured(0.0)};
  }
  const auto given = [&] {
    const sinkview::testing::TempFolder folder;
    const auto output = OutputFolder::Open(folder.path.string());
    FileSet set;
    EXPECT_TRUE(output && AddModelInputFiles(set, result, *output) && set.Commit());
    return std::pair{FileContents(folder.path / "summary.csv"), FileContents(folder.path / "visits.csv")};
  };
  const auto header = [](const std::string& csv) { return csv.substr(0, csv.find('\r')); };

  auto [summary, visits] = given();
  EXPECT_EQ(header(visits), header(VisitsCsv(result)));
  EXPECT_EQ(header(summary), header(SummaryCsv(result)));
  EXPECT_LT(summary.size() + visits.size(), 2000u);
  EXPECT_EQ(visits.substr(visits.find('\n') + 1), ",1,A,baseline,0,measured,,,,,no,0,,1,1,0,,\r\n"
                                                  ",2,A,baseline,0,measured,,,,,no,0,,2,1,0,,\r\n"
                                                  ",1,A,baseline,0,measured,,,,,no,0,,3,1,0,,\r\n");
  result.protocol.covariates = result.covariates;
  std::tie(summary, visits) = given();
  EXPECT_NE(visits.find(",1,1,0,71,ccc"), std::string::npos);
  // The study's own files keep every text.
  EXPECT_NE(VisitsCsv(result).find(name), std::string::npos);
}
