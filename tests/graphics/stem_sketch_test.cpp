#include "graphics/stem_sketch.h"

#include <filesystem>
#include <fstream>

#include "../support/temp_folder.h"
#include "graphics_test_helpers.h"

using namespace sinkview;
using namespace sinkview::testing;
namespace fs = std::filesystem;

namespace {

// The left files in a folder of their own; a null text leaves a file out.
struct LeftFiles {
  LeftFiles(const char* outline, const char* lines, const char* points) {
    for (const auto& [name, text] :
         {std::pair{"clskonli.sys", outline}, {"clslinli.sys", lines}, {"clspktli.sys", points}}) {
      if (text) std::ofstream(folder.path / name, std::ios::binary) << text;
    }
  }
  RecordingSurface Drawn(const char* side = "left") const {
    RecordingSurface s;
    DrawStemSketch(side, folder.path.string() + "/", s);
    return s;
  }
  const TempFolder folder;
};

// n point records, the i-th at (i, -i).
std::string Points(int n) {
  std::string text;
  for (int i = 1; i <= n; ++i)
    text += std::to_string(i) + "," + std::to_string(-i) + "," + std::to_string(i) + "\r\n";
  return text;
}

} // namespace

TEST(DrawStemSketch, RecordsOfOneSegmentAreJoinedAndEachPointIsASquare) {
  const LeftFiles files("0,0,1\n100,0,1\n100,100,1\n-50,-50,2\n-60,-60,2\n7,7,1\n8,8,2\n",
                        " 7 , 8 , 3 \r\n 9 , 10 , 3 \r\n", (Points(20) + "not, even, numbers\n").c_str());
  const RecordingSurface s = files.Drawn();
  EXPECT_EQ(Where(s, [](const Segment& g) { return !g.box; }),
            (std::vector<Segment>{{0, 0, 100, 0, {}, false, 1},
                                  {100, 0, 100, 100, {}, false, 1},
                                  {-50, -50, -60, -60, {}, false, 1},
                                  {7, 8, 9, 10, {}, false, 1}}));
  std::vector<Segment> squares;
  for (double i = 1; i <= 15; ++i) squares.push_back({i - 25, -i - 25, i + 25, -i + 25, {}, true, 1});
  EXPECT_EQ(Where(s, [](const Segment& g) { return g.box; }), squares);
  EXPECT_TRUE(s.texts.empty());
}

// Only "left" itself reads the left files; here the right ones are missing.
// Whatever a file holds, it is closed again.
TEST(DrawStemSketch, ProblemsAreNamedInTheBoxAndWhatCanBeReadIsDrawn) {
  const auto openFiles = [] { return std::distance(fs::directory_iterator("/proc/self/fd"), {}); };
  const auto before = openFiles();
  const std::string p15 = Points(15), p12 = Points(12), two = "0,0,1\n5,5,1\n";
  const char* const rightMissing = "clskonre.sys: missing|clslinre.sys: missing|clspktre.sys: missing|";
  const struct {
    const char *side, *outline, *points;
    std::size_t lines, boxes;
    const char* texts;
  } cases[] = {
      {"Left", two.c_str(), p15.c_str(), 0, 0, rightMissing},
      {"left", nullptr, p15.c_str(), 1, 15, "clskonli.sys: missing|"},
      {"left", two.c_str(), nullptr, 2, 0, "clspktli.sys: missing|"},
      {"left", two.c_str(), p12.c_str(), 2, 12, "clspktli.sys: only 12 of 15 points|"},
      {"left", "0,0,1\n5,5,1\n9,x,1\n8,8,1\n", p15.c_str(), 2, 15, "clskonli.sys: record 3 is not a number|"},
      {"left", "0,0,1\n5,5,1\n1e99,0,1\n", p15.c_str(), 2, 15, "clskonli.sys: record 3 is not a number|"},
      {"left", "0,0,1\n5,5,1\n6,6\n", p15.c_str(), 2, 15, "clskonli.sys: record 3 incomplete|"},
  };
  for (const auto& c : cases) {
    const LeftFiles files(c.outline, two.c_str(), c.points);
    const RecordingSurface s = files.Drawn(c.side);
    std::string texts;
    for (const auto& t : s.texts) texts += t.text + "|";
    EXPECT_EQ(texts, c.texts) << '"' << c.side << '"';
    EXPECT_EQ(Where(s, [](const Segment& g) { return !g.box; }).size(), c.lines) << c.texts;
    EXPECT_EQ(Where(s, [](const Segment& g) { return g.box; }).size(), c.boxes) << c.texts;
  }
  EXPECT_EQ(openFiles(), before);
}
