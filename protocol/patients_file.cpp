#include "protocol/patients_file.h"

#include <algorithm>
#include <filesystem>
#include <map>

#include "base/csv_records.h"
#include "base/reader_text.h"
#include "base/small_text_file.h"
#include "base/text_encoding.h"
#include "protocol/calendar_date.h"
#include "protocol/nearest_name.h"
#include "protocol/study_names.h"

namespace sinkview {

namespace {

constexpr std::size_t kMaxPatientsBytes = 64 << 20;

// A text column of the file and where its value goes.
struct TextColumn {
  std::string_view name;
  std::string PatientRow::*field;
};
const TextColumn kTextColumns[] = {{"file", &PatientRow::file},
                                   {"group", &PatientRow::group},
                                   {"excluded", &PatientRow::excluded},
                                   {"patient", &PatientRow::patient}};

struct DateColumn {
  std::string_view name;
  std::optional<CalendarDate> PatientRow::*field;
};
const DateColumn kSurgery{"surgery_date", &PatientRow::surgery};
// The events that end a hip's follow-up, and its last contact: none before surgery.
const DateColumn kEvents[] = {{"revision_date", &PatientRow::revision},
                              {"death_date", &PatientRow::death},
                              {"withdrawn_date", &PatientRow::withdrawn},
                              {"last_contact_date", &PatientRow::lastContact}};

std::string Trimmed(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return std::string(text);
}

std::string Lowered(std::string text) {
  for (char& c : text) c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
  return text;
}

// Groups, patients and covariates are names the outputs show, each on one
// line of a CSV file and in the report, in the order written.
std::string ControlCharactersIn(const std::string& name) {
  const std::string problem = ControlCharacterProblem(name);
  return problem.empty() ? problem : QuotedField(name) + " " + problem;
}

bool IsBlank(const CsvRecord& record) {
  return std::all_of(record.fields.begin(), record.fields.end(),
                     [](const std::string& field) { return Trimmed(field).empty(); });
}

// The same data file however it is written: "./a.vok", "a.vok", "sub\a.vok".
std::string NormalFile(std::string file) {
  std::replace(file.begin(), file.end(), '\\', '/');
  return std::filesystem::path(file).lexically_normal().generic_string();
}

bool IsKnownColumn(std::string_view lowered) {
  return std::any_of(std::begin(kTextColumns), std::end(kTextColumns),
                     [&](const TextColumn& t) { return t.name == lowered; }) ||
         lowered == kSurgery.name ||
         std::any_of(std::begin(kEvents), std::end(kEvents),
                     [&](const DateColumn& d) { return d.name == lowered; });
}

std::vector<std::string_view> KnownColumns() {
  std::vector<std::string_view> names;
  for (const TextColumn& t : kTextColumns) names.push_back(t.name);
  names.push_back(kSurgery.name);
  for (const DateColumn& d : kEvents) names.push_back(d.name);
  return names;
}

// Lower case without blanks, hyphens and underscores: "Surgery-Date" and
// "surgery_date" are the same name written two ways.
std::string Squeezed(std::string_view name) {
  std::string out;
  for (char c : Lowered(std::string(name)))
    if (c != ' ' && c != '\t' && c != '-' && c != '_') out += c;
  return out;
}

// The known name that `name` is likely a typo of: the same once squeezed,
// or at most two edits away; empty for none.
std::string NearestName(std::string_view name, const std::vector<std::string_view>& known) {
  constexpr std::size_t kMostEdits = 2;
  std::string nearest;
  std::size_t fewest = kMostEdits + 1;
  for (std::string_view candidate : known) {
    const std::size_t edits =
        std::min(EditDistance(Lowered(std::string(name)), Lowered(std::string(candidate))),
                 EditDistance(Squeezed(name), Squeezed(candidate)));
    if (edits < fewest) {
      fewest = edits;
      nearest = candidate;
    }
  }
  return nearest;
}

class PatientsReader {
public:
  PatientsReader(const std::string& path, bool pseudonymise,
                 const std::optional<std::vector<std::string>>& covariates)
      : shown_(ShownFileName(path)), pseudonymise_(pseudonymise), listed_(covariates) {}

