#pragma once

#include <string>

#include "base/expected.h"
#include "base/failure.h"

namespace sinkview::testing {

// A writer's message, "" when it worked: a failed expectation shows it.
inline std::string MessageOf(const Expected<void, Failure>& done) { return done ? "" : done.error().message; }

} // namespace sinkview::testing
