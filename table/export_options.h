#pragma once

// The command line of sinkview-export, shared by the exporter and by the
// figure program it runs when a figure is asked for.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/settings.h"

namespace sinkview {

inline constexpr int kAllWritten = 0, kSomeRejected = 1, kUsageError = 2;
inline constexpr std::string_view kExportProgram = "sinkview-export";
// The program that draws figures for the exporter, run with the exporter's
// command line.
inline constexpr std::string_view kFigureProgram = "sinkview-figure";

extern const std::string_view kExportHelp;

struct FigureSize {
  int width = 0, height = 0;
};

struct ExportSettings {
  Settings model; // the settings the series are read and prepared with
  std::optional<std::string> outputDir;
  std::vector<std::string> paths;
  bool recursive = false;
  // Figures.
  std::string graphicsFile, tableFile;
  std::optional<FigureSize> size;
  bool WantsFigures() const { return !graphicsFile.empty() || !tableFile.empty(); }
};

enum class ExportAction { Run, Help, Version, Fail };

// Reads the command line; a wrong one is reported on the error stream.
ExportAction ParseExportArguments(int argc, char** argv, ExportSettings& settings);

} // namespace sinkview
