#include "model/reader.h"

#include <gtest/gtest.h>

#include <fstream>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "model/numtext.h"
#include "record_text.h"

using namespace sinkview;

namespace {

std::string FileOf(const std::vector<RecordText>& records) {
  std::string text;
  for (const RecordText& r : records) text += r.Text();
  return text;
}

RecordText Dated(const std::string& date) {
  RecordText r;
  r.date = date;
  return r;
}

// A read's error, or its model in `m` and the mean magnification shown.
struct Outcome {
  std::optional<ReadError> failure;
  float MeanHeadRadiusMagnification = 0;
  bool ok() const { return !failure; }
  const ReadError& error() const { return *failure; }
};

Outcome Into(ReadResult read, MeasurementModel& m) {
  if (!read) return {read.error()};
  m = std::move(read->model);
  return {std::nullopt, read->MeanHeadRadiusMagnification};
}

Outcome Parse(const std::string& text, MeasurementModel& m) {
  return Into(ParseDataText(text, "/data/hb48.vok"), m);
}

Outcome Read(const std::string& path, MeasurementModel& m) { return Into(ReadDataFile(path), m); }

} // namespace

TEST(Reader, ReadsRecordsIntoSlotsWithFacts) {
  RecordText first = Dated("20040301");
  RecordText second = Dated("20090301");
  second.name = "\"Bauer\",\"Helene\",\"HB-48b\"";
  second.side = "R";
  second.subsidence = "61.9,47.0,54.1,39.2";
  MeasurementModel m;
  const Outcome out = Parse(FileOf({first, second}), m);
  ASSERT_TRUE(out.ok()) << out.error().message;
  EXPECT_EQ(m.RadiographCount, 2);
  EXPECT_EQ(m.PatientCode, "Bauer Helene HB-48b") << "the last record names the patient";
  EXPECT_EQ(m.ProsthesisSide, "right");
  EXPECT_EQ(m.NumFileName, "/data/hb48.num");
  EXPECT_EQ(m.DateKey[2], 20090301);
  EXPECT_EQ(m.ElapsedDays[2], 1825) << "leap days are not counted";
  EXPECT_EQ(m.ObservationMonths, 60);
  EXPECT_EQ(m.MedialDistance4[1], 7.1f);
  EXPECT_EQ(m.ShoulderMajorDistance[2], 39.2f);
  EXPECT_EQ(m.StemCementDistance[1], 0.5f);
  EXPECT_EQ(m.ComparabilityMeasure3[2], 44.1f);
  EXPECT_TRUE(m.HasStemCementData);
  EXPECT_EQ(out.MeanHeadRadiusMagnification, 1.15f);
  EXPECT_EQ(LabelText(CutToHundredths(out.MeanHeadRadiusMagnification)), "1.14")
      << "1.15 held as 1.1499999 is cut, not rounded";
  EXPECT_EQ(m.MeanMagnificationHeadRadius, static_cast<float>(1.0 / 1.15f));
}

TEST(Reader, SortsByDateAndStartsTheTimeAxisAtTheEarliest) {
  RecordText late = Dated("20040302");
  late.angle = "2.5";
  MeasurementModel m;
  ASSERT_TRUE(Parse(FileOf({late, Dated("20040301")}), m).ok());
  EXPECT_EQ(m.DateKey[1], 20040301);
  EXPECT_EQ(m.ElapsedDays[1], 0);
  EXPECT_EQ(m.ElapsedDays[2], 1);
  EXPECT_EQ(m.BoneStemAngle[2], 2.5f) << "every array is exchanged with the date";
  // A six-digit date lies in the nineteen hundreds; the root folder gets no
  // doubled separator.
  ASSERT_TRUE(Parse(FileOf({Dated("980315")}), m).ok());
  EXPECT_EQ(m.DateKey[1], 19980315);
  EXPECT_EQ(m.DateMonth[1], 3);
  EXPECT_EQ(m.DateDay[1], 15);
  EXPECT_EQ(DataFilePath("/", "a.vok"), "/a.vok");
}

TEST(Reader, RadiographsOfOneDayGetDistinctTimes) {
  MeasurementModel m;
  // 29 February and 1 March are the same day of the year.
  ASSERT_TRUE(Parse(FileOf({Dated("20040229"), Dated("20040301")}), m).ok());
  EXPECT_FLOAT_EQ(m.ElapsedDays[2], 0.1f);

  ASSERT_TRUE(
      Parse(FileOf({Dated("20050505"), Dated("20050505"), Dated("20050505"), Dated("20050506")}), m).ok());
  for (int k = 2; k <= 4; ++k) EXPECT_GT(m.ElapsedDays[k], m.ElapsedDays[k - 1]) << k;
  EXPECT_FLOAT_EQ(m.ElapsedDays[2], 0.1f);
  EXPECT_FLOAT_EQ(m.ElapsedDays[3], 0.2f);
  EXPECT_EQ(m.ElapsedDays[4], 1.0f);
}

