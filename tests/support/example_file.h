#pragma once

#include <gtest/gtest.h>

#include <string>

#include "model/prepared_series.h"

namespace sinkview::testing {

// A sample file of examples/ prepared as "GRAPHICS" prepares it.
inline PreparedSeries PreparedExample(const char* name, const Settings& settings = {}) {
  auto prepared = LoadPreparedFile(std::string(SINKVIEW_SOURCE_DIR) + "/examples/" + name, settings);
  EXPECT_TRUE(prepared) << prepared.error().message;
  return prepared ? std::move(*prepared) : PreparedSeries{};
}

} // namespace sinkview::testing
