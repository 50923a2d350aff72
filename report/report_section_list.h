// The report's sections in the order they are drawn, one line each: the
// contents' name, whether it starts a page, and the function that draws it
// (void F(ReportPages&, const ReportInputs&), in a file of its own here).
// A section that draws nothing is not listed in the contents. Included
// with SINKVIEW_REPORT_SECTION defined, once to declare and once to draw.
SINKVIEW_REPORT_SECTION("Study and cohort figure", true, DrawFrontPage)
SINKVIEW_REPORT_SECTION("Baseline characteristics", true, DrawBaselineSection)
SINKVIEW_REPORT_SECTION("Main result", true, DrawMainResultPage)
SINKVIEW_REPORT_SECTION("Statistical methods", true, DrawStatisticalMethods)
SINKVIEW_REPORT_SECTION("Results in brief", true, DrawResultsInBrief)
SINKVIEW_REPORT_SECTION("Revision survival", true, DrawSurvivalSection)
SINKVIEW_REPORT_SECTION("Protocol", true, DrawProtocolTable)
SINKVIEW_REPORT_SECTION("Timing of the radiographs", false, DrawTimingTable)
SINKVIEW_REPORT_SECTION("Bands", false, DrawBandsTable)
SINKVIEW_REPORT_SECTION("Participant flow", true, DrawFlowDiagram)
SINKVIEW_REPORT_SECTION("Cohort statistics and patients' summaries", true, DrawStudyTables)
SINKVIEW_REPORT_SECTION("Precision of the measurements", true, DrawPrecisionPage)
SINKVIEW_REPORT_SECTION("Patients", true, DrawPatientPages)
SINKVIEW_REPORT_SECTION("Reporting facts", true, DrawReportingFacts)
