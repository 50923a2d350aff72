#include "protocol/read_protocol.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <functional>
#include <map>
#include <toml++/toml.h>

#include "base/reader_text.h"
#include "base/small_text_file.h"
#include "model/data_files.h"
#include "model/reader.h"
#include "model/setting_range.h"
#include "protocol/calendar_date.h"
#include "protocol/nearest_name.h"
#include "protocol/patients_file.h"
#include "protocol/protocol_words.h"
#include "protocol/study_names.h"
#include "protocol/toml_depth.h"

namespace sinkview {

namespace fs = std::filesystem;

Protocol DefaultProtocol(std::string title, CalendarDate today) {
  Protocol protocol;
  protocol.title = std::move(title);
  protocol.cutoff = today;
  return protocol;
}

namespace {

constexpr std::size_t kMaxProtocolBytes = 1 << 20;

// The one problem found, thrown from deep in the checks to ParseProtocol.
struct Problem {
  int line;
  std::string key, what;
};

[[noreturn]] void Refuse(const toml::node& node, std::string key, std::string what) {
  throw Problem{static_cast<int>(node.source().begin.line), std::move(key), std::move(what)};
}

// A visit's name or another text of the file, quoted on one line.
std::string Quoted(const std::string& text) { return '"' + WithoutControlCharacters(text) + '"'; }

std::string Kind(const toml::node& node) {
  switch (node.type()) {
  case toml::node_type::string:
    return "text";
  case toml::node_type::integer:
    return "a whole number";
  case toml::node_type::floating_point:
    return "a number";
  case toml::node_type::boolean:
    return "true or false";
  case toml::node_type::date:
    return "a date";
  case toml::node_type::time:
    return "a time of day";
  case toml::node_type::date_time:
    return "a date and time";
  case toml::node_type::array:
    return "a list";
  case toml::node_type::table:
    return "a table";
  default:
    return "nothing";
  }
}

[[noreturn]] void WrongKind(const toml::node& node, const std::string& key, const std::string& wanted) {
  Refuse(node, key, "must be " + wanted + ", not " + Kind(node));
}

double Number(const toml::node& node, const std::string& key) {
  if (!node.is_number()) WrongKind(node, key, "a number");
  const double value = node.value<double>().value_or(0);
  if (!std::isfinite(value)) Refuse(node, key, "must be a finite number");
  return value;
}

// The command line's limits hold in the protocol too; a hundred years of
// follow-up is more than any study and keeps study days well inside an int.
constexpr double kMaxMillimetres = 1000;
constexpr double kMaxMonths = 1200;

double AtMost(double value, const toml::node& node, const std::string& key, double most) {
  if (value > most) Refuse(node, key, "must be at most " + ShortNumber(most));
  return value;
}

double NonNegative(const toml::node& node, const std::string& key) {
  const double value = Number(node, key);
  if (value < 0) Refuse(node, key, "must be a number of 0 or more");
  AtMost(value, node, key, 1e6);
  return value;
}

std::string Text(const toml::node& node, const std::string& key) {
  if (!node.is_string()) WrongKind(node, key, "text in quotes");
  return *node.value<std::string>();
}

// A title or a name the outputs show: a line end, NUL or direction mark in
// it would break a CSV line or reorder the report's title around it.
std::string Name(const toml::node& node, const std::string& key) {
  const std::string text = Text(node, key);
  if (const std::string problem = ControlCharacterProblem(text); !problem.empty())
    Refuse(node, key, Quoted(text) + " " + problem);
  return text;
}

const toml::array& List(const toml::node& node, const std::string& key, std::size_t size,
                        const char* wanted) {
  const toml::array* list = node.as_array();
  if (!list || list->size() != size) Refuse(node, key, std::string("must be ") + wanted);
  return *list;
}

std::array<double, 2> NumberPair(const toml::node& node, const std::string& key) {
  const toml::array& list = List(node, key, 2, "a list of two numbers, [from, to]");
  return {Number(*list.get(0), key), Number(*list.get(1), key)};
}

// One of the words a key takes.
template <typename T> T Word(const toml::node& node, const std::string& key, const WordList<T>& words) {
  const std::string text = Text(node, key);
  for (const auto& [word, value] : words)
    if (text == word) return value;
  Refuse(node, key, Quoted(text) + " is none of " + WordChoices(words));
}

using KeyReader = std::function<void(const toml::node&, const std::string& key)>;
using KeyReaders = std::map<std::string, KeyReader>;

// Calls each key's reader; a key without one is refused, with the known
// key it was probably meant to be. `outer` are the keys of the table around
// a [[visit]], which TOML gives to the visit when they follow it.
void ReadKeys(const toml::table& table, const KeyReaders& readers, std::string_view owner,
              const KeyReaders* outer = nullptr) {
  for (const auto& [key, node] : table) {
    const std::string name(key.str());
    if (const auto reader = readers.find(name); reader != readers.end()) {
      reader->second(node, name);
      continue;
    }
    if (outer && outer->count(name))
      Refuse(node, name, "is no key of a [[visit]]: write it above the first [[visit]]");
    std::string hint;
    std::size_t nearest = 3; // more edits than this are no typo
    for (const auto& [known, unused] : readers) {
      if (const std::size_t edits = EditDistance(name, known); edits < nearest) {
        nearest = edits;
        hint = " (did you mean '" + known + "'?)";
      }
    }
    Refuse(node, name, "is no key of " + std::string(owner) + hint);
  }
}

Visit ReadVisit(const toml::node& node, const KeyReaders& protocolKeys) {
  const toml::table* table = node.as_table();
  if (!table) WrongKind(node, "visit", "a [[visit]] table");
  Visit visit;
  bool hasMonths = false, hasWindow = false;
  ReadKeys(*table,
           {{"name", [&](const toml::node& n, const std::string& k) { visit.name = Name(n, k); }},
            {"months",
             [&](const toml::node& n, const std::string& k) {
               visit.months = Number(n, k);
               hasMonths = true;
             }},
            {"window_months",
             [&](const toml::node& n, const std::string& k) {
               visit.windowMonths = NumberPair(n, k);
               hasWindow = true;
             }}},
           "a [[visit]]", &protocolKeys);
  if (!hasMonths || !hasWindow) Refuse(node, "visit", "needs 'months' and 'window_months'");
  if (visit.months <= 0) Refuse(*table->get("months"), "months", "must be above 0");
  AtMost(visit.months, *table->get("months"), "months", kMaxMonths);
  AtMost(visit.windowMonths[1], *table->get("window_months"), "window_months", kMaxMonths);
  if (visit.name.empty()) visit.name = ShortNumber(visit.months) + " months";
  if (const toml::node* name = table->get("name")) {
    if (const std::string problem = GuardedNameProblem(visit.name); !problem.empty())
      Refuse(*name, "name", Quoted(visit.name) + " " + problem);
    if (Lowercase(visit.name) == kBaselineRow)
      Refuse(*name, "name",
             Quoted(visit.name) + " is the row of the first radiograph: name the visit otherwise");
  }
  const auto [from, to] = visit.windowMonths;
  const toml::node& window = *table->get("window_months");
  if (from < 0 || from >= to) Refuse(window, "window_months", "must be [from, to] with 0 <= from < to");
  // Half-open: a target on the window's end would lie in the next window.
  if (visit.months < from || visit.months >= to)
    Refuse(window, "window_months",
           "does not hold the visit's target of " + ShortNumber(visit.months) + " months" +
               (visit.months == to ? " (a window [from, to) ends before to)" : ""));
  return visit;
}

// Rising targets, windows that do not overlap (they may touch), names once.
void CheckVisitOrder(const std::vector<Visit>& visits, const toml::array& tables) {
  for (std::size_t v = 1; v < visits.size(); ++v) {
    const Visit &before = visits[v - 1], &visit = visits[v];
    const toml::node& node = *tables.get(v);
    if (visit.months <= before.months)
      Refuse(node, "months",
             "the visits must rise: " + ShortNumber(visit.months) + " months follows " +
                 ShortNumber(before.months) + " months");
    if (visit.windowMonths[0] < before.windowMonths[1])
      Refuse(node, "window_months",
             "the window of " + Quoted(visit.name) + " overlaps that of " + Quoted(before.name));
    for (std::size_t w = 0; w < v; ++w)
      if (visits[w].name == visit.name) Refuse(node, "name", Quoted(visit.name) + " names two visits");
  }
}

bool HasVisit(const Protocol& protocol, const std::string& name) {
  return std::any_of(protocol.visits.begin(), protocol.visits.end(),
                     [&](const Visit& visit) { return visit.name == name; });
}

class ProtocolReader {
public:
  ProtocolReader(const toml::table& root, const std::string& path, Protocol& protocol)
      : root_(root), path_(path), p_(protocol) {}

