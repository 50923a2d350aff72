#pragma once

// Every file of a study, assembled in one FileSet for the command line and
// the study window alike: the CSV files, the protocol used, analysis.R and
// the model's files in the output folder, the figures, the report and the
// workbook wherever they are asked for.

#include <atomic>
#include <string>
#include <vector>

#include "base/file_set.h"
#include "cli/distinct_outputs.h"
#include "protocol/calendar_date.h"
#include "report/study_graphics.h"
#include "rrunner/scratch_model.h"
#include "study/study.h"
#include "survival/survival_step.h"
#include "workbook/workbook.h"

namespace sinkview {

struct StudyOutputsRequest {
  std::string outputDir;
  // Each empty when not asked for; their folders opened with
  // OpenOutputFolders when the run starts.
  OutputFile figureFile, modelFigureFile, survivalFigureFile, reportFile, workbookFile, blandAltmanFile;
  double figureWidthMm = kTwoColumnsMm;
  std::string protocolFile;                    // the study's protocol; empty: none, and no protocol-used.toml
  const FittedModel* model = nullptr;          // nullptr: no fit, and an earlier run's model files go
  std::string modelNotFitted;                  // without a fit, why, for the report; empty: none asked for
  const SurvivalEstimates* survival = nullptr; // nullptr: none made, and an earlier run's go
  std::string program;                         // name and version, for the workbook
  CalendarDate runDate;
  const std::atomic<bool>* stop = nullptr; // set: nothing more is drawn
};

// The names of every file a study may write into its output folder: at the
// commit, those a run did not write are removed.
std::vector<std::string> StudyFolderNames();

// Every file the request writes, named by the option that asks for it, for
// refusing one file given as two outputs.
std::vector<NamedOutput> StudyOutputPaths(const StudyOutputsRequest& request);

// Opens the folder of every file the request writes outside the output
// folder, once, so that they go where they were asked for when the run
// began; else a message naming the first that cannot be.
[[nodiscard]] Expected<void, Failure> OpenOutputFolders(StudyOutputsRequest& request);

// Adds the outputs of `request` (all but long.csv, which is the caller's)
// to `set`, each whole in its temporary file; the files of the output
// folder go into `folder`, and those of an earlier run that this one does
// not write are removed with the commit. Gives, each in a line naming its
// file, what the workbook had to cut to fit its cells or left out and a
// model figure not drawn for want of a model; else why the set cannot be
// made.
[[nodiscard]] Expected<std::vector<std::string>, Failure>
AddStudyOutputs(FileSet& set, const StudyOutputsRequest& request, const StudyResult& result,
                const StudyOptions& options, const OutputFolder& folder);

// The workbook of the files in `set` at `path`, as AddStudyOutputs makes it.
[[nodiscard]] Expected<PendingWorkbook, Failure>
StudyWorkbookOfSet(const FileSet& set, const OutputFile& target, const StudyOptions& options,
                   const std::string& program, CalendarDate runDate);

} // namespace sinkview
