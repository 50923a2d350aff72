#pragma once

#include <gtest/gtest.h>

#include <string>

#include "model/prepared_series.h"
#include "model/reader.h"

namespace sinkview::testing {

inline std::string ExamplePath(const char* name) {
  return std::string(SINKVIEW_SOURCE_DIR) + "/examples/" + name;
}

// A sample file of examples/ as read.
inline MeasurementModel LoadExample(const char* name) {
  ReadResult read = ReadDataFile(ExamplePath(name));
  EXPECT_TRUE(read) << read.error().message;
  return read ? std::move(*read) : MeasurementModel{};
}

// The same prepared as "GRAPHICS" prepares it.
inline PreparedSeries PreparedExample(const char* name, const Settings& settings = {}) {
  auto prepared = LoadPreparedFile(ExamplePath(name), settings);
  EXPECT_TRUE(prepared) << prepared.error().message;
  return prepared ? std::move(*prepared) : PreparedSeries{};
}

} // namespace sinkview::testing
