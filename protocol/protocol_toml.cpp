#include "protocol/protocol_toml.h"

#include <algorithm>
#include <sstream>
#include <toml++/toml.h>

#include "protocol/calendar_date.h"
#include "protocol/protocol_words.h"

namespace sinkview {

namespace {

toml::date TomlDate(CalendarDate date) {
  return toml::date{static_cast<int>(date.year()), static_cast<unsigned>(date.month()),
                    static_cast<unsigned>(date.day())};
}

// The shortest text that reads back as the value, as a TOML float: toml++
// writes 17 digits, and --threshold 0.8 would be 0.80000000000000004.
std::string TomlNumber(double value) {
  std::string text = ShortNumber(value);
  if (text.find_first_of(".e") == std::string::npos) text += ".0";
  return text;
}

// toml++ writes a text as a literal ('...') where no quote is in it, even
// where a control character is, which no literal may hold, and one with a
// line break as a multi-line literal, which cannot hold three quotes either:
// neither would read back. Such texts go as escaped basic strings ("...").
toml::format_flags FlagsFor(const std::vector<std::string_view>& texts) {
  const bool control = std::any_of(texts.begin(), texts.end(), [](std::string_view text) {
    return std::any_of(text.begin(), text.end(), [](char c) { return (c >= 0 && c < 0x20) || c == 0x7F; });
  });
  constexpr auto kLiterals =
      toml::format_flags::allow_literal_strings | toml::format_flags::allow_multi_line_strings;
  return control ? toml::toml_formatter::default_flags & ~kLiterals : toml::toml_formatter::default_flags;
}

// Numbers are written by TomlNumber.
class TomlLines {
public:
  template <typename T> void Key(std::string_view key, const T& value) {
    toml::format_flags flags = toml::toml_formatter::default_flags;
    if constexpr (std::is_convertible_v<T, std::string_view>) flags = FlagsFor({value});
    out_ << key << " = " << toml::toml_formatter(toml::value<T>(value), flags) << '\n';
  }
  void Key(std::string_view key, double value) { out_ << key << " = " << TomlNumber(value) << '\n'; }
  template <typename T> void Key(std::string_view key, const std::array<T, 2>& pair) {
    toml::format_flags flags = toml::toml_formatter::default_flags;
    if constexpr (std::is_convertible_v<T, std::string_view>) flags = FlagsFor({pair[0], pair[1]});
    out_ << key << " = " << toml::toml_formatter(toml::array{pair[0], pair[1]}, flags) << '\n';
  }
  void Key(std::string_view key, const std::vector<std::string>& texts) {
    toml::array list;
    for (const std::string& text : texts) list.push_back(text);
    out_ << key << " = " << toml::toml_formatter(list, FlagsFor({texts.begin(), texts.end()})) << '\n';
  }
  void Key(std::string_view key, const std::array<double, 2>& pair) {
    out_ << key << " = [ " << TomlNumber(pair[0]) << ", " << TomlNumber(pair[1]) << " ]\n";
  }
  void Key(std::string_view key, const std::vector<double>& numbers) {
    out_ << key << " = [";
    for (std::size_t i = 0; i < numbers.size(); ++i) out_ << (i ? ", " : " ") << TomlNumber(numbers[i]);
    out_ << " ]\n";
  }
  void Line(std::string_view text) { out_ << text << '\n'; }
  std::string Text() const { return out_.str(); }

private:
  std::ostringstream out_;
};

} // namespace

std::string ProtocolToml(const Protocol& p, std::string_view programVersion, CalendarDate runDate) {
  TomlLines toml;
  toml.Line("# The protocol as sinkview-study " + std::string(programVersion) + " applied it on " +
            IsoDate(runDate) + ",");
  toml.Line("# every default and command-line setting filled in.");
  toml.Key("title", p.title);
  toml.Key("cutoff", TomlDate(p.cutoff));
  if (!p.patientsFile.empty()) toml.Key("patients", p.patientsFile);
  if (p.covariates) toml.Key("covariates", *p.covariates);
  toml.Key("primary_visit", p.primaryVisit);
  toml.Key("threshold_mm", p.thresholdMm);
  toml.Key("bands_mm", p.bandsMm);
  toml.Key("value_at_visit", std::string(WordOf(kValueAtVisitWords, p.valueAtVisit)));
  toml.Key("baseline_days", std::array<std::int64_t, 2>{p.baselineDays[0], p.baselineDays[1]});
  toml.Key("model", std::string(WordOf(kModelStructureWords, p.model)));
  toml.Key("primary_analysis", std::string(WordOf(kPrimaryAnalysisWords, p.primaryAnalysis)));
  toml.Key("reference_point", std::string(WordOf(kReferenceWords, p.settings.ReferencePoint)));
  toml.Key("trochanter", std::string(WordOf(kTrochanterWords, p.settings.TrochanterChoice)));
  toml.Key("time_limit_months", TimeLimitMonths(p.settings.TimeLimitDays));
  toml.Key("pseudonymise", p.pseudonymise);
  if (!p.repeatReadings.empty()) toml.Key("repeat_readings", p.repeatReadings);
  if (p.patternVisits) toml.Key("pattern_visits", *p.patternVisits);
  if (p.detectionLimitMm) toml.Key("detection_limit_mm", *p.detectionLimitMm);
  if (p.survivalYears != DefaultSurvivalYears()) toml.Key("survival_years", p.survivalYears);
  for (const Visit& visit : p.visits) {
    toml.Line("");
    toml.Line("[[visit]]");
    toml.Key("name", visit.name);
    toml.Key("months", visit.months);
    toml.Key("window_months", visit.windowMonths);
  }
  return toml.Text();
}

} // namespace sinkview