  Expected<PatientsFile, Failure> Read(std::string_view text) {
    const std::string utf8 = DisplayUtf8(text);
    auto table = ReadCsvRecords(utf8, shown_);
    if (!table) return Unexpected(table.error());
    if (table->records.empty() || IsBlank(table->records.front()))
      return Fail(1, "", "the header line is missing");
    if (auto header = ReadHeader(table->records.front()); !header) return Unexpected(header.error());
    for (std::size_t r = 1; r < table->records.size(); ++r) {
      const CsvRecord& record = table->records[r];
      if (IsBlank(record)) continue;
      if (auto row = ReadRow(record); !row) return Unexpected(row.error());
    }
    if (file_.groups.empty()) file_.groups.emplace_back(kOneGroup);
    return std::move(file_);
  }

private:
  Expected<void, Failure> ReadHeader(const CsvRecord& header) {
    for (std::size_t c = 0; c < header.fields.size(); ++c) {
      std::string name = Trimmed(header.fields[c]);
      if (name.empty()) return Fail(header.line, "", "column " + std::to_string(c + 1) + " has no name");
      if (const std::string problem = ControlCharactersIn(name); !problem.empty())
        return Fail(header.line, "", problem);
      for (std::size_t before = 0; before < c; ++before)
        if (Lowered(Trimmed(header.fields[before])) == Lowered(name))
          return Fail(header.line, name, "the column is there twice");
      if (!Known(Lowered(name), c)) {
        if (auto covariate = CheckCovariate(header.line, name); !covariate) return covariate;
        covariateColumns_.push_back(c);
        file_.covariates.push_back(std::move(name));
      }
    }
    if (listed_)
      for (const std::string& name : *listed_)
        if (std::find(file_.covariates.begin(), file_.covariates.end(), name) == file_.covariates.end())
          return Fail(header.line, "",
                      "there is no column '" + WithoutControlCharacters(name) +
                          "', which the protocol lists in 'covariates'");
    columns_ = header.fields.size();
    if (!column_.count("file"))
      return Fail(header.line, "", "there is no column 'file' naming the data files");
    if (pseudonymise_ && !column_.count("patient"))
      return Fail(header.line, "",
                  "pseudonymisation needs a column 'patient' with every patient's identifier");
    return {};
  }

  bool Known(const std::string& name, std::size_t c) {
    const bool known = IsKnownColumn(name);
    if (known) column_[name] = c;
    return known;
  }

  // A column of no known name, refused when it is not meant as a
  // covariate: it is not in the protocol's list, or, without a list, it is
  // a likely typo of a known column.
  Expected<void, Failure> CheckCovariate(int line, const std::string& name) const {
    if (listed_ && std::find(listed_->begin(), listed_->end(), name) != listed_->end()) return {};
    std::vector<std::string_view> known = KnownColumns();
    if (listed_) known.insert(known.end(), listed_->begin(), listed_->end());
    const std::string nearest = NearestName(name, known);
    const std::string meant = nearest.empty() ? "" : "did you mean '" + nearest + "'? ";
    if (listed_)
      return Fail(line, name,
                  "is neither a column of the file's own nor one of the protocol's 'covariates': " + meant +
                      "rename it, or list it there");
    if (!nearest.empty())
      return Fail(line, name,
                  "is no known column, and too like one to be taken as a covariate: " + meant +
                      "rename it, or list it in the protocol's 'covariates'");
    if (const std::string problem = GuardedNameProblem(name); !problem.empty())
      return Fail(line, name, "a covariate's name " + problem);
    return {};
  }

