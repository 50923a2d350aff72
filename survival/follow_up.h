#pragma once

// How long a hip is followed for the survival estimates, and how that
// follow-up ends: the rules of the study's revision survival, on dates
// alone. Plain C++, no Qt.

#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "protocol/protocol.h"

namespace sinkview {

// Days in a year of the survival times: years are days / 365.25.
inline constexpr double kDaysPerYear = 365.25;

enum class SurvivalStatus { Revision, Death, Censored };
enum class FollowUpEnd { Revision, Death, Withdrawn, LastRadiograph, LastContact, Cutoff };

std::string_view StatusWord(SurvivalStatus status);
std::string_view EndWord(FollowUpEnd end);

// What is known of one hip's dates.
struct FollowUpDates {
  std::optional<CalendarDate> surgery, revision, death, withdrawn;
  std::optional<CalendarDate> lastRadiograph, lastContact;
  CalendarDate cutoff{};
};

struct FollowUp {
  int days = 0; // surgery (day 0) to the end
  SurvivalStatus status = SurvivalStatus::Censored;
  FollowUpEnd end = FollowUpEnd::LastRadiograph;
};

// Why a hip does not enter the estimates, in words for the list of them.
struct LeftOut {
  std::string reason;
};

// The follow-up of a hip that takes part: it ends at the first of
// revision (the event), death (the competing event) and withdrawal
// (censored); a revision on the day of a death counts as the revision, an
// event on the day of a withdrawal as the event. Otherwise it is censored
// at the later of the last radiograph and the last contact. An end after
// the cut-off is censored at the cut-off.
std::variant<FollowUp, LeftOut> FollowUpOf(const FollowUpDates& dates);

} // namespace sinkview
