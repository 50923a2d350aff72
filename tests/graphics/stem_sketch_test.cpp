#include "graphics/stem_sketch.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "graphics_test_helpers.h"

using namespace sinkview;
using namespace sinkview::testing;
namespace fs = std::filesystem;

namespace {

const std::string kInstalledSketch = std::string(SINKVIEW_SOURCE_DIR) + "/graphics/sketch/";

// A folder of its own for each test, removed afterwards.
class SketchFolder : public ::testing::Test {
protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    folder_ = fs::temp_directory_path() / ("sinkview_sketch_" + std::string(info->name()));
    fs::remove_all(folder_);
    fs::create_directories(folder_);
  }
  void TearDown() override { fs::remove_all(folder_); }

  std::string Folder() const { return folder_.string() + "/"; }
  void Write(const std::string& name, const std::string& text) const {
    std::ofstream(folder_ / name, std::ios::binary) << text;
  }
  // The three files of a side: no lines, no outline, and the given points.
  void WriteSide(const char* side, const std::string& outline, const std::string& lines,
                 const std::string& points) const {
    const SketchFileNames names = SketchFilesForSide(side);
    Write(names.outline, outline);
    Write(names.lines, lines);
    Write(names.points, points);
  }

  fs::path folder_;
};

// n point records, the i-th at (i, -i).
std::string Points(int n) {
  std::string text;
  for (int i = 1; i <= n; ++i)
    text += std::to_string(i) + "," + std::to_string(-i) + "," + std::to_string(i) + "\r\n";
  return text;
}

std::vector<Segment> Boxes(const RecordingSurface& s) {
  return Where(s, [](const Segment& g) { return g.box; });
}

std::vector<Segment> Lines(const RecordingSurface& s) {
  return Where(s, [](const Segment& g) { return !g.box; });
}

std::vector<std::string> Texts(const RecordingSurface& s) {
  std::vector<std::string> texts;
  for (const auto& t : s.texts) texts.push_back(t.text);
  return texts;
}

// The descriptors this process holds open.
std::size_t OpenFiles() {
  std::size_t count = 0;
  for ([[maybe_unused]] const auto& entry : fs::directory_iterator("/proc/self/fd")) ++count;
  return count;
}

} // namespace

TEST(SketchFilesForSide, LeftExactlyGivesTheLeftFilesEverythingElseTheRight) {
  EXPECT_EQ(SketchFilesForSide("left").outline, "clskonli.sys");
  EXPECT_EQ(SketchFilesForSide("left").lines, "clslinli.sys");
  EXPECT_EQ(SketchFilesForSide("left").points, "clspktli.sys");
  for (const char* side : {"right", "Left", "", "links"}) {
    const SketchFileNames names = SketchFilesForSide(side);
    EXPECT_EQ(names.outline, "clskonre.sys") << side;
    EXPECT_EQ(names.lines, "clslinre.sys") << side;
    EXPECT_EQ(names.points, "clspktre.sys") << side;
  }
}

TEST_F(SketchFolder, ScalesToTheDrawingAreaClearsAndJoinsRecordsOfOneSegment) {
  WriteSide("left", "0,0,1\n100,0,1\n100,100,1\n-50,-50,2\n-60,-60,2\n", " 7 , 8 , 3 \r\n 9 , 10 , 3 \r\n",
            Points(15));
  RecordingSurface s;
  DrawStemSketch("left", Folder(), s);
  ASSERT_EQ(s.scales.size(), 1u);
  EXPECT_EQ(s.scales[0].x1, -1400);
  EXPECT_EQ(s.scales[0].y1, 2600);
  EXPECT_EQ(s.scales[0].x2, 1400);
  EXPECT_EQ(s.scales[0].y2, -2900);
  EXPECT_EQ(s.clsCount, 1);
  EXPECT_EQ(Lines(s), (std::vector<Segment>{{0, 0, 100, 0, {}, false, 1},
                                            {100, 0, 100, 100, {}, false, 1},
                                            {-50, -50, -60, -60, {}, false, 1},
                                            {7, 8, 9, 10, {}, false, 1}}));
  const std::vector<Segment> boxes = Boxes(s);
  ASSERT_EQ(boxes.size(), 15u);
  EXPECT_EQ(boxes[0], (Segment{1 - 25, -1 - 25, 1 + 25, -1 + 25, {}, true, 1}));
  EXPECT_TRUE(s.texts.empty());
}

