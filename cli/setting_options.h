#pragma once

// The command-line options that choose the settings a study is read and
// prepared with, and where its files are looked for and written: one
// parser and one help text for every program that reads a study.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/expected.h"
#include "base/failure.h"
#include "model/settings.h"

namespace sinkview {

struct SettingOptions {
  Settings settings;
  bool recursive = false;
  std::optional<std::string> outputDir; // an existing folder
};

enum class OptionUse { Taken, NotMine };

// Reads args[at] when it is one of the options above, with its value ("--name=value"
// or "--name value"), leaving `at` on the last argument it took. A wrong
// command line fails with the text after "PROGRAM: ".
Expected<OptionUse, Failure> ConsumeSettingOption(const std::vector<std::string>& args, std::size_t& at,
                                                  SettingOptions& into);

// The value of an option that is a number: a finite decimal number, the
// whole text.
std::optional<double> OptionNumber(std::string_view text);

// A wrong command line, with the text after "PROGRAM: ".
Unexpected<Failure> WrongUsage(std::string message);

// "--name=value" or "--name value" of a long option that takes a value:
// the value, leaving `at` on the last argument it took.
Expected<std::string, Failure> OptionValue(const std::vector<std::string>& args, std::size_t& at,
                                           const std::string& name);

// The name of a long option without its dashes and value; empty for an
// argument that is no long option.
std::string LongOptionName(const std::string& arg);

// The help lines of the options, each block ending in a line end.
extern const std::string_view kRecursiveHelp;      // -r, --recursive
extern const std::string_view kSettingHelp;        // --reference-point, --trochanter, --time-limit
extern const std::string_view kDrawingSettingHelp; // --zoom, --raw-data

} // namespace sinkview
