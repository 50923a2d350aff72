#include "study/repeat_readings.h"

#include <filesystem>
#include <set>

#include "base/reader_text.h"
#include "model/data_files.h"
#include "model/prepared_series.h"
#include "protocol/calendar_date.h"
#include "study/hip_course.h"
#include "study/search_problems.h"

namespace fs = std::filesystem;

namespace sinkview {

namespace {

fs::path Normal(const std::string& path) {
  std::error_code error;
  const fs::path canonical = fs::weakly_canonical(path, error);
  return error ? fs::absolute(path, error).lexically_normal() : canonical;
}

// A second reading as the study sees it: its course and whose hip it is.
// Its bytes, as read, go to `digest` even where it is refused.
Expected<PatientSummary, Failure> Read(const std::string& path, const Settings& settings,
                                       const Cutoff& cutoff, std::optional<ContentDigest>& digest) {
  auto loaded =
      LoadPreparedFile(path, settings, cutoff, [&](std::string_view bytes) { digest = DigestOf(bytes); });
  if (!loaded) return Unexpected(loaded.error());
  return SummarisePatient(*loaded, path, path);
}

std::string Unpaired(const std::string& file, const CalendarDate& date, std::string_view other) {
  return file + ": the radiograph of " + IsoDate(date) + " has no partner in the " + std::string(other) +
         " reading";
}

} // namespace

bool LiesIn(const std::string& file, const std::string& folder) {
  const fs::path relative = Normal(file).lexically_relative(Normal(folder));
  return !relative.empty() && *relative.begin() != "..";
}

std::optional<std::string> SecondReadingPath(const std::string& hipPath, const std::string& studyFolder,
                                             const std::string& repeatFolder) {
  const fs::path relative = Normal(hipPath).lexically_relative(Normal(studyFolder));
  const fs::path second = Normal(repeatFolder) / relative;
  std::error_code error;
  if (relative.empty() || !fs::is_regular_file(second, error)) return std::nullopt;
  return second.native();
}

RepeatReadings ReadRepeatReadings(const std::vector<PatientSummary>& hips, const std::string& studyFolder,
                                  const std::string& repeatFolder, const Settings& settings,
                                  const Cutoff& cutoff, bool pseudonymise,
                                  std::vector<RejectedFile>& rejected) {
  RepeatReadings result;
  std::set<fs::path> matched;
  std::vector<double> differences[2];
  std::set<std::string> hipsOf[2];
  for (const PatientSummary& hip : hips) {
    const std::optional<std::string> secondPath = SecondReadingPath(hip.path, studyFolder, repeatFolder);
    if (!secondPath) continue;
    const fs::path second = *secondPath;
    matched.insert(second);
    // Pseudonymised, the second reading is named by its hip alone.
    const std::string firstName = pseudonymise ? hip.file : PlainUtf8(hip.path);
    const std::string secondName = pseudonymise ? hip.file + " (second reading)" : PlainUtf8(second.native());
    const auto refuse = [&](const std::string& why) {
      rejected.push_back({hip.file, secondName + ": " + why});
    };
    std::optional<ContentDigest> digest;
    const auto repeat = Read(second.native(), settings, cutoff, digest);
    if (digest) result.files.push_back({second.native(), hip.file, *digest});
    if (!repeat) {
      const std::string& why = repeat.error().message;
      refuse(pseudonymise ? WithoutQuotedFields(Renamed(why, second.native(), secondName)) : why);
      continue;
    }
    if (repeat->identity != hip.identity) {
      refuse("a second reading of another patient than " + firstName);
      continue;
    }
    if (repeat->side != hip.side) {
      refuse("a second reading of the other side than " + firstName);
      continue;
    }
    const HipCourse& first = hip.course;
    const DatePairing pairing = PairByDate(first.dates, repeat->course.dates);
    for (std::size_t i : pairing.unpaired[0])
      rejected.push_back({hip.file, Unpaired(firstName, first.dates[i], "second")});
    for (std::size_t j : pairing.unpaired[1])
      rejected.push_back({hip.file, Unpaired(secondName, repeat->course.dates[j], "first")});
    for (ReadingPair& pair : ReadingPairs(hip.file, first, repeat->course, pairing)) {
      const auto s = static_cast<std::size_t>(pair.series);
      differences[s].push_back(pair.first - pair.second);
      hipsOf[s].insert(hip.file);
      result.pairs.push_back(std::move(pair));
    }
  }
  // A folder that cannot be read would leave its second readings out
  // unsaid; one without any is a study without repeat readings yet.
  DataFileSearch search = FindDataFiles({repeatFolder}, true);
  std::erase_if(search.problems, [](const SearchProblem& problem) { return problem.empty; });
  RejectSearchProblems(search.problems, pseudonymise, rejected);
  for (const std::string& found : search.files) {
    if (matched.count(Normal(found))) continue;
    const std::string shown = pseudonymise ? "a second reading" : PlainUtf8(found);
    rejected.push_back({pseudonymise ? "" : shown, shown + ": a second reading without a first one"});
  }
  for (CohortSeries series : {CohortSeries::Subsidence, CohortSeries::StemCement}) {
    const auto s = static_cast<std::size_t>(series);
    result.rows.push_back(Agreement(series, differences[s], static_cast<int>(hipsOf[s].size())));
  }
  return result;
}

} // namespace sinkview