  Expected<void, Failure> ReadRow(const CsvRecord& record) {
    if (record.fields.size() != columns_)
      return Fail(record.line, "",
                  std::to_string(record.fields.size()) + " fields, but the header has " +
                      std::to_string(columns_));
    PatientRow row;
    row.line = record.line;
    for (const TextColumn& column : kTextColumns)
      if (const auto c = column_.find(std::string(column.name)); c != column_.end())
        row.*column.field = Trimmed(record.fields[c->second]);
    for (std::size_t c : covariateColumns_)
      row.covariates.push_back(WithoutControlCharacters(record.fields[c]));
    row.excluded = WithoutControlCharacters(row.excluded);
    for (const std::string_view name : {"group", "patient"}) {
      const auto c = column_.find(std::string(name));
      if (c == column_.end()) continue;
      if (const std::string problem = ControlCharactersIn(Trimmed(record.fields[c->second]));
          !problem.empty())
        return Fail(record.line, std::string(name), problem);
    }

    if (row.file.empty()) return Fail(record.line, "file", "the data file is not named");
    row.file = NormalFile(row.file);
    if (const auto [seen, fresh] = lineOfFile_.emplace(row.file, record.line); !fresh)
      return Fail(record.line, "file",
                  QuotedField(row.file) + " is listed already on line " + std::to_string(seen->second));
    if (column_.count("group") && row.group.empty())
      return Fail(record.line, "group", "the group is not named");
    if (pseudonymise_ && row.patient.empty())
      return Fail(record.line, "patient", "pseudonymisation needs every patient's identifier");
    if (const std::string problem = GuardedNameProblem(row.group); !problem.empty())
      return Fail(record.line, "group", "the group " + QuotedField(row.group) + " " + problem);

    if (auto dates = ReadDates(record, row); !dates) return dates;
    if (!row.group.empty() &&
        std::find(file_.groups.begin(), file_.groups.end(), row.group) == file_.groups.end())
      file_.groups.push_back(row.group);
    file_.rows.push_back(std::move(row));
    return {};
  }

  Expected<void, Failure> ReadDates(const CsvRecord& record, PatientRow& row) {
    if (auto surgery = ReadDate(record, kSurgery, row); !surgery) return surgery;
    for (const DateColumn& event : kEvents) {
      if (auto date = ReadDate(record, event, row); !date) return date;
      const std::optional<CalendarDate>& when = row.*event.field;
      if (when && row.surgery && *when < *row.surgery)
        return Fail(record.line, std::string(event.name),
                    IsoDate(*when) + " is before the surgery on " + IsoDate(*row.surgery));
    }
    return {};
  }

  Expected<void, Failure> ReadDate(const CsvRecord& record, const DateColumn& column, PatientRow& row) {
    const auto c = column_.find(std::string(column.name));
    if (c == column_.end()) return {};
    const std::string text = Trimmed(record.fields[c->second]);
    if (text.empty()) return {};
    const auto date = ParseCalendarDate(text);
    if (!date)
      return Fail(record.line, std::string(column.name), QuotedField(text) + " " + date.error().message);
    row.*column.field = *date;
    return {};
  }

  Unexpected<Failure> Fail(int line, const std::string& column, const std::string& what) const {
    return Unexpected(Failure{shown_ + ": line " + std::to_string(line) +
                              (column.empty() ? "" : ", column '" + column + "'") + ": " + what + "."});
  }

  std::string shown_;
  bool pseudonymise_;
  const std::optional<std::vector<std::string>>& listed_;
  PatientsFile file_;
  std::size_t columns_ = 0;
  std::map<std::string, std::size_t> column_; // known column (lower case) -> index
  std::vector<std::size_t> covariateColumns_;
  std::map<std::string, int> lineOfFile_;
};

} // namespace

bool IsPatientsColumn(std::string_view name) { return IsKnownColumn(Lowered(std::string(name))); }

Expected<PatientsFile, Failure> ParsePatientsFile(std::string_view text, const std::string& path,
                                                  bool pseudonymise,
                                                  const std::optional<std::vector<std::string>>& covariates) {
  return PatientsReader(path, pseudonymise, covariates).Read(text);
}

Expected<PatientsFile, Failure> ReadPatientsFile(const std::string& path, bool pseudonymise,
                                                 const std::optional<std::vector<std::string>>& covariates,
                                                 std::optional<ContentDigest>* bytesRead) {
  const auto text = ReadSmallTextFile(path, kMaxPatientsBytes);
  if (!text) return Unexpected(text.error());
  if (bytesRead) *bytesRead = DigestOf(*text);
  return ParsePatientsFile(*text, path, pseudonymise, covariates);
}

} // namespace sinkview
