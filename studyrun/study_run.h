#pragma once

// The one path of a study from its folders and protocol to its committed
// file set: the files read with long.csv written as they come, R's model
// fitted in its scratch folder, every other output assembled in the set
// and the set put in place. sinkview-study runs it whole; the study window
// runs its steps apart, reading first and saving when the user says where.

#include <atomic>
#include <functional>
#include <optional>
#include <string>

#include "base/atomic_file.h"
#include "base/expected.h"
#include "base/failure.h"
#include "rrunner/scratch_model.h"
#include "study/study.h"
#include "studyrun/study_options.h"
#include "studyrun/study_outputs.h"
#include "survival/survival_step.h"

namespace sinkview {

// Takes one line for the user: a rejected file, a fit that failed or left
// a part out, what the workbook cut; in the order they happen.
using StudyNote = std::function<void(const std::string& line)>;

// R's mixed model of the study, or none when not asked for or when R
// cannot fit it: why is told, and kept in `notFitted` for the report.
std::optional<FittedModel> FitStudyModel(bool runModel, const StudyResult& result, std::string& notFitted,
                                         const std::atomic<bool>* stop, const StudyNote& note);

// R's estimates of revision survival, or none when not asked for or when R
// cannot make them: why is told, unless R is missing, which the model tells.
std::optional<SurvivalEstimates> EstimateStudySurvival(bool runModel, const StudyResult& result,
                                                       const std::atomic<bool>* stop, const StudyNote& note);

// long.csv, whole in its temporary, and every other output `request`
// asks for put in place as one set, each note of what was cut told first.
// Nothing is replaced when a file cannot be made or `request.stop` is set.
[[nodiscard]] Expected<void, Failure> CommitStudySet(Expected<AtomicFile, Failure> longCsv,
                                                     const StudyOutputsRequest& request,
                                                     const StudyResult& result, const StudyOptions& options,
                                                     const OutputFolder& folder, const StudyNote& note);

// The workbook alone at `target`, made as the set's is from the set's
// files in their temporaries in `folder`, which go again: only the
// workbook is put in place. Gives its notes.
[[nodiscard]] Expected<std::vector<std::string>, Failure>
CommitWorkbookAlone(Expected<AtomicFile, Failure> longCsv, const StudyOutputsRequest& request,
                    const StudyResult& result, const StudyOptions& options, const OutputFolder& folder,
                    const OutputFile& target);

struct StudyRun {
  StudyResult result;
  bool stopped = false;            // `stop` was set: nothing was replaced
  Expected<void, Failure> written; // the set put in place, or why not (nothing then replaced)
};

// Runs `command`'s study into `folder` and the places `request` names
// (their folders opened): every file committed as one set or none.
StudyRun RunStudyToFileSet(const StudyCommand& command, StudyOutputsRequest& request,
                           const OutputFolder& folder, const StudyProgress& progress,
                           const std::atomic<bool>* stop, const StudyNote& note);

} // namespace sinkview
