#include "survival/survival_hips.h"

#include <algorithm>

#include "study/csv_text.h"
#include "study/study_csv.h"

namespace sinkview {

namespace {

void AppendRow(std::string& out, std::initializer_list<std::string_view> texts) {
  bool first = true;
  for (std::string_view text : texts) {
    if (!first) out += ',';
    first = false;
    AppendCsvField(out, text);
  }
}

std::size_t GroupIndex(const StudyResult& result, const std::string& group) {
  return static_cast<std::size_t>(std::find(result.groups.begin(), result.groups.end(), group) -
                                  result.groups.begin());
}

} // namespace

SurvivalHips SurvivalHipsOf(const StudyResult& result) {
  SurvivalHips survival;
  for (const PatientSummary& hip : result.patients) {
    if (hip.events.excluded) {
      survival.leftOut.push_back({hip.file, "excluded by the patients file: " + hip.exclusion});
      continue;
    }
    FollowUpDates dates{hip.events.surgery,    hip.events.revision, hip.events.death,
                        hip.events.withdrawn,  std::nullopt,        hip.events.lastContact,
                        result.protocol.cutoff};
    if (!hip.course.dates.empty()) dates.lastRadiograph = hip.course.dates.back();
    const auto followUp = FollowUpOf(dates);
    if (const LeftOut* out = std::get_if<LeftOut>(&followUp)) {
      survival.leftOut.push_back({hip.file, out->reason});
      continue;
    }
    survival.hips.push_back({hip.file, hip.patient, hip.group, std::get<FollowUp>(followUp)});
  }
  std::stable_sort(survival.hips.begin(), survival.hips.end(),
                   [&](const SurvivalHip& a, const SurvivalHip& b) {
                     return GroupIndex(result, a.group) < GroupIndex(result, b.group);
                   });
  return survival;
}

std::string SurvivalHipsCsv(const SurvivalHips& survival) {
  std::string out = CsvHeader(kSurvivalHipsCsv);
  for (const SurvivalHip& hip : survival.hips) {
    AppendRow(out, {hip.file, hip.patient, hip.group});
    out += ',' + std::to_string(hip.followUp.days) + ',';
    AppendCsvNumber(out, hip.followUp.days / kDaysPerYear);
    out += ',';
    AppendRow(out, {StatusWord(hip.followUp.status), EndWord(hip.followUp.end)});
    out += kCsvLineEnd;
  }
  return out;
}

std::string SurvivalRejectedCsv(const SurvivalHips& survival) {
  std::string out = CsvHeader(kSurvivalRejectedCsv);
  for (const RejectedFile& hip : survival.leftOut) {
    AppendRow(out, {hip.file, hip.reason});
    out += kCsvLineEnd;
  }
  return out;
}

} // namespace sinkview
