#include "report/baseline_reading.h"
#include "report/report_inputs.h"
#include "report/report_pages.h"
#include "study/baseline_table.h"

namespace sinkview {

// Table 1: the groups' patients, hips and covariates, as baseline.csv has them.
void DrawBaselineSection(ReportPages& pages, const ReportInputs& inputs) {
  pages.Text("Baseline characteristics (Table 1)", 14, true);
  const BaselineReading reading = BaselineReadingOf(BaselineTable(inputs.result));
  DrawTable(pages, "Per group and in all; excluded hips only in their own row, a patient with two hips once",
            reading.headers, reading.rows);
}

} // namespace sinkview
