#include "table/table_text.h"

#include <algorithm>
#include <array>

#include "base/numtext.h"
#include "model/segments.h"

namespace sinkview {

namespace {

bool HasStemCement(const MeasurementModel& m) { return m.HasStemCementData; }

// A number printed onto the surface gets its sign blank and trailing blank.
void PrintNumber(Surface& out, double value) { out.PrintText(PrintText(value)); }

void PrintHeader(const PreparedSeries& p, Surface& out) {
  const MeasurementModel& m = p.model;
  const Settings& s = p.settings;
  out.PrintText(" PATIENT: ");
  out.PrintText(m.PatientCode);
  out.PrintText(" / SIDE OF REPLACEMENT: ");
  out.PrintText(m.ProsthesisSide);
  out.EndLine();

  out.PrintText(" TOTAL NUMBER OF X-RAYS:");
  PrintNumber(out, m.RadiographCount);
  out.Tab(35);
  out.PrintText("PERIOD OF OBSERVATION:");
  PrintNumber(out, m.ObservationMonths);
  out.PrintText("months");
  out.EndLine();

  out.PrintText(" TIME LIMIT:");
  PrintNumber(out, RoundHalfEven(MonthsForDays(s.TimeLimitDays)));
  out.PrintText("months");
  out.Tab(35);
  out.PrintText("Subsidence related to ");
  out.PrintText(s.TrochanterChoice == Trochanter::Minor ? "Minor" : "Major");
  out.PrintText("Troch. / ");
  out.PrintText(s.ReferencePoint == Reference::StemShoulder ? "Shoulder" : "Head Center");
  out.EndLine();

  out.Tab(35);
  out.PrintText("Magnification computed by ");
  out.PrintText(s.MagnificationSource == MagnificationBasis::StemLength ? "stem length" : "head radius");
  out.PrintText(s.UseMeanMagnification != FactorChoice::EachRadiograph ? "  (mean)" : "  (individ.)");
  out.EndLine();

  out.EndLine();

  out.PrintText(" VOK - PARAMETERS WITH DIAGRAM-DISCONNECTION-FLAG (0/1)");
  out.EndLine();

  out.PrintText(" (dots instead of values mark incomparable radiographs)");
  if (HasStemCement(m)) {
    out.Tab(70);
    out.PrintText("Subsidence");
  }
  out.EndLine();

  if (HasStemCement(m)) {
    out.Tab(70);
    out.PrintText("stem/");
    out.Tab(77);
    out.PrintText("cem./");
    out.Tab(84);
    out.PrintText("cem./");
  } else {
    out.Tab(70);
    out.PrintText("Subsidence");
  }
  out.EndLine();

  out.PrintText(" months");
  out.Tab(9);
  out.PrintText("flag");
  out.Tab(14);
  out.PrintText("medial distances 1-4");
  out.Tab(38);
  out.PrintText("lateral distances 5-8");
  out.Tab(62);
  out.PrintText("angle");
  if (HasStemCement(m)) {
    out.Tab(70);
    out.PrintText("bone");
    out.Tab(77);
    out.PrintText("stem");
    out.Tab(84);
    out.PrintText("bone");
  } else {
    out.Tab(70);
    out.PrintText("stem/bone");
  }
  out.EndLine();
}

constexpr int kHeaderLines = 9;

// Value columns of the nine parameters; each dot of an incomparable row
// stands two columns further right, where a value's decimal separator falls.
constexpr std::array<int, 9> kParameterColumns = {14, 20, 26, 32, 38, 44, 50, 56, 62};
constexpr int kFlagColumn = 9;
constexpr int kSubsidenceColumn = 70, kStemCementColumn = 77, kCementBoneColumn = 84;
constexpr int kDotOffset = 2;

void PrintValue(Surface& out, int column, float change) {
  out.Tab(column);
  out.PrintText(TablePattern(change));
}

void PrintDot(Surface& out, int column) {
  out.Tab(column);
  out.PrintText(".");
}

void PrintRow(const PreparedSeries& p, int i, Surface& out) {
  const MeasurementModel& m = p.model;
  out.Tab(2);
  PrintNumber(out, MonthsSinceFirst(m, i));
  if (m.IsolatedFlag[i] == 1) {
    PrintDot(out, kFlagColumn + 1); // where the flag's digit would stand
    for (int column : kParameterColumns) PrintDot(out, column + kDotOffset);
    PrintDot(out, kSubsidenceColumn + kDotOffset);
    if (HasStemCement(m)) {
      PrintDot(out, kStemCementColumn + kDotOffset);
      PrintDot(out, kCementBoneColumn + kDotOffset);
    }
    out.EndLine();
    return;
  }
  out.Tab(kFlagColumn);
  PrintNumber(out, m.DisconnectionFlag[i]);
  const ChangesSinceStart c = Changes(p, i, p.segmentStarts[i]);
  for (std::size_t p = 0; p < kParameterColumns.size(); ++p) {
    PrintValue(out, kParameterColumns[p], c.parameters[p]);
  }
  PrintValue(out, kSubsidenceColumn, c.subsidence);
  if (HasStemCement(m)) {
    PrintValue(out, kStemCementColumn, c.stemCement);
    PrintValue(out, kCementBoneColumn, c.cementBone);
  }
  out.EndLine();
}

} // namespace

int TableLineCount(const MeasurementModel& m) { return kHeaderLines + std::max(0, int{m.RadiographCount}); }

double FittingTableFontSize(double widthRule, int lines, double height,
                            const std::function<double(double points)>& lineHeight) {
  const auto fits = [&](double points) { return lines * lineHeight(points) <= height; };
  if (lines <= 0 || fits(widthRule)) return widthRule;
  // Line heights grow with the size but in steps of whole pixels, so the
  // largest size that fits is searched for rather than computed.
  constexpr double kSmallest = 1.0;
  double fitting = std::min(kSmallest, widthRule), tooLarge = widthRule;
  if (!fits(fitting)) return fitting;
  for (int step = 0; step < 24; ++step) {
    const double middle = (fitting + tooLarge) / 2;
    (fits(middle) ? fitting : tooLarge) = middle;
  }
  return fitting;
}

void RenderTable(const PreparedSeries& p, Surface& surface) {
  surface.Cls();
  PrintHeader(p, surface);
  for (int i = 1; i <= p.model.RadiographCount; ++i) PrintRow(p, i, surface);
}

} // namespace sinkview
