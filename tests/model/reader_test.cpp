#include "model/reader.h"

#include <gtest/gtest.h>

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

// A record with one field changed.
RecordText With(std::string RecordText::*field, std::string value) {
  RecordText r;
  r.*field = std::move(value);
  return r;
}

RecordText Dated(const std::string& date) { return With(&RecordText::date, date); }

ReadResult Parse(const std::string& text) { return ParseDataText(text, "/data/hb48.vok"); }

// The model read from `text`; a failure is reported.
MeasurementModel Model(const std::string& text) {
  ReadResult read = Parse(text);
  EXPECT_TRUE(read) << read.error().message;
  return read ? std::move(read->model) : MeasurementModel{};
}

} // namespace

TEST(Reader, ReadsRecordsIntoSlotsWithFacts) {
  RecordText second = Dated("20090301");
  second.name = "\"Bauer\",\"Helene\",\"HB-48b\"";
  second.side = "R";
  second.subsidence = "61.9,47.0,54.1,39.2";
  const ReadResult read = Parse(FileOf({Dated("20040301"), second}));
  ASSERT_TRUE(read) << read.error().message;
  const MeasurementModel& m = read->model;
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
  EXPECT_EQ(read->MeanHeadRadiusMagnification, 1.15f);
  EXPECT_EQ(LabelText(CutToHundredths(read->MeanHeadRadiusMagnification)), "1.14")
      << "1.15 held as 1.1499999 is cut, not rounded";
  EXPECT_EQ(m.MeanMagnificationHeadRadius, static_cast<float>(1.0 / 1.15f));
}

TEST(Reader, SortsByDateAndStartsTheTimeAxisAtTheEarliest) {
  RecordText late = Dated("20040302");
  late.angle = "2.5";
  MeasurementModel m = Model(FileOf({late, Dated("20040301")}));
  EXPECT_EQ(m.DateKey[1], 20040301);
  EXPECT_EQ(m.ElapsedDays[1], 0);
  EXPECT_EQ(m.ElapsedDays[2], 1);
  EXPECT_EQ(m.BoneStemAngle[2], 2.5f) << "every array is exchanged with the date";
  // A six-digit date lies in the nineteen hundreds; the root folder gets no
  // doubled separator.
  m = Model(FileOf({Dated("980315")}));
  EXPECT_EQ(m.DateKey[1], 19980315);
  EXPECT_EQ(m.DateMonth[1], 3);
  EXPECT_EQ(m.DateDay[1], 15);
  EXPECT_EQ(DataFilePath("/", "a.vok"), "/a.vok");
  // 29 February and 1 March are the same day of the year; radiographs of one
  // day get distinct times.
  EXPECT_FLOAT_EQ(Model(FileOf({Dated("20040229"), Dated("20040301")})).ElapsedDays[2], 0.1f);
  m = Model(FileOf({Dated("20050505"), Dated("20050505"), Dated("20050505"), Dated("20050506")}));
  EXPECT_EQ((std::vector<float>(&m.ElapsedDays[1], &m.ElapsedDays[5])),
            (std::vector<float>{0, 0.1f, 0.2f, 1.0f}));
}

TEST(Reader, SideOlderFormatAndLimitsOfTheFile) {
  for (const auto& [code, side] : std::vector<std::pair<std::string, std::string>>{
           {"R", "right"}, {"r", "right"}, {"L", "left"}, {"l", "left"}, {"right", "left"}})
    EXPECT_EQ(Model(FileOf({With(&RecordText::side, code)})).ProsthesisSide, side) << code;

  RecordText old;
  old.currentFormat = false;
  MeasurementModel m = Model(FileOf({old, old}));
  EXPECT_FALSE(m.HasStemCementData);
  EXPECT_EQ(m.StemCementDistance[1], 0);
  EXPECT_EQ(m.ComparabilityMeasure1[2], 142.3f);

  // Thirty records load, the thirty-first overflows; magnifications at the
  // limits and leap days load.
  std::vector<RecordText> records;
  for (int day = 1; day <= 30; ++day)
    records.push_back(Dated("200401" + std::string(day < 10 ? "0" : "") + std::to_string(day)));
  EXPECT_EQ(Model(FileOf(records) + "\r\n  \r\n").RadiographCount, 30);
  records.push_back(Dated("20040201"));
  const ReadResult overflow = Parse(FileOf(records));
  EXPECT_EQ(overflow.error().code, ReadErrorCode::TooManyRecords);
  EXPECT_NE(overflow.error().message.find(std::string(kOverflowText)), std::string::npos);
  RecordText limits = Dated("20000229");
  limits.headMagnification = "0.5";
  limits.stemMagnification = "2.0";
  EXPECT_EQ(Model(FileOf({limits, Dated("20040229")})).RadiographCount, 2);
}