TEST_F(SketchFolder, RightAndAnyOtherSideReadTheRightFiles) {
  WriteSide("left", "", "", Points(15));
  WriteSide("right", "0,0,1\n5,5,1\n", "", Points(15));
  for (const char* side : {"right", "Left", ""}) {
    RecordingSurface s;
    DrawStemSketch(side, Folder(), s);
    EXPECT_EQ(Lines(s).size(), 1u) << side;
  }
}

TEST_F(SketchFolder, AlternatingSegmentNumbersDrawNoLine) {
  WriteSide("left", "0,0,1\n10,0,2\n20,0,1\n30,0,2\n", "", Points(15));
  RecordingSurface s;
  DrawStemSketch("left", Folder(), s);
  EXPECT_TRUE(Lines(s).empty());
  EXPECT_TRUE(s.texts.empty());
}

TEST_F(SketchFolder, EmptyOutlineAndLinesFilesDrawNothingAndAreNoError) {
  WriteSide("left", "", "\r\n", Points(15));
  RecordingSurface s;
  DrawStemSketch("left", Folder(), s);
  EXPECT_TRUE(Lines(s).empty());
  EXPECT_EQ(Boxes(s).size(), 15u);
  EXPECT_TRUE(s.texts.empty());
}

TEST_F(SketchFolder, OnlyTheFirstFifteenPointsAreDrawn) {
  WriteSide("left", "", "", Points(20) + "not, even, numbers\n");
  RecordingSurface s;
  DrawStemSketch("left", Folder(), s);
  EXPECT_EQ(Boxes(s).size(), 15u);
  EXPECT_TRUE(s.texts.empty());
}

TEST_F(SketchFolder, VertexOutsideTheAreaIsLeftToTheClipping) {
  WriteSide("left", "0,0,4\n1500,0,4\n", "", Points(15));
  RecordingSurface s;
  DrawStemSketch("left", Folder(), s);
  EXPECT_EQ(Lines(s), (std::vector<Segment>{{0, 0, 1500, 0, {}, false, 1}}));
}

TEST_F(SketchFolder, ShortPointsFileDrawsItsPointsAndIsNamedInTheBox) {
  WriteSide("left", "0,0,1\n5,5,1\n", "", Points(12));
  RecordingSurface s;
  DrawStemSketch("left", Folder(), s);
  EXPECT_EQ(Lines(s).size(), 1u);
  EXPECT_EQ(Boxes(s).size(), 12u);
  EXPECT_EQ(Texts(s), std::vector<std::string>{"clspktli.sys: only 12 of 15 points"});
}

TEST_F(SketchFolder, MissingFilesAreNamedAndTheOthersStillDrawn) {
  const SketchFileNames names = SketchFilesForSide("left");
  Write(names.lines, "0,0,1\n5,5,1\n");
  RecordingSurface s;
  DrawStemSketch("left", Folder(), s);
  EXPECT_EQ(Lines(s).size(), 1u);
  EXPECT_TRUE(Boxes(s).empty());
  EXPECT_EQ(Texts(s), (std::vector<std::string>{"clskonli.sys: missing", "clspktli.sys: missing"}));
}

