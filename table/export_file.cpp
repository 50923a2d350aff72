#include "table/export_file.h"

#include "base/atomic_file.h"
#include "base/numtext.h"
#include "base/reader_text.h"
#include "model/finite_values.h"
#include "model/segments.h"

namespace sinkview {

namespace {

constexpr const char* kLineEnd = "\r\n";

void AppendNumber(std::string& out, double value) { AppendPrintText(out, value); }

void AppendDataLine(const PreparedSeries& p, int i, std::string& out) {
  const MeasurementModel& m = p.model;
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
  const ChangesSinceStart c = Changes(p, i, p.segmentStarts[i]);
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

std::string ExportText(const PreparedSeries& p) {
  const MeasurementModel& m = p.model;
  std::string out;
  AppendNameCells(out, m.PatientCode);
  out += " / side of replacement: " + m.ProsthesisSide + kLineEnd;
  out += std::string("Subsidence related to Major Trochanter: ") +
         (p.settings.TrochanterChoice == Trochanter::Minor ? "no" : "yes") + kLineEnd;
  out += std::string("Subsidence related to head center: ") +
         (p.settings.ReferencePoint == Reference::StemShoulder ? "no" : "yes") + kLineEnd;
  out += "months;flag;medial1;medial2;medial3;medial4;lateral1;lateral2;lateral3;lateral4;angle;total subs.";
  if (m.HasStemCementData) out += ";subs.in CI;subs.of CI";
  out += kLineEnd;
  for (int i = 1; i <= m.RadiographCount; ++i) AppendDataLine(p, i, out);
  return out;
}

Expected<void, Failure> WriteExportFile(const PreparedSeries& p, const std::string& path, FlushToDisk flush) {
  // Never an export of "inf" or "nan".
  if (auto finite = CheckAllFinite(p, path); !finite) return finite;
  return WriteFileAtomically(path, ExportText(p), flush);
}

Expected<void, Failure> WriteExportFile(const PreparedSeries& p, const OutputFolder& folder,
                                        const std::string& name, FlushToDisk flush) {
  if (auto finite = CheckAllFinite(p, folder.PathOf(name)); !finite) return finite;
  return WriteFileAtomically(folder, name, ExportText(p), flush);
}

} // namespace sinkview