TEST(Reader, FieldsMaySpreadOverLinesAndLinesMayBeLong) {
  RecordText r = With(&RecordText::medial, "0,\n14.6 , 11.8\n9.4,7.1");
  r.lineEnd = "\n";
  std::string text = r.Text();
  // A megabyte long ignored line.
  text.replace(text.find("Distances"), 9, std::string(1 << 20, 'x'));
  const MeasurementModel m = Model(text);
  EXPECT_EQ(m.MedialDistance2[1], 11.8f);
  EXPECT_EQ(m.MedialDistance4[1], 7.1f);
  // Line ends in a quoted name become blanks.
  EXPECT_EQ(Model(FileOf({With(&RecordText::name, "\"Bau\r\ner\",\"Hel\tene\",\"HB-48\"")})).PatientCode,
            "Bau  er Hel ene HB-48");
}

TEST(Reader, BadInputIsRejectedWithFileRecordAndItem) {
  using R = RecordText;
  const std::string whole = R().Text();
  const struct {
    const char* what;
    std::string text;
    ReadErrorCode code;
    const char* mentions;
  } cases[] = {
      {"ends inside a record", whole + whole.substr(0, whole.size() / 2), ReadErrorCode::EndInsideRecord,
       "record 2"},
      {"not a number", FileOf({R(), With(&R::lateral, "0,10.3,abc,6.9,5.2")}), ReadErrorCode::NotANumber,
       "record 2, lateral distance 6: "},
      {"ends at the stem/cement line", whole + whole.substr(0, whole.find("\"subsidence stem/cement")),
       ReadErrorCode::EndInsideRecord, "the file ends inside record 2 (at the stem/cement line)."},
      {"month 13", FileOf({Dated("20041301")}), ReadErrorCode::BadDate, "month"},
      {"day 32", FileOf({Dated("20040132")}), ReadErrorCode::BadDate, "day"},
      {"31 April", FileOf({Dated("20040431")}), ReadErrorCode::BadDate, "day"},
      {"letters in date", FileOf({Dated("2004O301")}), ReadErrorCode::BadDate, "yyyymmdd"},
      {"no record", " \r\n\r\n", ReadErrorCode::NoRecord, "no record"},
      {"empty", "", ReadErrorCode::NoRecord, "no record"},
      {"magnification 0", FileOf({With(&R::headMagnification, "0")}), ReadErrorCode::BadMagnification,
       "head radius"},
      {"negative magnification", FileOf({With(&R::stemMagnification, "-1.1")}),
       ReadErrorCode::BadMagnification, "stem length"},
      {"binary",
       std::string("\x7f"
                   "ELF\x02\x01\x00\x00",
                   8),
       ReadErrorCode::NotText, "binary"},
      {"unclosed quote", "[X-ray]\r\n\"Bauer,Helene,HB-48\r\n", ReadErrorCode::UnclosedQuote,
       "record 1, line 2: the quote that opens the patient's name is not closed"},
      {"unclosed quote closed by the next field's", FileOf({With(&R::name, "\"Bauer,Helene,HB-48")}),
       ReadErrorCode::UnclosedQuote, "record 1, line 2: the quote that opens the patient's name"},
      {"decimal comma", FileOf({R(), With(&R::medial, "0,16,74,11.8,9.4,7.1")}), ReadErrorCode::TooManyFields,
       "record 2, line 16: a number stands where the lateral line belongs"},
      {"decimal comma before the stem/cement label", FileOf({With(&R::subsidence, "63,4,48.2,55.8,40.6")}),
       ReadErrorCode::TooManyFields, "record 1, line 8: a number stands where the stem/cement line belongs"},
      {"field after the last", FileOf({With(&R::comparability, R().comparability + ",7")}),
       ReadErrorCode::TooManyFields, "record 1, line 10: the record has too many fields"},
      {"29 February 2005", FileOf({Dated("20050229")}), ReadErrorCode::BadDate, "day"},
      {"29 February 1900", FileOf({Dated("19000229")}), ReadErrorCode::BadDate, "day"},
      {"magnification 1e-38", FileOf({With(&R::headMagnification, "1e-38")}), ReadErrorCode::BadMagnification,
       "between 0.5 and 2"},
      {"magnification 2.01", FileOf({With(&R::stemMagnification, "2.01")}), ReadErrorCode::BadMagnification,
       "stem length"},
  };
  for (const auto& c : cases) {
    const ReadResult read = Parse(c.text);
    ASSERT_FALSE(read) << c.what;
    EXPECT_EQ(read.error().code, c.code) << c.what << ": " << read.error().message;
    EXPECT_NE(read.error().message.find("/data/hb48.vok"), std::string::npos) << c.what;
    EXPECT_NE(read.error().message.find(c.mentions), std::string::npos)
        << c.what << ": " << read.error().message;
  }
}

