#pragma once

// Dates of the patients file and the protocol: read as spreadsheets write
// them, shown as ISO 8601.

#include <string>
#include <string_view>

#include "base/expected.h"
#include "base/failure.h"
#include "protocol/protocol.h"

namespace sinkview {

// "yyyy-mm-dd" or "dd.mm.yyyy" (day and month may have one digit), a day
// that exists; else why not, in words that follow the quoted text. The
// slash forms are refused: 03/04/2020 is the 3rd of April in one country
// and the 4th of March in another.
Expected<CalendarDate, Failure> ParseCalendarDate(std::string_view text);

std::string IsoDate(CalendarDate date);

// The day of the run on the machine's clock, in its time zone.
CalendarDate Today();

} // namespace sinkview
