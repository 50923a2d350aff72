#pragma once

#include <string>

namespace sinkview {

// Why something could not be done, in words for the user: names the file
// and the reason.
struct Failure {
  std::string message;
  friend bool operator==(const Failure&, const Failure&) = default;
};

} // namespace sinkview