TEST(Reader, FilesFromDiskWithCrLfAndWhatIsNoRegularFile) {
  const std::string data = SINKVIEW_TEST_DATA;
  const ReadResult read = ReadDataFile(data + "/crlf_two_records.vok");
  ASSERT_TRUE(read) << read.error().message;
  EXPECT_EQ(read->model.RadiographCount, 2);
  // Pipes are refused without waiting.
  const std::string fifo = ::testing::TempDir() + "reader_fifo.vok";
  ::unlink(fifo.c_str());
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const ReadResult pipe = ReadDataFile(fifo);
  ::unlink(fifo.c_str());
  EXPECT_NE(pipe.error().message.find("not a regular file"), std::string::npos) << pipe.error().message;
  for (const ReadResult& r : {pipe, ReadDataFile(data + "/no_such_file.vok"), ReadDataFile(data)})
    EXPECT_EQ(r.error().code, ReadErrorCode::CannotOpen) << r.error().message;
}

TEST(Reader, MessagesStayOneShortLine) {
  const struct {
    std::string text, path, mentions;
  } cases[] = {
      {FileOf({Dated(std::string(1 << 20, ' ') + "2004x301")}), "/data/hb48.vok",
       "\"␣␣␣␣␣␣␣␣␣␣␣␣␣␣␣␣␣␣␣␣␣␣␣␣␣␣␣␣␣␣␣␣␣␣␣␣␣␣␣␣…\" (1048584 characters)"},
      {FileOf({With(&RecordText::lateral, "0,10.3,\x01\x7f"
                                          "6 ,6.9,5.2")}),
       "/data/hb48.vok", "\"␁␡6\" is not a number"},
      {FileOf({Dated("2004")}), "/data/a\nb.vok", "'/data/a␊b.vok': record 1"},
  };
  for (const auto& c : cases) {
    const std::string message = ParseDataText(c.text, c.path).error().message;
    EXPECT_NE(message.find(c.mentions), std::string::npos) << message.substr(0, 300);
    EXPECT_LT(message.size(), 300u) << "about 40 characters of a field";
    EXPECT_EQ(message.find_first_of("\r\n"), std::string::npos);
  }
  // A date after a megabyte of blanks is still a date.
  EXPECT_TRUE(Parse(FileOf({Dated(std::string(1 << 20, ' ') + "20040301")})));
}