TEST_F(SketchFolder, FieldThatIsNotANumberStopsThatFileWhichIsNamedWithTheRecord) {
  const struct {
    const char* outline;
    std::size_t lines;
    const char* message;
  } cases[] = {
      {"0,0,1\n5,5,1\n9,x,1\n10,10,1\n", 1, "clskonli.sys: record 3 is not a number"},
      {"0,0,1\n5,5,1\n,6,1\n", 1, "clskonli.sys: record 3 is not a number"},
      {"0,0,1\n5,5,1\n6,6\n", 1, "clskonli.sys: record 3 incomplete"},
      {"0,0,1\n5,5,1\n1e99,0,1\n", 1, "clskonli.sys: record 3 is not a number"},
  };
  for (const auto& c : cases) {
    WriteSide("left", c.outline, "0,0,1\n-5,-5,1\n", Points(15));
    RecordingSurface s;
    DrawStemSketch("left", Folder(), s);
    EXPECT_EQ(Lines(s).size(), c.lines + 1) << c.outline;
    EXPECT_EQ(Boxes(s).size(), 15u) << c.outline;
    EXPECT_EQ(Texts(s), std::vector<std::string>{c.message}) << c.outline;
  }
}

TEST_F(SketchFolder, UnreadableFileIsNamed) {
  const SketchFileNames names = SketchFilesForSide("left");
  fs::create_directory(folder_ / names.outline); // a folder where the file should be
  Write(names.lines, "");
  Write(names.points, Points(15));
  RecordingSurface s;
  DrawStemSketch("left", Folder(), s);
  EXPECT_EQ(Texts(s), std::vector<std::string>{"clskonli.sys: cannot be read"});
  EXPECT_EQ(Boxes(s).size(), 15u);
}

TEST_F(SketchFolder, EveryFileOpenedIsClosedWhateverItHolds) {
  const std::size_t before = OpenFiles();
  WriteSide("left", "1,2,x\n", "3", Points(3));
  for (int paint = 0; paint < 50; ++paint) {
    RecordingSurface s;
    DrawStemSketch("left", Folder(), s);
    DrawStemSketch("right", Folder(), s); // all missing
  }
  EXPECT_EQ(OpenFiles(), before);
}

TEST(InstalledSketch, EachSideHasOutlineLinesAndFifteenPointsInsideTheDrawingArea) {
  for (const char* side : {"left", "right"}) {
    const SketchFileNames names = SketchFilesForSide(side);
    for (const std::string& name : {names.outline, names.lines, names.points}) {
      const SketchFileContents file = ReadSketchFile(kInstalledSketch + name, 10000);
      EXPECT_EQ(file.problem, "") << name;
      EXPECT_GE(file.records.size(), name == names.points ? 15u : 2u) << name;
      for (const SketchRecord& r : file.records) {
        EXPECT_TRUE(r.x >= kSketchLeft && r.x <= kSketchRight && r.y >= kSketchBottom && r.y <= kSketchTop)
            << name << " (" << r.x << ", " << r.y << ")";
        EXPECT_NE(r.segment, 999) << name;
      }
    }
    EXPECT_EQ(ReadSketchFile(kInstalledSketch + names.points, 10000).records.size(), 15u) << side;
    RecordingSurface s;
    DrawStemSketch(side, kInstalledSketch, s);
    EXPECT_TRUE(s.texts.empty()) << side;
    EXPECT_EQ(Boxes(s).size(), 15u) << side;
  }
}

TEST(InstalledSketch, RightSideIsTheMirrorOfTheLeft) {
  const SketchFileNames left = SketchFilesForSide("left"), right = SketchFilesForSide("right");
  const std::pair<std::string, std::string> pairs[] = {
      {left.outline, right.outline}, {left.lines, right.lines}, {left.points, right.points}};
  for (const auto& [l, r] : pairs) {
    const auto a = ReadSketchFile(kInstalledSketch + l, 10000).records;
    const auto b = ReadSketchFile(kInstalledSketch + r, 10000).records;
    ASSERT_EQ(a.size(), b.size()) << l;
    for (std::size_t i = 0; i < a.size(); ++i) {
      EXPECT_EQ(a[i].x, -b[i].x) << l << " record " << i + 1;
      EXPECT_EQ(a[i].y, b[i].y) << l << " record " << i + 1;
      EXPECT_EQ(a[i].segment, b[i].segment) << l << " record " << i + 1;
    }
  }
}
