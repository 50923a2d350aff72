#include "provenance/software_csv.h"

#include <boost/version.hpp>
#include <openssl/crypto.h>
#include <toml++/toml.h>
#include <xlsxwriter.h>

#include <algorithm>

#include "base/csv_records.h"
#include "study/analysis_script.h"
#include "study/csv_columns.h"
#include "study/csv_text.h"
#include "study/survival_columns.h"

namespace sinkview {

std::vector<std::pair<std::string, std::string>> BuiltComponents() {
  std::vector<std::pair<std::string, std::string>> components = {{"Sinkview", SINKVIEW_VERSION}};
  if (!std::string_view(SINKVIEW_QT_VERSION).empty()) components.emplace_back("Qt", SINKVIEW_QT_VERSION);
  components.emplace_back("toml++", std::to_string(TOML_LIB_MAJOR) + "." + std::to_string(TOML_LIB_MINOR) +
                                        "." + std::to_string(TOML_LIB_PATCH));
  components.emplace_back("Boost", std::to_string(BOOST_VERSION / 100000) + "." +
                                       std::to_string(BOOST_VERSION / 100 % 1000) + "." +
                                       std::to_string(BOOST_VERSION % 100));
  components.emplace_back("libxlsxwriter", LXW_VERSION);
  components.emplace_back("OpenSSL", OpenSSL_version(OPENSSL_VERSION_STRING));
  return components;
}

Expected<SoftwareComponentList, Failure> SoftwareComponents(std::string_view rSoftwareCsv,
                                                            std::string_view survivalSoftwareCsv) {
  auto components = BuiltComponents();
  for (const auto& [name, text] :
       {std::pair{kRSoftwareCsv, rSoftwareCsv}, {kSurvivalSoftwareCsv, survivalSoftwareCsv}}) {
    if (text.empty()) continue;
    const auto table = ReadCsvRecords(std::string(text), std::string(name));
    if (!table) return Unexpected(table.error());
    for (std::size_t r = 1; r < table->records.size(); ++r) {
      const CsvRecord& record = table->records[r];
      if (record.fields.size() != 2)
        return Unexpected(Failure{std::string(name) + ": line " + std::to_string(record.line) +
                                  ": not the two fields component and version."});
      // R itself runs both scripts: listed once, unless the two runs saw two versions.
      const std::pair component{record.fields[0], record.fields[1]};
      if (std::find(components.begin(), components.end(), component) == components.end())
        components.push_back(component);
    }
  }
  return components;
}

std::string SoftwareCsv(const SoftwareComponentList& components) {
  std::string out = CsvHeader(kSoftwareCsv);
  for (const auto& [component, version] : components) {
    AppendCsvField(out, component);
    out += ',';
    AppendCsvField(out, version);
    out += kCsvLineEnd;
  }
  return out;
}

} // namespace sinkview
