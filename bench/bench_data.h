#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "model/model.h"
#include "model/prepared_series.h"

namespace sinkview::bench {

// The text of a data file of 30 radiographs over five years.
std::string ThirtyRadiographText(unsigned seed = 1);
// That text written to a temporary file (once per process); its path.
std::string ThirtyRadiographFile();
// The model read from it.
MeasurementModel ThirtyRadiographModel();
// The same, prepared as the windows prepare it.
PreparedSeries PreparedThirtyRadiographSeries();

// A study of data files of 30 radiographs, each from its own seed, with an
// empty output folder beside them, made once per size and removed at exit.
struct StudyFolder {
  std::filesystem::path folder, data, out;
  std::vector<std::string> files;
  explicit StudyFolder(int fileCount);
  ~StudyFolder();
  void EmptyOutput() const;
};
const StudyFolder& TheStudy(int fileCount = 10000);

} // namespace sinkview::bench
