#include "table/export_file.h"

#include "model/atomic_file.h"
#include "model/finite_values.h"
#include "model/numtext.h"
#include "model/reader_text.h"
#include "model/segments.h"

namespace sinkview {

namespace {

constexpr const char* kLineEnd = "\r\n";

void AppendNumber(std::string& out, double value) { AppendPrintText(out, value); }

void AppendDataLine(const MeasurementModel& m, int i, int s, std::string& out) {
  AppendNumber(out, MonthsSinceFirst(m, i));
  out += ';';
  if (m.IsolatedFlag[i] == 1) {
    // The places of the flag, the nine parameters and the total subsidence.
    for (int field = 0; field < 11; ++field) out += field == 0 ? " ." : "; .";
    out += kLineEnd;
    return;
  }
  AppendNumber(out, m.DisconnectionFlag[i]);
  out += ';';
  const ChangesSinceStart c = Changes(m, i, s);
  for (float change : c.parameters) {
    AppendNumber(out, change);
    out += ';';
  }
  AppendNumber(out, c.subsidence);
  if (m.HasStemCementData) {
    out += ';';
    AppendNumber(out, c.stemCement);
    out += ';';
    AppendNumber(out, c.cementBone);
  }
  out += kLineEnd;
}

// The name starts the first line, and a ";" in it starts another cell where
// a spreadsheet opens the file: none of them may run as a formula.
void AppendNameCells(std::string& out, std::string_view name) {
  for (std::size_t start = 0, end = 0; end != std::string_view::npos; start = end + 1) {
    end = name.find(';', start);
    const std::string_view cell = name.substr(start, end == std::string_view::npos ? end : end - start);
    if (StartsLikeAFormula(cell)) out += '\'';
    out += cell;
    if (end != std::string_view::npos) out += ';';
  }
}

} // namespace

std::string ExportText(const MeasurementModel& m) {
  std::string out;
  AppendNameCells(out, m.PatientCode);
  out += " / side of replacement: " + m.ProsthesisSide + kLineEnd;
  out += std::string("Subsidence related to Major Trochanter: ") +
         (m.TrochanterChoice == Trochanter::Minor ? "no" : "yes") + kLineEnd;
  out += std::string("Subsidence related to head center: ") +
         (m.ReferencePoint == Reference::StemShoulder ? "no" : "yes") + kLineEnd;
  out += "months;flag;medial1;medial2;medial3;medial4;lateral1;lateral2;lateral3;lateral4;angle;total subs.";
  if (m.HasStemCementData) out += ";subs.in CI;subs.of CI";
  out += kLineEnd;
  const Flags starts = SegmentStarts(m);
  for (int i = 1; i <= m.RadiographCount; ++i) AppendDataLine(m, i, starts[i], out);
  return out;
}

Expected<void, Failure> WriteExportFile(const MeasurementModel& m, const std::string& path,
                                        FlushToDisk flush) {
  // Never an export of "inf" or "nan".
  if (auto finite = CheckAllFinite(m, path); !finite) return finite;
  return WriteFileAtomically(path, ExportText(m), flush);
}

Expected<void, Failure> WriteExportFile(const MeasurementModel& m, const OutputFolder& folder,
                                        const std::string& name, FlushToDisk flush) {
  if (auto finite = CheckAllFinite(m, folder.PathOf(name)); !finite) return finite;
  return WriteFileAtomically(folder, name, ExportText(m), flush);
}

} // namespace sinkview