  void Read() {
    keys_ = {
        {"title", [&](auto& n, auto& k) { p_.title = Name(n, k); }},
        {"cutoff", [&](auto& n, auto& k) { p_.cutoff = Date(n, k); }},
        {"patients", [&](auto& n, auto& k) { p_.patientsFile = PatientsPath(n, k); }},
        {"primary_visit", [&](auto& n, auto& k) { p_.primaryVisit = Name(n, k); }},
        {"threshold_mm",
         [&](auto& n, auto& k) { p_.thresholdMm = AtMost(NonNegative(n, k), n, k, kMaxMillimetres); }},
        {"bands_mm", [&](auto& n, auto& k) { p_.bandsMm = Bands(n, k); }},
        {"value_at_visit", [&](auto& n, auto& k) { p_.valueAtVisit = Word(n, k, kValueAtVisitWords); }},
        {"baseline_days", [&](auto& n, auto& k) { p_.baselineDays = BaselineDays(n, k); }},
        {"model", [&](auto& n, auto& k) { p_.model = Word(n, k, kModelStructureWords); }},
        {"primary_analysis",
         [&](auto& n, auto& k) { p_.primaryAnalysis = Word(n, k, kPrimaryAnalysisWords); }},
        {"reference_point",
         [&](auto& n, auto& k) { p_.settings.ReferencePoint = Word(n, k, kReferenceWords); }},
        {"trochanter",
         [&](auto& n, auto& k) { p_.settings.TrochanterChoice = Word(n, k, kTrochanterWords); }},
        {"time_limit_months",
         [&](auto& n, auto& k) {
           p_.settings.TimeLimitDays = TimeLimitDaysForMonths(TimeLimitMonths(n, k));
         }},
        {"repeat_readings", [&](auto& n, auto& k) { p_.repeatReadings = Text(n, k); }},
        {"pattern_visits", [&](auto& n, auto& k) { p_.patternVisits = PatternVisits(n, k); }},
        {"detection_limit_mm",
         [&](auto& n, auto& k) {
           p_.detectionLimitMm = AtMost(NonNegative(n, k), n, k, kMaxMillimetres);
           if (*p_.detectionLimitMm == 0) Refuse(n, k, "must be above 0");
         }},
        {"pseudonymise", [&](auto& n, auto& k) { p_.pseudonymise = Boolean(n, k); }},
        {"covariates", [&](auto& n, auto& k) { p_.covariates = Covariates(n, k); }},
        {"survival_years", [&](auto& n, auto& k) { p_.survivalYears = SurvivalYears(n, k); }},
        {"visit", [&](auto& n, auto&) { ReadVisits(n); }},
    };
    ReadKeys(root_, keys_, "a protocol");
    CheckVisitNames();
    if (const toml::node* covariates = root_.get("covariates"); covariates && p_.patientsFile.empty())
      Refuse(*covariates, "covariates", "names columns of the patients file, but 'patients' names none");
  }

private:
  // The example shown is one the reader takes: the quoted day written as
  // TOML writes a date, else a day of the right form.
  static CalendarDate Date(const toml::node& node, const std::string& key) {
    if (node.is_string()) {
      const auto quoted = ParseCalendarDate(Text(node, key));
      Refuse(node, key,
             "must be a date without quotes, such as " + (quoted ? IsoDate(*quoted) : "2025-06-30"));
    }
    if (!node.is_date()) WrongKind(node, key, "a date such as 2025-06-30");
    const toml::date date = *node.value<toml::date>();
    if (date.year < kFirstYear || date.year > kLastYear)
      Refuse(node, key,
             "must lie in the years " + std::to_string(kFirstYear) + " to " + std::to_string(kLastYear));
    return CalendarDate{std::chrono::year(date.year), std::chrono::month(date.month),
                        std::chrono::day(date.day)};
  }

