#include "survival/survival_script.h"

#include "protocol/protocol_words.h"

namespace sinkview {

namespace {

// The line of the kept script that holds the times.
constexpr std::string_view kTimesLine = "times <- c(1, 2, 5, 10)";

} // namespace

std::string SurvivalScriptText(const std::vector<double>& years) {
  std::string times = "times <- c(";
  for (std::size_t i = 0; i < years.size(); ++i) times += (i ? ", " : "") + ShortNumber(years[i]);
  times += ')';
  std::string script(KeptSurvivalScript());
  script.replace(script.find(kTimesLine), kTimesLine.size(), times);
  return script;
}

} // namespace sinkview
