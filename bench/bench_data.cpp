#include "bench_data.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <random>

#include "model/prepared_series.h"
#include "model/reader.h"

namespace sinkview::bench {

namespace {

std::string Number(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", value);
  return text;
}

} // namespace

// Each seed its own patient: a study counts a series it has seen once.
std::string ThirtyRadiographText(unsigned seed) {
  std::mt19937 random(seed);
  std::uniform_real_distribution<double> noise(-0.2, 0.2);
  std::string text;
  for (int k = 0; k < 30; ++k) {
    const int month = 1 + (k * 2) % 12, year = 2004 + (k * 2) / 12;
    char date[16];
    std::snprintf(date, sizeof date, "%04d%02d15", year, month);
    const double magnification = 1.15 + noise(random) / 10;
    const double sink = 0.05 * k;
    text += "[X-ray " + std::to_string(k + 1) + "]\r\n\"Bench\",\"Patient\",\"BP-" + std::to_string(seed) +
            "\"\r\n\"Date\",\"" + date + "\"\r\n\"Side\",\"L\",\"Magnification head radius\"," +
            Number(magnification) + ",\"Magnification stem length\"," + Number(magnification) +
            "\r\nDistances\r\n\"Medial\",0," + Number(14 + noise(random)) + "," + Number(11 + noise(random)) +
            "," + Number(9 + noise(random)) + "," + Number(7 + noise(random)) + "\r\n\"Lateral\",0," +
            Number(10 + noise(random)) + "," + Number(8 + noise(random)) + "," + Number(6 + noise(random)) +
            "," + Number(5 + noise(random)) + "\r\n\"Angle\"," + Number(1.8 + noise(random)) +
            ",\"Subsidence\"," + Number(63 - sink) + "," + Number(9 - sink) + "," + Number(55 - sink) + "," +
            Number(1 - sink) + "\r\n\"subsidence stem/cement interface\"," + Number(sink / 3) +
            "\r\n\"Control lengths\"," + Number(142 + noise(random)) + "," + Number(38 + noise(random)) +
            ",\"Offset\"," + Number(44 + noise(random)) + "\r\n";
  }
  return text;
}

std::string ThirtyRadiographFile() {
  static const std::string path = [] {
    const std::string file = (std::filesystem::temp_directory_path() / "sinkview-bench-30.vok").string();
    std::ofstream(file, std::ios::binary) << ThirtyRadiographText();
    return file;
  }();
  return path;
}

MeasurementModel ThirtyRadiographModel() { return *ReadDataFile(ThirtyRadiographFile()); }

PreparedSeries PreparedThirtyRadiographSeries() {
  return *LoadPreparedFile(ThirtyRadiographFile(), Settings{});
}

StudyFolder::StudyFolder(int fileCount)
    : folder(std::filesystem::temp_directory_path() / ("sinkview-bench-study-" + std::to_string(fileCount))),
      data(folder / "data"), out(folder / "out") {
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(data);
  std::filesystem::create_directories(out);
  for (int i = 0; i < fileCount; ++i) {
    files.push_back((data / ("patient" + std::to_string(i) + ".vok")).string());
    std::ofstream(files.back(), std::ios::binary) << ThirtyRadiographText(static_cast<unsigned>(i));
  }
}

StudyFolder::~StudyFolder() { std::filesystem::remove_all(folder); }

void StudyFolder::EmptyOutput() const {
  std::filesystem::remove_all(out);
  std::filesystem::create_directories(out);
}

const StudyFolder& TheStudy(int fileCount) {
  static std::map<int, std::unique_ptr<StudyFolder>> studies;
  std::unique_ptr<StudyFolder>& study = studies[fileCount];
  if (!study) study = std::make_unique<StudyFolder>(fileCount);
  return *study;
}

} // namespace sinkview::bench
