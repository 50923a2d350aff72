#include "study/search_problems.h"

#include "base/reader_text.h"

namespace sinkview {

void RejectSearchProblems(const std::vector<SearchProblem>& problems, bool pseudonymise,
                          std::vector<RejectedFile>& rejected) {
  for (const SearchProblem& problem : problems) {
    const std::string message =
        pseudonymise ? Renamed(problem.message, problem.path, "a path of the study") : problem.message;
    rejected.push_back({"", PlainUtf8(message)});
  }
}

} // namespace sinkview
