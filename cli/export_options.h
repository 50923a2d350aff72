#pragma once

// The command line of sinkview-export, shared by the exporter and by the
// figure program it runs when a figure is asked for.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/expected.h"
#include "cli/setting_options.h"

namespace sinkview {

inline constexpr int kAllWritten = 0, kSomeRejected = 1, kUsageError = 2;
inline constexpr std::string_view kExportProgram = "sinkview-export";
// The program that draws figures for the exporter, run with the exporter's
// command line.
inline constexpr std::string_view kFigureProgram = "sinkview-figure";

std::string ExportHelp();

struct FigureSize {
  int width = 0, height = 0;
};

// The settings the series are read and prepared with, where they are found
// and where their exports go, and the figures asked for.
struct ExportOptions : SettingOptions {
  std::vector<std::string> paths;
  std::string graphicsFile, tableFile;
  std::optional<FigureSize> size;
  bool axes = false;                // the graphics figure with scales
  std::optional<int> figureWidthMm; // its width on paper, drawn for print
  bool WantsFigures() const { return !graphicsFile.empty() || !tableFile.empty(); }
};

enum class ExportAction { Run, Help, Version };

struct ExportCommand {
  ExportAction action = ExportAction::Run;
  ExportOptions options;
};

// Reads the arguments after the program's name.
Expected<ExportCommand, Failure> ParseExportArguments(const std::vector<std::string>& args);

// The error as the exporter reports it, pointing to its help.
std::string UsageErrorText(const Failure& error);

} // namespace sinkview
