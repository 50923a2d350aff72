#pragma once

// The words and numbers of study.toml, shared by its reader and its writer
// so that what is written reads back the same.

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "model/settings.h"
#include "protocol/protocol.h"

namespace sinkview {

template <typename T> using WordList = std::vector<std::pair<std::string_view, T>>;

// The words of the command line's setting options.
inline const WordList<Reference> kReferenceWords = {{"head", Reference::HeadCenter},
                                                    {"shoulder", Reference::StemShoulder}};
inline const WordList<Trochanter> kTrochanterWords = {{"major", Trochanter::Major},
                                                      {"minor", Trochanter::Minor}};
inline const WordList<ValueAtVisit> kValueAtVisitWords = {{"nearest", ValueAtVisit::Nearest},
                                                          {"interpolate", ValueAtVisit::Interpolate}};
inline const WordList<ModelStructure> kModelStructureWords = {
    {"unstructured", ModelStructure::Unstructured}, {"random_intercept", ModelStructure::RandomIntercept}};
inline const WordList<PrimaryAnalysis> kPrimaryAnalysisWords = {{"model", PrimaryAnalysis::Model},
                                                                {"welch", PrimaryAnalysis::Welch}};

template <typename T> std::string_view WordOf(const WordList<T>& words, T value) {
  for (const auto& [word, meaning] : words)
    if (meaning == value) return word;
  return {};
}

// "'head' or 'shoulder'".
template <typename T> std::string WordChoices(const WordList<T>& words) {
  std::string choices;
  for (std::size_t w = 0; w < words.size(); ++w)
    choices += (w == 0 ? "'" : w + 1 == words.size() ? " or '" : ", '") + std::string(words[w].first) + "'";
  return choices;
}

// The shortest text that reads back as `value`, with "." ("3", "4.5").
std::string ShortNumber(double value);

// The time limit in months whose days are `days`: the shortest number that
// TimeLimitDaysForMonths turns back into the same days.
double TimeLimitMonths(float days);

} // namespace sinkview
