#pragma once

#include <gtest/gtest.h>

#include <string>

#include "model/prepared_series.h"
#include "model/reader.h"

namespace sinkview::testing {

// A sample file of examples/ as read, prepared by "GRAPHICS" if asked.
inline MeasurementModel LoadExample(const char* name, bool prepared = false) {
  const std::string path = std::string(SINKVIEW_SOURCE_DIR) + "/examples/" + name;
  if (prepared) {
    auto loaded = LoadPreparedFile(path, Settings{});
    EXPECT_TRUE(loaded) << loaded.error().message;
    return loaded ? std::move(loaded->model) : MeasurementModel{};
  }
  ReadResult read = ReadDataFile(path);
  EXPECT_TRUE(read) << read.error().message;
  return read ? std::move(read->model) : MeasurementModel{};
}

} // namespace sinkview::testing
