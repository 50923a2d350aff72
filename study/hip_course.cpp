#include "study/hip_course.h"

#include "model/segments.h"

namespace sinkview {

HipCourse CourseOf(const PreparedSeries& prepared) {
  const MeasurementModel& m = prepared.model;
  HipCourse course;
  const auto n = static_cast<std::size_t>(std::max<int>(m.RadiographCount, 0));
  course.dates.reserve(n);
  course.subsidence.reserve(n);
  for (int i = 1; i <= m.RadiographCount; ++i) {
    course.dates.emplace_back(std::chrono::year(static_cast<int>(m.DateYear[i])),
                              std::chrono::month(static_cast<unsigned>(m.DateMonth[i])),
                              std::chrono::day(static_cast<unsigned>(m.DateDay[i])));
    // From radiograph 1 across breaks: the course stays level over a break.
    const ChangesSinceStart c = Changes(prepared, i, 1);
    course.subsidence.push_back(c.subsidence);
    if (m.HasStemCementData) course.stemCement.push_back(c.stemCement);
    course.isolated.push_back(m.IsolatedFlag[i] == 1);
    course.breakAfter.push_back(m.DisconnectionFlag[i] == 1);
  }
  return course;
}

} // namespace sinkview
