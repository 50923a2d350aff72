#include "provenance/software_csv.h"

#include <boost/version.hpp>
#include <openssl/crypto.h>
#include <toml++/toml.h>
#include <xlsxwriter.h>

#include "base/csv_records.h"
#include "study/csv_columns.h"
#include "study/csv_text.h"

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

Expected<SoftwareComponentList, Failure> SoftwareComponents(std::string_view rSoftwareCsv) {
  auto components = BuiltComponents();
  if (!rSoftwareCsv.empty()) {
    const auto table = ReadCsvRecords(std::string(rSoftwareCsv), "r_software.csv");
    if (!table) return Unexpected(table.error());
    for (std::size_t r = 1; r < table->records.size(); ++r) {
      const CsvRecord& record = table->records[r];
      if (record.fields.size() != 2)
        return Unexpected(Failure{"r_software.csv: line " + std::to_string(record.line) +
                                  ": not the two fields component and version."});
      components.emplace_back(record.fields[0], record.fields[1]);
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
