#include "report/report_inputs.h"
#include "report/report_pages.h"
#include "report/report_prose.h"
#include "writeup/methods_text.h"

namespace sinkview {

// The methods as the run applied them, as methods.md has them.
void DrawStatisticalMethods(ReportPages& pages, const ReportInputs& in) {
  pages.Text("Statistical methods", 14, true);
  DrawProse(pages, MethodsMarkdown({in.result, in.model, in.notFitted, in.survival, in.provenance}));
}

} // namespace sinkview
