#pragma once

// protocol-used.toml: the protocol as a study applied it, every default and
// setting written out, so that the run can be repeated and reviewed. It is
// itself a protocol: read back, it gives the same Protocol.

#include <string>
#include <string_view>

#include "protocol/protocol.h"

namespace sinkview {

inline constexpr std::string_view kProtocolUsedFileName = "protocol-used.toml";

std::string ProtocolToml(const Protocol& protocol, std::string_view programVersion, CalendarDate runDate);

} // namespace sinkview
