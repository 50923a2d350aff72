#pragma once

// The survival estimates made by R: survival.R run by Rscript on
// survival_hips.csv, in the study's output folder or in a private scratch
// folder before the study's files are written, and what it wrote read back.

#include <atomic>
#include <string>
#include <vector>

#include "rrunner/model_step.h"
#include "survival/survival_hips.h"

namespace sinkview {

// survival.csv, survival_tests.csv and survival_steps.csv byte for byte as
// R wrote them, R's notes of what it left out, each in one line, and
// survival_software.csv.
struct SurvivalEstimates {
  std::string survivalCsv, testsCsv, stepsCsv;
  std::vector<std::string> notes;
  std::string softwareCsv;
};

// Runs survival.R in `folder`, where it lies beside survival_hips.csv;
// R's files of an earlier run are discarded first.
Expected<SurvivalEstimates, ModelNotFitted> RunSurvival(const std::string& folder,
                                                        const ModelRunOptions& options = {});

// Writes survival_hips.csv and survival.R with the protocol's times in a
// scratch folder and runs it there. `cancel`, when set, stops R.
Expected<SurvivalEstimates, ModelNotFitted> EstimateSurvivalInScratch(const SurvivalHips& hips,
                                                                      const std::vector<double>& years,
                                                                      const std::atomic<bool>* cancel,
                                                                      ModelRunOptions options = {});

} // namespace sinkview