  std::string PatientsPath(const toml::node& node, const std::string& key) const {
    const std::string file = Text(node, key);
    if (file.empty()) Refuse(node, key, "must name the patients file");
    return (fs::absolute(fs::path(path_).parent_path()) / file).lexically_normal().string();
  }

  static std::array<double, 2> Bands(const toml::node& node, const std::string& key) {
    const std::array<double, 2> bands = NumberPair(node, key);
    if (!(0 < bands[0] && bands[0] < bands[1])) Refuse(node, key, "must be two limits a < b above 0, [a, b]");
    AtMost(bands[1], node, key, kMaxMillimetres);
    return bands;
  }

  static std::array<int, 2> BaselineDays(const toml::node& node, const std::string& key) {
    const toml::array& list = List(node, key, 2, "a list of two whole numbers of days, [from, to]");
    std::array<int, 2> days{};
    for (std::size_t d = 0; d < 2; ++d) {
      const toml::node& bound = *list.get(d);
      if (!bound.is_integer()) WrongKind(bound, key, "a whole number of days");
      const std::int64_t value = *bound.value<std::int64_t>();
      if (value < 0 || value > 36500) Refuse(bound, key, "must be days of 0 or more after surgery");
      days[d] = static_cast<int>(value);
    }
    if (days[0] > days[1]) Refuse(node, key, "must be [from, to] with from <= to");
    return days;
  }

