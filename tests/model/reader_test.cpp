#include "model/reader.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <new>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "../support/file_contents.h"
#include "base/numtext.h"
#include "base/reader_text.h"
#include "base/whole_file.h"
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
  return read ? std::move(*read) : MeasurementModel{};
}

} // namespace

TEST(Reader, ReadsRecordsIntoSlotsWithFacts) {
  RecordText first = With(&RecordText::side, "R");
  RecordText second = Dated("20090301");
  second.name = "\"Bauer\",\"Helena\",\"HB-48\"";
  second.side = "R";
  second.subsidence = "61.9,47.0,54.1,39.2";
  const ReadResult read = Parse(FileOf({first, second}));
  ASSERT_TRUE(read) << read.error().message;
  const MeasurementModel& m = *read;
  EXPECT_EQ(m.RadiographCount, 2);
  EXPECT_EQ(m.PatientCode, "Bauer Helena HB-48") << "the last record names the patient";
  EXPECT_EQ(m.ProsthesisSide, "right");
  EXPECT_EQ(m.NumFileName, "/data/hb48.num");
  EXPECT_EQ(m.DateKey[2], 20090301);
  EXPECT_EQ(m.ElapsedDays[2], 1825) << "leap days are not counted";
  EXPECT_EQ(m.ObservationMonths, 60);
  EXPECT_EQ(m.ShoulderMajorDistance[2], 39.2f);
  EXPECT_EQ(m.StemCementDistance[1], 0.5f);
  EXPECT_EQ(m.ComparabilityMeasure3[2], 44.1f);
  EXPECT_TRUE(m.HasStemCementData);
  EXPECT_EQ(m.MeanHeadRadiusMagnification, 1.15f);
  EXPECT_EQ(LabelText(CutToHundredths(m.MeanHeadRadiusMagnification)), "1.14")
      << "1.15 held as 1.1499999 is cut, not rounded";
  EXPECT_EQ(m.MeanHeadRadiusFactor, static_cast<float>(1.0 / 1.15f));
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

// A study's cut-off reads the file as if the records dated after it were
// not in it: slots, magnification means, time axis and the last record's
// name are those of the file without them. None up to the cut-off: refused.
TEST(Reader, RecordsAfterTheCutoffAreReadAsIfNotInTheFile) {
  using namespace std::chrono;
  const auto dated = [](const char* date, const char* magnification) {
    RecordText r = Dated(date);
    r.headMagnification = r.stemMagnification = magnification;
    return r;
  };
  const RecordText a = dated("20040301", "1.15"), b = dated("20050301", "1.10"),
                   c = dated("20050302", "1.30");
  RecordText d = dated("20060301", "1.05");
  d.name = "\"Bauer\",\"Helena\",\"HB-48\"";
  const MeasurementModel want = Model(FileOf({b, a}));
  const ReadResult read = ParseDataText(FileOf({c, b, d, a}), "/data/hb48.vok", 2005y / March / 1);
  ASSERT_TRUE(read) << read.error().message;
  EXPECT_EQ(read->RecordsAfterCutoff, 2);
  EXPECT_EQ(read->RadiographCount, 2);
  EXPECT_EQ(read->PatientCode, want.PatientCode);
  EXPECT_EQ(read->ObservationMonths, want.ObservationMonths);
  EXPECT_EQ(read->MeanHeadRadiusFactor, want.MeanHeadRadiusFactor);
  EXPECT_EQ(read->MeanStemLengthFactor, want.MeanStemLengthFactor);
  EXPECT_EQ(read->DateKey, want.DateKey);
  EXPECT_EQ(read->MagnificationHeadRadius, want.MagnificationHeadRadius);
  const ReadResult none = ParseDataText(FileOf({b, c}), "/data/hb48.vok", 2005y / February / 28);
  EXPECT_EQ(none.error().code, ReadErrorCode::AllAfterCutoff);
  EXPECT_EQ(none.error().message, "/data/hb48.vok: every radiograph of the file is dated after the cut-off, "
                                  "2005-02-28, so the hip has none yet.");
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

  // The limits of what a radiograph can show load; "r" and "R" name one side.
  RecordText first = Dated("19000101");
  first.medial = "0,1000,-1000,9.4,7.1";
  first.angle = "-180";
  RecordText last = Dated("21001231");
  last.angle = "180";
  last.side = "l";
  m = Model(FileOf({first, last}));
  EXPECT_EQ(m.MedialDistance2[1], -1000);
  EXPECT_EQ(m.DateKey[2], 21001231);
  EXPECT_EQ(Model(FileOf({With(&RecordText::side, "r"), With(&RecordText::side, "R")})).ProsthesisSide,
            "right");
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
  // So do C1 controls and bidirectional overrides in UTF-8; in Windows-1252
  // the bytes 0x80 to 0x9F are letters.
  for (const auto& [name, code] : std::vector<std::pair<std::string, std::string>>{
           {"\"A\xC2\x85\xE2\x80\xAE\xE2\x81\xA9Z\",\"\",\"1\"", "A   Z  1"},
           {"\"M\x9Aller\",\"\",\"1\"", "M\x9Aller  1"}})
    EXPECT_EQ(Model(FileOf({With(&RecordText::name, name)})).PatientCode, code);
}

// Each bad file of tests/data/bad is listed with its error code and a part
// of its message; the message names the file.
TEST(Reader, BadInputIsRejectedWithFileRecordAndItem) {
  const char* const codes[] = {"CannotOpen",    "NotText",       "NoRecord",         "EndInsideRecord",
                               "NotANumber",    "BadDate",       "BadMagnification", "TooManyRecords",
                               "UnclosedQuote", "TooManyFields", "MixedFormats",     "TwoHips",
                               "OutOfRange"};
  const std::string folder = SINKVIEW_TEST_DATA "/bad/";
  std::istringstream expected(sinkview::testing::FileContents(folder + "expected.txt"));
  int files = 0;
  for (std::string file, code, mentions;
       expected >> file >> code && std::getline(expected >> std::ws, mentions);) {
    if (file.starts_with('#')) continue;
    const ReadResult read = ReadDataFile(folder + file);
    ASSERT_FALSE(read) << file;
    EXPECT_EQ(codes[static_cast<int>(read.error().code)], code) << file << ": " << read.error().message;
    EXPECT_NE(read.error().message.find(folder + file), std::string::npos) << read.error().message;
    EXPECT_NE(read.error().message.find(mentions), std::string::npos) << read.error().message;
    ++files;
  }
  EXPECT_EQ(files, 33);
}

// Every sample read from disk has CR LF line ends; what is no regular file
// is refused, a pipe without waiting.
TEST(Reader, WhatIsNoRegularFileIsRefused) {
  const std::string data = SINKVIEW_TEST_DATA;
  const std::string fifo = ::testing::TempDir() + "reader_fifo.vok";
  ::unlink(fifo.c_str());
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const ReadResult pipe = ReadDataFile(fifo);
  ::unlink(fifo.c_str());
  EXPECT_NE(pipe.error().message.find("not a regular file"), std::string::npos) << pipe.error().message;
  for (const ReadResult& r : {pipe, ReadDataFile(data + "/no_such_file.vok"), ReadDataFile(data)})
    EXPECT_EQ(r.error().code, ReadErrorCode::CannotOpen) << r.error().message;
}

// An error made before its code is known holds a code, not whatever the
// memory held.
TEST(Reader, AnErrorHasACodeFromTheStart) {
  alignas(ReadError) unsigned char storage[sizeof(ReadError)];
  std::memset(storage, 0xA5, sizeof storage);
  const ReadError* error = new (storage) ReadError;
  EXPECT_EQ(error->code, ReadErrorCode::CannotOpen);
  error->~ReadError();
}

// A file that keeps its reader waiting (here a pipe whose writer stays) is
// given up within the wait limit; one that ends is read whole. /proc/kmsg
// would show the same, but reading it takes the kernel's messages away.
TEST(WholeFile, ReadingWaitsNoLongerThanItsLimit) {
  int ends[2];
  ASSERT_EQ(::pipe(ends), 0);
  ASSERT_EQ(::write(ends[1], "[X-ray]", 7), 7);
  const WholeFile waiting = ReadToEnd(ends[0], 0, 100, std::chrono::milliseconds(50));
  EXPECT_EQ(waiting.problem, WholeFile::Problem::NoEnd);
  EXPECT_EQ(waiting.text, "");

  ASSERT_EQ(::write(ends[1], "\r\n", 2), 2);
  ::close(ends[1]);
  const WholeFile ended = ReadToEnd(ends[0], 0, 100, std::chrono::milliseconds(50));
  EXPECT_EQ(ended.problem, WholeFile::Problem::None);
  EXPECT_EQ(ended.text, "\r\n") << "the first reading took the bytes before";
  ::close(ends[0]);
}

// A sanitizer ends the program on an allocation this large instead of
// throwing, so only the plain builds run it.
#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
TEST(WholeFile, ABufferThatCannotBeHadLeavesNoFileOpen) {
  const auto openFiles = [] {
    return std::distance(std::filesystem::directory_iterator("/proc/self/fd"), {});
  };
  const std::string path = ::testing::TempDir() + "whole_file_sparse.vok";
  std::ofstream{path};
  // A sparse tebibyte: more than the machine has for its buffer.
  ASSERT_EQ(::truncate(path.c_str(), off_t{1} << 40), 0);
  const auto before = openFiles();
  EXPECT_THROW((void)ReadWholeFile(path, SIZE_MAX), std::bad_alloc);
  EXPECT_EQ(openFiles(), before);
  ::unlink(path.c_str());
}
#endif

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
      // C1 and bidirectional controls, which would reorder the message, as blanks.
      {FileOf({Dated("2004")}),
       "/data/a\xE2\x80\xAE"
       "b.vok",
       "'/data/a b.vok': record 1"},
      {FileOf({With(&RecordText::lateral, "0,10.3,\xC2\x9B"
                                          "6 ,6.9,5.2")}),
       "/data/hb48.vok", "\"␣6\" is not a number"},
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

// A pseudonymised study passes a reader's message on without the file's
// name (as the message shows it, quoted for its control character) and
// without what the file holds; a quote left open hides the rest.
TEST(ReaderMessages, WithoutTheFilesNameAndFields) {
  const std::string path = "/s/b\x01.vok", shown = ShownFileName(path);
  ASSERT_NE(shown, path);
  const struct {
    std::string message, pseudonymised;
  } cases[] = {
      {shown + ": record 2, the patient's code: \"HB-49\" differs from record 1's \"HB-48\".",
       "P1-L: record 2, the patient's code: \"…\" differs from record 1's \"…\"."},
      {path + ": \"Bauer\" is not a number, nor is \"Hel", "P1-L: \"…\" is not a number, nor is \"…\""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(WithoutQuotedFields(Renamed(c.message, path, "P1-L")), c.pseudonymised) << c.message;
}
