#include "report/report_inputs.h"
#include "report/report_pages.h"
#include "report/survival_reading.h"

namespace sinkview {

// R's survival estimates, death competing, beside one minus Kaplan-Meier;
// nothing, so no section, where R made none.
void DrawSurvivalSection(ReportPages& pages, const ReportInputs& inputs) {
  if (!inputs.survival) return;
  pages.Text("Revision survival", 14, true);
  const auto reading = SurvivalReadingOf(*inputs.survival);
  if (!reading) {
    pages.Text(TableText("The survival estimates cannot be shown: " + reading.error().message), 8);
    return;
  }
  for (const std::string& note : reading->notes) pages.Text(TableText(note), 8);
  DrawTable(pages, "Cumulative incidence by group and time", reading->headers, reading->rows);
}

} // namespace sinkview