  std::array<std::string, 2> PatternVisits(const toml::node& node, const std::string& key) {
    const toml::array& list = List(node, key, 2, "a list of two visit names");
    patternVisitsNode_ = &node;
    return {Name(*list.get(0), key), Name(*list.get(1), key)};
  }

  // As the command line's --time-limit: above 0, else no two radiographs
  // are comparable.
  static double TimeLimitMonths(const toml::node& node, const std::string& key) {
    const double months = Number(node, key);
    if (!kTimeLimitMonthsRange.Holds(months))
      Refuse(node, key, "must be " + RangeText(kTimeLimitMonthsRange));
    return months;
  }

  // The names as the patients file's header has them, each once, none a
  // column of its own.
  static std::vector<std::string> Covariates(const toml::node& node, const std::string& key) {
    const toml::array* list = node.as_array();
    if (!list) WrongKind(node, key, "a list of column names, such as [\"age\", \"sex\"]");
    std::vector<std::string> names;
    for (const toml::node& item : *list) {
      const std::string name = Text(item, key);
      if (name.empty() || name.find_first_of(" \t") == 0 || name.find_last_of(" \t") == name.size() - 1)
        Refuse(item, key, Quoted(name) + " is no column name: it is empty or starts or ends with a blank");
      if (IsPatientsColumn(name))
        Refuse(item, key, Quoted(name) + " is a column of its own, not a covariate");
      if (const std::string problem = GuardedNameProblem(name); !problem.empty())
        Refuse(item, key, Quoted(name) + " " + problem);
      if (std::find(names.begin(), names.end(), name) != names.end())
        Refuse(item, key, Quoted(name) + " is listed twice");
      names.push_back(name);
    }
    return names;
  }