TEST(Reader, SideCodeOnlyROrLowerRIsRight) {
  for (const auto& [code, side] : std::vector<std::pair<std::string, std::string>>{
           {"R", "right"}, {"r", "right"}, {"L", "left"}, {"l", "left"}, {"right", "left"}}) {
    RecordText r;
    r.side = code;
    MeasurementModel m;
    ASSERT_TRUE(Parse(FileOf({r}), m).ok());
    EXPECT_EQ(m.ProsthesisSide, side) << code;
  }
}

TEST(Reader, OlderFormatHasNoStemCementValues) {
  RecordText old;
  old.currentFormat = false;
  MeasurementModel m;
  m.StemCementDistance[1] = 9; // left from an earlier file
  ASSERT_TRUE(Parse(FileOf({old, old}), m).ok());
  EXPECT_FALSE(m.HasStemCementData);
  EXPECT_EQ(m.StemCementDistance[1], 0);
  EXPECT_EQ(m.ComparabilityMeasure1[2], 142.3f);
}

TEST(Reader, ThirtyRecordsLoadAndTheThirtyFirstOverflows) {
  std::vector<RecordText> records;
  for (int day = 1; day <= 30; ++day)
    records.push_back(Dated("200401" + std::string(day < 10 ? "0" : "") + std::to_string(day)));
  MeasurementModel m;
  ASSERT_TRUE(Parse(FileOf(records) + "\r\n  \r\n", m).ok());
  EXPECT_EQ(m.RadiographCount, 30);
  records.push_back(Dated("20040201"));
  const Outcome out = Parse(FileOf(records), m);
  EXPECT_EQ(out.error().code, ReadErrorCode::TooManyRecords);
  EXPECT_NE(out.error().message.find(std::string(kOverflowText)), std::string::npos);
}

TEST(Reader, FieldsMaySpreadOverLinesAndLinesMayBeLong) {
  RecordText r;
  r.lineEnd = "\n";
  r.medial = "0,\n14.6 , 11.8\n9.4,7.1";
  std::string text = r.Text();
  // A megabyte long ignored line.
  text.replace(text.find("Distances"), 9, std::string(1 << 20, 'x'));
  MeasurementModel m;
  const Outcome out = Parse(text, m);
  ASSERT_TRUE(out.ok()) << out.error().message;
  EXPECT_EQ(m.MedialDistance2[1], 11.8f);
  EXPECT_EQ(m.MedialDistance4[1], 7.1f);
}

TEST(Reader, BadInputIsRejectedWithFileRecordAndItem) {
  struct Case {
    const char* what;
    std::string text;
    ReadErrorCode code;
    const char* mentions;
  };
  RecordText notNumber;
  notNumber.lateral = "0,10.3,abc,6.9,5.2";
  RecordText month13 = Dated("20041301");
  RecordText day32 = Dated("20040132");
  RecordText april31 = Dated("20040431");
  RecordText letters = Dated("2004O301");
  RecordText zeroMagnification;
  zeroMagnification.headMagnification = "0";
  RecordText negativeMagnification;
  negativeMagnification.stemMagnification = "-1.1";
  RecordText tiny;
  tiny.headMagnification = "1e-38";
  RecordText large;
  large.stemMagnification = "2.01";
  RecordText unclosedName;
  unclosedName.name = "\"Bauer,Helene,HB-48";
  RecordText decimalComma;
  decimalComma.medial = "0,16,74,11.8,9.4,7.1";
  RecordText subsidenceComma;
  subsidenceComma.subsidence = "63,4,48.2,55.8,40.6";
  RecordText oneMore;
  oneMore.comparability += ",7";
  const std::string whole = RecordText().Text();
  const std::vector<Case> cases = {
      {"ends inside a record", whole + whole.substr(0, whole.size() / 2), ReadErrorCode::EndInsideRecord,
       "record 2"},
      {"not a number", FileOf({RecordText(), notNumber}), ReadErrorCode::NotANumber,
       "record 2, lateral distance 6: "},
      {"ends at the stem/cement line", whole + whole.substr(0, whole.find("\"subsidence stem/cement")),
       ReadErrorCode::EndInsideRecord, "the file ends inside record 2 (at the stem/cement line)."},
      {"month 13", FileOf({month13}), ReadErrorCode::BadDate, "month"},
      {"day 32", FileOf({day32}), ReadErrorCode::BadDate, "day"},
      {"31 April", FileOf({april31}), ReadErrorCode::BadDate, "day"},
      {"letters in date", FileOf({letters}), ReadErrorCode::BadDate, "yyyymmdd"},
      {"no record", " \r\n\r\n", ReadErrorCode::NoRecord, "no record"},
      {"empty", "", ReadErrorCode::NoRecord, "no record"},
      {"magnification 0", FileOf({zeroMagnification}), ReadErrorCode::BadMagnification, "head radius"},
      {"negative magnification", FileOf({negativeMagnification}), ReadErrorCode::BadMagnification,
       "stem length"},
      {"binary",
       std::string("\x7f"
                   "ELF\x02\x01\x00\x00",
                   8),
       ReadErrorCode::NotText, "binary"},
      {"unclosed quote", "[X-ray]\r\n\"Bauer,Helene,HB-48\r\n", ReadErrorCode::UnclosedQuote,
       "record 1, line 2: the quote that opens the patient's name is not closed"},
      {"unclosed quote closed by the next field's", FileOf({unclosedName}), ReadErrorCode::UnclosedQuote,
       "record 1, line 2: the quote that opens the patient's name"},
      {"decimal comma", FileOf({RecordText(), decimalComma}), ReadErrorCode::TooManyFields,
       "record 2, line 16: a number stands where the lateral line belongs"},
      {"decimal comma before the stem/cement label", FileOf({subsidenceComma}), ReadErrorCode::TooManyFields,
       "record 1, line 8: a number stands where the stem/cement line belongs"},
      {"field after the last", FileOf({oneMore}), ReadErrorCode::TooManyFields,
       "record 1, line 10: the record has too many fields"},
      {"29 February 2005", FileOf({Dated("20050229")}), ReadErrorCode::BadDate, "day"},
      {"29 February 1900", FileOf({Dated("19000229")}), ReadErrorCode::BadDate, "day"},
      {"magnification 1e-38", FileOf({tiny}), ReadErrorCode::BadMagnification, "between 0.5 and 2"},
      {"magnification 2.01", FileOf({large}), ReadErrorCode::BadMagnification, "stem length"},
  };
  for (const Case& c : cases) {
    MeasurementModel m;
    const Outcome out = Parse(c.text, m);
    EXPECT_EQ(out.error().code, c.code) << c.what << ": " << out.error().message;
    EXPECT_NE(out.error().message.find("/data/hb48.vok"), std::string::npos) << c.what;
    EXPECT_NE(out.error().message.find(c.mentions), std::string::npos)
        << c.what << ": " << out.error().message;
  }
}

