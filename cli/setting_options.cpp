#include "cli/setting_options.h"

#include <charconv>
#include <cmath>
#include <filesystem>

#include "model/setting_range.h"

namespace sinkview {

namespace fs = std::filesystem;

const std::string_view kRecursiveHelp =
    "  -r, --recursive            search the sub-folders of the folders as well\n";

const std::string_view kSettingHelp =
    R"help(      --reference-point=POINT
                             relate the subsidence to the head center (head)
                             or to the stem shoulder (shoulder, the default)
      --trochanter=WHICH     relate the subsidence to the major (the default)
                             or to the minor trochanter
      --time-limit=MONTHS    largest time between two comparable radiographs
                             (default 60)
)help";

const std::string_view kDrawingSettingHelp =
    R"help(      --zoom=MM              margin above and below the single-series
                             diagrams in millimetres (default 3)
      --raw-data             also draw the raw subsidence values
)help";

Unexpected<Failure> WrongUsage(std::string message) { return Unexpected{Failure{std::move(message)}}; }

std::optional<double> OptionNumber(std::string_view text) {
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) return std::nullopt;
  return value;
}

namespace {

std::optional<double> NumberIn(std::string_view text, SettingRange range) {
  const std::optional<double> value = OptionNumber(text);
  if (!value || !range.Holds(*value)) return std::nullopt;
  return value;
}

// Applies the value of an option that takes one.
Expected<void, Failure> Apply(const std::string& name, const std::string& value, SettingOptions& into) {
  Settings& s = into.settings;
  if (name == "reference-point" && (value == "head" || value == "shoulder")) {
    s.ReferencePoint = value == "head" ? Reference::HeadCenter : Reference::StemShoulder;
  } else if (name == "trochanter" && (value == "major" || value == "minor")) {
    s.TrochanterChoice = value == "minor" ? Trochanter::Minor : Trochanter::Major;
  } else if (name == "time-limit") {
    const std::optional<double> months = NumberIn(value, kTimeLimitMonthsRange);
    if (!months)
      return WrongUsage("--time-limit wants a number of months " + RangeText(kTimeLimitMonthsRange) +
                        ", not '" + value + "'");
    s.TimeLimitDays = TimeLimitDaysForMonths(*months);
  } else if (name == "zoom") {
    const std::optional<double> zoom = NumberIn(value, kZoomMillimetresRange);
    if (!zoom)
      return WrongUsage("--zoom wants a number of millimetres " + RangeText(kZoomMillimetresRange) +
                        ", not '" + value + "'");
    s.ZoomRange = static_cast<float>(*zoom);
  } else if (name == "output-dir") {
    std::error_code error;
    if (!fs::exists(value, error))
      return WrongUsage("--output-dir: the folder '" + value + "' does not exist");
    if (!fs::is_directory(value, error)) return WrongUsage("--output-dir: '" + value + "' is not a folder");
    into.outputDir = value;
  } else {
    return WrongUsage("--" + name + " does not take '" + value + "'");
  }
  return {};
}

} // namespace

std::string LongOptionName(const std::string& arg) {
  if (arg.rfind("--", 0) != 0) return {};
  return arg.substr(2, arg.find('=') == std::string::npos ? std::string::npos : arg.find('=') - 2);
}

Expected<std::string, Failure> OptionValue(const std::vector<std::string>& args, std::size_t& at,
                                           const std::string& name) {
  const std::string& arg = args[at];
  if (const std::size_t equals = arg.find('='); equals != std::string::npos) return arg.substr(equals + 1);
  if (at + 1 < args.size()) return args[++at];
  return WrongUsage("--" + name + " wants a value");
}

Expected<OptionUse, Failure> ConsumeSettingOption(const std::vector<std::string>& args, std::size_t& at,
                                                  SettingOptions& into) {
  const std::string& arg = args[at];
  if (arg == "--raw-data") {
    into.settings.ShowRawData = RawData::Shown;
    return OptionUse::Taken;
  }
  if (arg == "-r" || arg == "--recursive") {
    into.recursive = true;
    return OptionUse::Taken;
  }
  const std::string name = LongOptionName(arg);
  if (name != "reference-point" && name != "trochanter" && name != "time-limit" && name != "zoom" &&
      name != "output-dir") {
    return OptionUse::NotMine;
  }
  auto value = OptionValue(args, at, name);
  if (!value) return Unexpected{value.error()};
  if (auto applied = Apply(name, *value, into); !applied) return Unexpected{applied.error()};
  return OptionUse::Taken;
}

} // namespace sinkview
