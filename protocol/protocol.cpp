#include "protocol/protocol.h"

#include <algorithm>
#include <iterator>

namespace sinkview {

std::vector<Visit> DefaultVisits() {
  const double bounds[] = {2, 4.5, 9, 18, 30, 42, 54, 72, 96, 144};
  const double targets[] = {3, 6, 12, 24, 36, 48, 60, 84, 120};
  std::vector<Visit> visits;
  for (std::size_t v = 0; v < std::size(targets); ++v)
    visits.push_back(
        {std::to_string(static_cast<int>(targets[v])) + " months", targets[v], {bounds[v], bounds[v + 1]}});
  return visits;
}

const Visit* PrimaryVisitOf(const Protocol& protocol) {
  const auto found = std::find_if(protocol.visits.begin(), protocol.visits.end(),
                                  [&](const Visit& visit) { return visit.name == protocol.primaryVisit; });
  return found == protocol.visits.end() ? nullptr : &*found;
}

} // namespace sinkview
