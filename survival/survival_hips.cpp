#include "survival/survival_hips.h"

#include <algorithm>
#include <cstdint>

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

void AppendHipRow(std::string& out, std::string_view file, std::string_view patient, std::string_view group,
                  const FollowUp& followUp) {
  AppendRow(out, {file, patient, group});
  out += ',' + std::to_string(followUp.days) + ',';
  AppendCsvNumber(out, followUp.days / kDaysPerYear);
  out += ',';
  AppendRow(out, {StatusWord(followUp.status), EndWord(followUp.end)});
  out += kCsvLineEnd;
}

void AppendLeftOutRow(std::string& out, std::string_view file, std::string_view reason) {
  AppendRow(out, {file, reason});
  out += kCsvLineEnd;
}

// The hip's follow-up by the study's rules, or why it does not enter.
std::variant<FollowUp, LeftOut> HipFollowUp(const StudyResult& result, const PatientSummary& hip) {
  if (hip.events.excluded) return LeftOut{"excluded by the patients file: " + hip.exclusion};
  return FollowUpOf({hip.events.surgery, hip.events.revision, hip.events.death, hip.events.withdrawn,
                     hip.lastRadiograph, hip.events.lastContact, result.protocol.cutoff});
}

// The hips by group in the study's order, then as the study found them.
std::vector<std::uint32_t> ByGroup(const StudyResult& result) {
  std::vector<std::uint32_t> groupOf, order;
  groupOf.reserve(result.patients.size());
  for (const PatientSummary& hip : result.patients)
    groupOf.push_back(static_cast<std::uint32_t>(
        std::find(result.groups.begin(), result.groups.end(), hip.group) - result.groups.begin()));
  order.resize(result.patients.size());
  for (std::uint32_t i = 0; i < order.size(); ++i) order[i] = i;
  std::stable_sort(order.begin(), order.end(),
                   [&](std::uint32_t a, std::uint32_t b) { return groupOf[a] < groupOf[b]; });
  return order;
}

// Calls take(hip, followUp) for each hip that enters, in ByGroup's order.
template <typename Take> void ForEachEntering(const StudyResult& result, const Take& take) {
  for (std::uint32_t i : ByGroup(result)) {
    const PatientSummary& hip = result.patients[i];
    if (auto followUp = HipFollowUp(result, hip); const FollowUp* in = std::get_if<FollowUp>(&followUp))
      take(hip, *in);
  }
}

} // namespace

SurvivalHips SurvivalHipsOf(const StudyResult& result) {
  SurvivalHips survival;
  ForEachEntering(result, [&](const PatientSummary& hip, const FollowUp& followUp) {
    survival.hips.push_back({hip.file, hip.patient, hip.group, followUp});
  });
  return survival;
}

std::string SurvivalHipsCsv(const SurvivalHips& survival) {
  std::string out = CsvHeader(kSurvivalHipsCsv);
  for (const SurvivalHip& hip : survival.hips)
    AppendHipRow(out, hip.file, hip.patient, hip.group, hip.followUp);
  return out;
}

void SurvivalHipsRows(const StudyResult& result, const PieceSink& sink) {
  std::string out = CsvHeader(kSurvivalHipsCsv);
  ForEachEntering(result, [&](const PatientSummary& hip, const FollowUp& followUp) {
    HandOnPiece(out, sink, false);
    AppendHipRow(out, hip.file, hip.patient, hip.group, followUp);
  });
  HandOnPiece(out, sink, true);
}

void SurvivalRejectedRows(const StudyResult& result, const PieceSink& sink) {
  std::string out = CsvHeader(kSurvivalRejectedCsv);
  for (const PatientSummary& hip : result.patients) {
    HandOnPiece(out, sink, false);
    if (auto followUp = HipFollowUp(result, hip); const LeftOut* left = std::get_if<LeftOut>(&followUp))
      AppendLeftOutRow(out, hip.file, left->reason);
  }
  HandOnPiece(out, sink, true);
}

} // namespace sinkview
