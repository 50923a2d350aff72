#pragma once

#include <optional>
#include <string>

namespace sinkview {

// Why something could not be done, in words for the user: names the file
// and the reason.
struct Failure {
  std::string message;
  friend bool operator==(const Failure&, const Failure&) = default;
};

// What a writer returns: nothing when it worked.
using MaybeFailure = std::optional<Failure>;

} // namespace sinkview
