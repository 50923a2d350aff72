#pragma once

// Reads a study's protocol (study.toml) and checks it whole: a typo or a
// window that cannot be meant stops the study before it writes anything.

#include <optional>
#include <string>
#include <string_view>

#include "base/content_digest.h"
#include "base/expected.h"
#include "base/failure.h"
#include "protocol/protocol.h"

namespace sinkview {

inline constexpr std::string_view kProtocolFileName = "study.toml";

// The protocol of a study without a study.toml.
Protocol DefaultProtocol(std::string title, CalendarDate today);

// The keys of the file over `defaults`; the patients file comes out
// absolute, found from the protocol's folder. Every problem is one message
// naming the file, the line and the key.
Expected<Protocol, Failure> ParseProtocol(std::string_view text, const std::string& path, Protocol defaults);
// `bytesRead`, where given, takes the digest of the file's bytes as read.
Expected<Protocol, Failure> ReadProtocol(const std::string& path, Protocol defaults,
                                         std::optional<ContentDigest>* bytesRead = nullptr);

} // namespace sinkview