  // Rising times above 0; a hundred years bounds them as it bounds the visits.
  static std::vector<double> SurvivalYears(const toml::node& node, const std::string& key) {
    const toml::array* list = node.as_array();
    if (!list || list->empty() || list->size() > 100)
      Refuse(node, key, "must be a list of 1 to 100 times in years, such as [1, 2, 5, 10]");
    std::vector<double> years;
    for (const toml::node& item : *list) {
      const double value = AtMost(Number(item, key), item, key, kMaxMonths / 12);
      if (value <= 0) Refuse(item, key, "must be times above 0 years");
      if (!years.empty() && value <= years.back())
        Refuse(item, key,
               "the times must rise: " + ShortNumber(value) + " follows " + ShortNumber(years.back()));
      years.push_back(value);
    }
    return years;
  }

  static bool Boolean(const toml::node& node, const std::string& key) {
    if (!node.is_boolean()) WrongKind(node, key, "true or false");
    return *node.value<bool>();
  }

  void ReadVisits(const toml::node& node) {
    const toml::array* tables = node.as_array();
    if (!tables || tables->empty()) WrongKind(node, "visit", "[[visit]] tables");
    std::vector<Visit> visits;
    for (const toml::node& table : *tables) visits.push_back(ReadVisit(table, keys_));
    CheckVisitOrder(visits, *tables);
    p_.visits = std::move(visits);
    visitsNode_ = &node;
  }

  // The names that refer to visits, once the visits are known.
  void CheckVisitNames() const {
    if (!HasVisit(p_, p_.primaryVisit)) {
      if (const toml::node* primary = root_.get("primary_visit"))
        Refuse(*primary, "primary_visit", Quoted(p_.primaryVisit) + " is none of the visits");
      Refuse(visitsNode_ ? *visitsNode_ : static_cast<const toml::node&>(root_), "primary_visit",
             "no visit is named " + Quoted(p_.primaryVisit) + ": name the primary visit");
    }
    if (p_.patternVisits) {
      for (const std::string& name : *p_.patternVisits)
        if (!HasVisit(p_, name))
          Refuse(*patternVisitsNode_, "pattern_visits", Quoted(name) + " is none of the visits");
      if ((*p_.patternVisits)[0] == (*p_.patternVisits)[1])
        Refuse(*patternVisitsNode_, "pattern_visits", "must name two different visits");
    }
  }

  const toml::table& root_;
  const std::string& path_;
  Protocol& p_;
  KeyReaders keys_;
  const toml::node* visitsNode_ = nullptr;
  const toml::node* patternVisitsNode_ = nullptr;
};

} // namespace

Expected<Protocol, Failure> ParseProtocol(std::string_view text, const std::string& path, Protocol defaults) {
  const std::string shown = ShownFileName(path);
  if (const std::optional<int> line = LineNestedTooDeep(text))
    return Unexpected(Failure{shown + ": line " + std::to_string(*line) +
                              ": keys, lists or tables nest more than " + std::to_string(kMaxTomlDepth) +
                              " levels deep, which no protocol needs."});
  try {
    const toml::table root = toml::parse(text, std::string_view(path));
    ProtocolReader(root, path, defaults).Read();
    return defaults;
  } catch (const toml::parse_error& error) {
    const toml::source_position where = error.source().begin;
    return Unexpected(Failure{shown + ": line " + std::to_string(where.line) + ", column " +
                              std::to_string(where.column) + ": " + std::string(error.description()) + "."});
  } catch (const Problem& problem) {
    return Unexpected(Failure{shown + ": line " + std::to_string(problem.line) + ", '" + problem.key +
                              "': " + problem.what + "."});
  }
}

Expected<Protocol, Failure> ReadProtocol(const std::string& path, Protocol defaults,
                                         std::optional<ContentDigest>* bytesRead) {
  const auto text = ReadSmallTextFile(path, kMaxProtocolBytes);
  if (!text) return Unexpected(text.error());
  if (bytesRead) *bytesRead = DigestOf(*text);
  return ParseProtocol(*text, path, std::move(defaults));
}

} // namespace sinkview
