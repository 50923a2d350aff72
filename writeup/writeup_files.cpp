#include "writeup/writeup_files.h"

#include "study/csv_columns.h"
#include "study/study_csv.h"
#include "writeup/methods_text.h"
#include "writeup/reporting_facts.h"
#include "writeup/results_text.h"

namespace sinkview {

Expected<void, Failure> AddWriteupFiles(FileSet& set, const OutputFolder& folder,
                                        const WriteupInputs& inputs) {
  return AddTextFiles(set, folder,
                      {{kMethodsMd, MethodsMarkdown(inputs)},
                       {kResultsMd, ResultsMarkdown(inputs)},
                       {kReportingCsv, ReportingCsv(ReportingFacts(inputs))}});
}

} // namespace sinkview