TEST(Reader, FilesFromDiskWithCrLfAndMissingFiles) {
  MeasurementModel m;
  const std::string path = std::string(SINKVIEW_TEST_DATA) + "/crlf_two_records.vok";
  const Outcome out = Read(path, m);
  ASSERT_TRUE(out.ok()) << out.error().message;
  EXPECT_EQ(m.RadiographCount, 2);
  const Outcome missing = Read(std::string(SINKVIEW_TEST_DATA) + "/no_such_file.vok", m);
  EXPECT_EQ(missing.error().code, ReadErrorCode::CannotOpen);
  EXPECT_EQ(Read(SINKVIEW_TEST_DATA, m).error().code, ReadErrorCode::CannotOpen) << "a folder";
}

TEST(Reader, MagnificationsAtTheLimitsAndLeapDaysLoad) {
  RecordText r = Dated("20000229");
  r.headMagnification = "0.5";
  r.stemMagnification = "2.0";
  MeasurementModel m;
  const Outcome out = Parse(FileOf({r, Dated("20040229")}), m);
  EXPECT_TRUE(out.ok()) << out.error().message;
}

TEST(Reader, MessagesStayOneShortLine) {
  RecordText longDate = Dated(std::string(1 << 20, ' ') + "2004x301");
  RecordText controls;
  controls.lateral = "0,10.3,\x01\x7f"
                     "6 ,6.9,5.2";
  struct Case {
    std::string text, path, mentions;
  };
  for (const Case& c : std::vector<Case>{
           {FileOf({longDate}), "/data/hb48.vok",
            "\"␣␣␣␣␣␣␣␣␣␣␣␣␣␣␣␣␣␣␣␣␣␣␣␣␣␣␣␣␣␣␣␣␣␣␣␣␣␣␣␣…\" (1048584 characters)"},
           {FileOf({controls}), "/data/hb48.vok", "\"␁␡6\" is not a number"},
           {FileOf({Dated("2004")}), "/data/a\nb.vok", "'/data/a␊b.vok': record 1"},
       }) {
    MeasurementModel m;
    const std::string message = ParseDataText(c.text, c.path).error().message;
    EXPECT_NE(message.find(c.mentions), std::string::npos) << message.substr(0, 300);
    EXPECT_LT(message.size(), 300u) << "about 40 characters of a field";
    EXPECT_EQ(message.find_first_of("\r\n"), std::string::npos);
  }
  // A date after a megabyte of blanks is still a date.
  MeasurementModel m;
  EXPECT_TRUE(Parse(FileOf({Dated(std::string(1 << 20, ' ') + "20040301")}), m).ok());
}

TEST(Reader, LineEndsInAQuotedNameBecomeBlanks) {
  RecordText r;
  r.name = "\"Bau\r\ner\",\"Hel\tene\",\"HB-48\"";
  MeasurementModel m;
  ASSERT_TRUE(Parse(FileOf({r}), m).ok());
  EXPECT_EQ(m.PatientCode, "Bau  er Hel ene HB-48");
}

TEST(Reader, PipesAndFoldersAreRefusedWithoutWaiting) {
  const std::string fifo = ::testing::TempDir() + "reader_fifo.vok";
  ::unlink(fifo.c_str());
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  MeasurementModel m;
  const Outcome out = Read(fifo, m);
  ::unlink(fifo.c_str());
  EXPECT_EQ(out.error().code, ReadErrorCode::CannotOpen);
  EXPECT_NE(out.error().message.find("not a regular file"), std::string::npos) << out.error().message;
}
