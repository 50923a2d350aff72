// Feeds arbitrary bytes to the protocol reader and, for a protocol it
// accepts, writes it as protocol-used.toml and reads that back: it must give
// the same protocol, as a rerun of the study relies on.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "protocol/protocol_toml.h"
#include "protocol/read_protocol.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace std::chrono;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const sinkview::CalendarDate day = 2026y / June / 30;
  const auto read = sinkview::ParseProtocol(text, "/fuzz/study.toml", sinkview::DefaultProtocol("fuzz", day));
  if (!read) {
    if (read.error().message.empty()) __builtin_trap();
    return 0;
  }
  const std::string used = sinkview::ProtocolToml(*read, "0", day);
  const auto back = sinkview::ParseProtocol(used, "/fuzz/out/protocol-used.toml", sinkview::Protocol{});
  if (!back || !(*back == *read)) __builtin_trap();
  return 0;
}
