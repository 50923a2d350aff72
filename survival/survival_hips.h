#pragma once

// survival_hips.csv: one row per hip that enters the survival estimates,
// with its follow-up by the rules of survival/follow_up.h, written by the
// study itself; and survival_rejected.csv, the hips that do not enter and
// why. survival.R reads the first.

#include <string>
#include <string_view>
#include <vector>

#include "study/csv_pieces.h"
#include "study/study.h"
#include "study/survival_columns.h"
#include "survival/follow_up.h"

namespace sinkview {

struct SurvivalHip {
  std::string file, patient, group;
  FollowUp followUp;
};

struct SurvivalHips {
  std::vector<SurvivalHip> hips; // by group in the study's order, then as the study found them
};

SurvivalHips SurvivalHipsOf(const StudyResult& result);

// survival_hips.csv of the hips gathered above, as R's scratch folder has it.
std::string SurvivalHipsCsv(const SurvivalHips& survival);

// The study's survival_hips.csv and survival_rejected.csv, straight from its
// hips a piece at a time, with no list of them made first.
void SurvivalHipsRows(const StudyResult& result, const PieceSink& sink);
void SurvivalRejectedRows(const StudyResult& result, const PieceSink& sink);

} // namespace sinkview
