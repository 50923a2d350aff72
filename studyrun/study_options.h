#pragma once

// The command line of sinkview-study, read in-process so that it can be
// tested without running the program.

#include <string>
#include <string_view>
#include <vector>

#include "base/expected.h"
#include "cli/setting_options.h"
#include "study/study.h"

namespace sinkview {

inline constexpr std::string_view kStudyProgram = "sinkview-study";
std::string StudyHelp();

enum class StudyAction { Run, Help, Version };

struct StudyCommand {
  StudyAction action = StudyAction::Run;
  StudyOptions options;
  std::vector<std::string> folders;
  std::string outputDir = ".";
  std::string reportFile, figureFile, blandAltmanFile; // empty when not asked for
  std::string modelFigureFile;                         // --model-figure; empty when not asked for
  std::string survivalFigureFile;                      // --survival-figure; empty when not asked for
  std::string workbookFile;                            // --workbook; empty when not asked for
  double figureWidthMm = 170; // --figure-width, of both figures: one column (85) or two (170)

  // What the protocol does not decide once the command line says it.
  std::string protocolFile;                  // --protocol; empty: the one folder's study.toml, if any
  bool pseudonymise = false;                 // --pseudonymise
  bool runModel = true;                      // --no-model: analysis.R is written, R not run
  bool thresholdGiven = false;               // --threshold
  std::string repeatReadings;                // --repeat-readings; empty: the protocol's
  std::vector<std::string> settingArguments; // the setting options as typed, applied over the protocol's
  std::vector<std::string> notes;            // what applying the protocol left out, for the user
};

// Reads the arguments after the program's name.
Expected<StudyCommand, Failure> ParseStudyArguments(const std::vector<std::string>& arguments);

} // namespace sinkview
