#include "survival/follow_up.h"

#include "protocol/calendar_date.h"
#include "study/visits.h"

namespace sinkview {

std::string_view StatusWord(SurvivalStatus status) {
  switch (status) {
  case SurvivalStatus::Revision:
    return "revision";
  case SurvivalStatus::Death:
    return "death";
  case SurvivalStatus::Censored:
    break;
  }
  return "censored";
}

std::string_view EndWord(FollowUpEnd end) {
  switch (end) {
  case FollowUpEnd::Revision:
    return "revision";
  case FollowUpEnd::Death:
    return "death";
  case FollowUpEnd::Withdrawn:
    return "withdrawn";
  case FollowUpEnd::LastRadiograph:
    return "last_radiograph";
  case FollowUpEnd::LastContact:
    return "last_contact";
  case FollowUpEnd::Cutoff:
    break;
  }
  return "cutoff";
}

namespace {

struct Ending {
  CalendarDate date;
  SurvivalStatus status;
  FollowUpEnd end;
};

// The first of revision, death and withdrawal; on one day the earlier in
// that order wins, so an event is never lost to a censoring on its day.
std::optional<Ending> FirstEvent(const FollowUpDates& d) {
  struct Candidate {
    const std::optional<CalendarDate>& date;
    SurvivalStatus status;
    FollowUpEnd end;
  };
  const Candidate candidates[] = {{d.revision, SurvivalStatus::Revision, FollowUpEnd::Revision},
                                  {d.death, SurvivalStatus::Death, FollowUpEnd::Death},
                                  {d.withdrawn, SurvivalStatus::Censored, FollowUpEnd::Withdrawn}};
  std::optional<Ending> first;
  for (const Candidate& c : candidates)
    if (c.date && (!first || *c.date < first->date)) first = Ending{*c.date, c.status, c.end};
  return first;
}

// The later of the last radiograph and the last contact; the radiograph
// where both fall on one day.
std::optional<Ending> LastSeen(const FollowUpDates& d) {
  if (d.lastContact && (!d.lastRadiograph || *d.lastContact > *d.lastRadiograph))
    return Ending{*d.lastContact, SurvivalStatus::Censored, FollowUpEnd::LastContact};
  if (d.lastRadiograph)
    return Ending{*d.lastRadiograph, SurvivalStatus::Censored, FollowUpEnd::LastRadiograph};
  return std::nullopt;
}

} // namespace

std::variant<FollowUp, LeftOut> FollowUpOf(const FollowUpDates& dates) {
  if (!dates.surgery) return LeftOut{"no surgery date in the patients file"};
  if (*dates.surgery > dates.cutoff)
    return LeftOut{"the surgery (" + IsoDate(*dates.surgery) + ") lies after the cut-off (" +
                   IsoDate(dates.cutoff) + ")"};
  std::optional<Ending> ending = FirstEvent(dates);
  if (!ending) ending = LastSeen(dates);
  if (!ending) return LeftOut{"no radiograph or contact after the surgery"};
  if (ending->date > dates.cutoff)
    ending = Ending{dates.cutoff, SurvivalStatus::Censored, FollowUpEnd::Cutoff};
  return FollowUp{DaysBetween(*dates.surgery, ending->date), ending->status, ending->end};
}

} // namespace sinkview
