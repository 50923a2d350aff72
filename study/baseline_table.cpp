#include "study/baseline_table.h"

#include <algorithm>
#include <charconv>
#include <map>
#include <set>

#include "protocol/calendar_date.h"
#include "study/csv_columns.h"
#include "study/csv_text.h"
#include "study/visits.h"

namespace sinkview {

namespace {

std::optional<double> NumberOf(const std::string& text) {
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

// Surgery to the last radiograph, in months; none without both dates.
std::optional<double> FollowUpMonths(const PatientSummary& hip) {
  const auto surgery = ParseCalendarDate(hip.surgeryDate);
  const auto last = ParseCalendarDate(hip.lastDate);
  if (hip.surgeryDate.empty() || !surgery || !last) return std::nullopt;
  return DaysBetween(*surgery, *last) / kDaysPerMonth;
}

class TableBuilder {
public:
  explicit TableBuilder(const StudyResult& result) : result_(result) {
    groups_ = result.groups;
    groups_.emplace_back(kAllGroups);
  }

  std::vector<BaselineRow> Build() {
    Counts("patients", [](const std::vector<const PatientSummary*>& hips) { return PatientCount(hips, 1); });
    Counts("hips",
           [](const std::vector<const PatientSummary*>& hips) { return static_cast<int>(hips.size()); });
    Counts("bilateral_patients",
           [](const std::vector<const PatientSummary*>& hips) { return PatientCount(hips, 2); });
    for (const std::string& group : groups_) {
      const int excluded = static_cast<int>(
          std::count_if(result_.patients.begin(), result_.patients.end(), [&](const PatientSummary& hip) {
            return !hip.exclusion.empty() && (group == kAllGroups || hip.group == group);
          }));
      rows_.push_back({"excluded_hips", "", group, excluded, std::nullopt, std::nullopt});
    }
    for (const auto& [name, index] : Covariates()) Covariate(name, index);
    Numbers("days_to_first_radiograph", [](const PatientSummary& hip) -> std::optional<double> {
      if (!hip.daysToFirstRadiograph) return std::nullopt;
      return *hip.daysToFirstRadiograph;
    });
    Numbers("follow_up_months", FollowUpMonths);
    return std::move(rows_);
  }

private:
  using Hips = std::vector<const PatientSummary*>;

  // The hips that take part, of one group or of all.
  Hips HipsOf(const std::string& group) const {
    Hips hips;
    for (const PatientSummary& hip : result_.patients)
      if (hip.exclusion.empty() && (group == kAllGroups || hip.group == group)) hips.push_back(&hip);
    return hips;
  }

  // The patients with at least `least` of the hips.
  static int PatientCount(const Hips& hips, int least) {
    std::map<std::string, int> perPatient;
    for (const PatientSummary* hip : hips) ++perPatient[hip->patient];
    return static_cast<int>(std::count_if(perPatient.begin(), perPatient.end(),
                                          [&](const auto& patient) { return patient.second >= least; }));
  }

  template <typename Count> void Counts(std::string_view characteristic, Count count) {
    for (const std::string& group : groups_)
      rows_.push_back(
          {std::string(characteristic), "", group, count(HipsOf(group)), std::nullopt, std::nullopt});
  }

  template <typename Value> void Numbers(std::string_view characteristic, Value value) {
    for (const std::string& group : groups_) {
      std::vector<double> values;
      for (const PatientSummary* hip : HipsOf(group))
        if (const std::optional<double> v = value(*hip)) values.push_back(*v);
      Description description = Describe(std::move(values));
      rows_.push_back({std::string(characteristic), "", group, description.n, std::nullopt, description});
    }
  }

  // The protocol's covariates, else all of the patients file, with their
  // place among the hips' values.
  std::vector<std::pair<std::string, std::size_t>> Covariates() const {
    std::vector<std::pair<std::string, std::size_t>> covariates;
    const auto& listed = result_.protocol.covariates;
    for (std::size_t c = 0; c < result_.covariates.size(); ++c) {
      const std::string& name = result_.covariates[c];
      if (!listed || std::find(listed->begin(), listed->end(), name) != listed->end())
        covariates.emplace_back(name, c);
    }
    return covariates;
  }

  static const std::string& ValueOf(const PatientSummary& hip, std::size_t index) {
    static const std::string none;
    return index < hip.covariates.size() ? hip.covariates[index] : none;
  }

  // Numbers when every value the hips that take part have is one (as R
  // reads the column), else levels in the order of their text.
  void Covariate(const std::string& name, std::size_t index) {
    const Hips all = HipsOf(std::string(kAllGroups));
    const bool numeric = std::all_of(all.begin(), all.end(), [&](const PatientSummary* hip) {
      return ValueOf(*hip, index).empty() || NumberOf(ValueOf(*hip, index));
    });
    if (numeric) {
      Numbers(name, [&](const PatientSummary& hip) { return NumberOf(ValueOf(hip, index)); });
      return;
    }
    std::set<std::string> levels;
    for (const PatientSummary* hip : all)
      if (!ValueOf(*hip, index).empty()) levels.insert(ValueOf(*hip, index));
    for (const std::string& level : levels) {
      for (const std::string& group : groups_) {
        int n = 0, valued = 0;
        for (const PatientSummary* hip : HipsOf(group)) {
          const std::string& value = ValueOf(*hip, index);
          valued += !value.empty();
          n += value == level;
        }
        const std::optional<double> percent =
            valued > 0 ? std::optional<double>(100.0 * n / valued) : std::nullopt;
        rows_.push_back({name, level, group, n, percent, std::nullopt});
      }
    }
  }

  const StudyResult& result_;
  std::vector<std::string> groups_;
  std::vector<BaselineRow> rows_;
};

} // namespace

std::vector<BaselineRow> BaselineTable(const StudyResult& result) { return TableBuilder(result).Build(); }

std::string BaselineCsv(const std::vector<BaselineRow>& rows) {
  std::string out = CsvHeader(kBaselineCsv);
  for (const BaselineRow& row : rows) {
    for (std::string_view text :
         {std::string_view(row.characteristic), std::string_view(row.level), std::string_view(row.group)}) {
      AppendCsvField(out, text);
      out += ',';
    }
    AppendCsvNumber(out, row.n);
    const auto optional = [&](const std::optional<double>& value) {
      out += ',';
      if (value) AppendCsvNumber(out, *value);
    };
    optional(row.percent);
    const Description none;
    const Description& d = row.numbers ? *row.numbers : none;
    for (const auto& value : {d.mean, d.sd, d.median, d.q1, d.q3, d.min, d.max}) optional(value);
    out += kCsvLineEnd;
  }
  return out;
}

} // namespace sinkview
