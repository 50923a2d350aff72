#include "rrunner/model_results.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <functional>

#include "base/csv_records.h"
#include "base/reader_text.h"
#include "base/small_text_file.h"
#include "study/csv_columns.h"

namespace sinkview {

namespace {

// The fields of one row by column name, with the file and line for messages.
class Row {
public:
  Row(const std::vector<std::string>& header, const CsvRecord& record, const std::string& shown)
      : header_(header), record_(record), shown_(shown) {}

  const std::string& Text(std::string_view column) const { return record_.fields[Index(column)]; }

  // Empty is missing; anything else must be a whole number in R's form.
  std::optional<double> Number(std::string_view column) const {
    const std::string& text = Text(column);
    if (text.empty()) return std::nullopt;
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) {
      failure_ = Failure{shown_ + ": line " + std::to_string(record_.line) + ": column " +
                         std::string(column) + " holds \"" + text + "\", which is no number."};
    }
    return value;
  }

  // A count: a whole number from 0 to a billion.
  int Count(std::string_view column) const {
    const std::optional<double> value = Number(column);
    if (value && *value >= 0 && *value <= 1e9 && *value == std::floor(*value))
      return static_cast<int>(*value);
    if (!failure_) {
      failure_ = Failure{shown_ + ": line " + std::to_string(record_.line) + ": column " +
                         std::string(column) + " holds \"" + Text(column) + "\", which is no count."};
    }
    return 0;
  }

  // A count, or none where the field is empty.
  std::optional<int> OptionalCount(std::string_view column) const {
    if (Text(column).empty()) return std::nullopt;
    return Count(column);
  }

  const std::optional<Failure>& failure() const { return failure_; }

private:
  std::size_t Index(std::string_view column) const {
    for (std::size_t i = 0; i < header_.size(); ++i) {
      if (header_[i] == column) return i;
    }
    return 0; // never: the header was checked
  }

  const std::vector<std::string>& header_;
  const CsvRecord& record_;
  const std::string& shown_;
  mutable std::optional<Failure> failure_;
};

// Reads `name` in `folder` and hands each row to `take`, after checking
// that the header holds the dictionary's columns and every row is as long
// as the header.
Expected<void, Failure> ReadTable(const std::string& folder, std::string_view name,
                                  const std::function<void(const Row&)>& take) {
  const std::string path = (std::filesystem::path(folder) / name).native();
  const std::string shown = ShownFileName(path);
  const auto text = ReadSmallTextFile(path, kMaxModelFileBytes);
  if (!text) return Unexpected(text.error());
  const auto table = ReadCsvRecords(*text, shown);
  if (!table) return Unexpected(table.error());
  if (table->records.empty()) return Unexpected(Failure{shown + ": the file is empty."});
  const std::vector<std::string>& header = table->records.front().fields;
  for (const CsvColumn& column : ColumnsOf(name).columns) {
    if (std::find(header.begin(), header.end(), column.name) == header.end())
      return Unexpected(Failure{shown + ": line 1: no column " + std::string(column.name) + "."});
  }
  for (std::size_t r = 1; r < table->records.size(); ++r) {
    const CsvRecord& record = table->records[r];
    if (record.fields.size() != header.size()) {
      return Unexpected(Failure{shown + ": line " + std::to_string(record.line) + ": " +
                                std::to_string(record.fields.size()) + " fields where the header has " +
                                std::to_string(header.size()) + "."});
    }
    const Row row(header, record, shown);
    take(row);
    if (row.failure()) return Unexpected(*row.failure());
  }
  return {};
}

} // namespace

Expected<ModelResults, Failure> ReadModelResults(const std::string& folder) {
  ModelResults results;
  auto estimates = ReadTable(folder, kModelCsv, [&](const Row& row) {
    results.estimates.push_back({row.Text("analysis"), row.Text("series"), row.Text("kind"),
                                 row.Text("group"), row.Text("reference_group"), row.Text("visit"),
                                 row.Number("target_months"), row.Number("estimate_mm"), row.Number("se_mm"),
                                 row.Number("df"), row.Number("ci95_low_mm"), row.Number("ci95_high_mm"),
                                 row.Number("p_value"), row.Count("group_number"), row.Count("visit_number"),
                                 row.OptionalCount("reference_group_number")});
  });
  if (!estimates) return Unexpected(estimates.error());
  auto fits = ReadTable(folder, kModelFitCsv, [&](const Row& row) {
    results.fits.push_back({row.Text("analysis"), row.Text("series"), row.Text("structure"),
                            row.Text("df_method"), row.Text("covariates"), row.Text("fallback"),
                            row.Count("hips"), row.Count("observations"), row.Number("sd_intercept_mm"),
                            row.Number("sd_residual_mm"), row.Number("reml_log_likelihood"),
                            row.Number("aic"), row.Text("visit_numbers"), row.Text("sd_by_visit_mm")});
  });
  if (!fits) return Unexpected(fits.error());
  auto tests = ReadTable(folder, kModelTestsCsv, [&](const Row& row) {
    results.tests.push_back({row.Text("analysis"), row.Text("series"), row.Text("term"),
                             row.Number("numerator_df"), row.Number("denominator_df"), row.Number("f_value"),
                             row.Number("p_value")});
  });
  if (!tests) return Unexpected(tests.error());
  return results;
}

} // namespace sinkview
