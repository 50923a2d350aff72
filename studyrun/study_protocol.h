#pragma once

// The protocol a study is run with: study.toml (named, or the one folder's),
// or the defaults; the command line's settings over it; and its patients
// file. A bad file stops the study before it writes anything.

#include <string>

#include "base/expected.h"
#include "base/failure.h"
#include "protocol/protocol.h"
#include "studyrun/study_options.h"

namespace sinkview {

// The protocol file of the command, or empty for none.
std::string ProtocolFileOf(const StudyCommand& command);

// Fills command.options: the protocol as applied, its patients file, and
// the settings and threshold that follow from both.
Expected<void, Failure> ApplyProtocol(StudyCommand& command, CalendarDate today);

} // namespace sinkview
