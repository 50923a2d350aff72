#include "graphics/graf_layout.h"

#include <utility>

#include "base/numtext.h"
#include "base/text_encoding.h"
#include "graphics/diagram_assignment.h"

namespace sinkview {

DesignRect ResizedRect(const GrafControl& control, double ratioX, double ratioY) {
  const DesignRect& r = control.rect;
  switch (control.resize) {
  case OnResize::Rectangle:
    return {r.left * ratioX, r.top * ratioY, r.width * ratioX, r.height * ratioY};
  case OnResize::Position:
    return {r.left * ratioX, r.top * ratioY, r.width, r.height};
  case OnResize::None:
    break;
  }
  return r;
}

DiagramTitles TitlesForSide(const MeasurementModel& m) {
  DiagramTitles t{"medial distances", "subsidence total", "lateral distances", "bone/stem angle",
                  "stem-cement"};
  const bool stemCement = m.HasStemCementData;
  if (IsRightSide(m)) {
    std::swap(t.upperLeft, t.upperRight);
    std::swap(t.lowerLeft, t.lowerRight);
    t.rightStemCementShown = stemCement;
  } else {
    t.leftStemCementShown = stemCement;
  }
  return t;
}

std::string HeaderText(const PreparedSeries& p) {
  const MeasurementModel& m = p.model;
  return DisplayUtf8(m.PatientCode) + "\nobservation period: " + LabelText(m.ObservationMonths) +
         " months      number of radiographs: " + std::to_string(m.RadiographCount) +
         "      comp. limit: " + std::to_string(p.settings.ComparabilityLimit) + " mm";
}

} // namespace sinkview
