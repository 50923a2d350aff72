#include "report/report_inputs.h"
#include "report/report_pages.h"
#include "report/report_prose.h"
#include "writeup/results_text.h"

namespace sinkview {

// The results in sentences, as results.md has them, each number as the tables show it.
void DrawResultsInBrief(ReportPages& pages, const ReportInputs& in) {
  pages.Text("Results in brief", 14, true);
  DrawProse(pages, ResultsMarkdown({in.result, in.model, in.notFitted, in.survival, in.provenance}));
}

} // namespace sinkview
