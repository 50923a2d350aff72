// inputs.csv against sha256sum over files written here (a data file with a
// second reading, the protocol and a patients file beside the study folder),
// the digests of the bytes a study read, and software.csv with R's rows
// after the built components.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "../support/run_shell.h"
#include "../support/temp_folder.h"
#include "base/content_digest.h"
#include "protocol/patients_file.h"
#include "protocol/read_protocol.h"
#include "provenance/inputs_csv.h"
#include "provenance/software_csv.h"

using namespace sinkview;
using sinkview::testing::Quoted;
namespace fs = std::filesystem;

namespace {

struct WrittenStudy {
  WrittenStudy() {
    fs::create_directories(folder.path / "study/sub");
    fs::create_directories(folder.path / "study/repeat/sub");
    const std::pair<const char*, std::string> files[] = {{"study/sub/a.vok", "first reading of a\r\n"},
                                                         {"study/b.vok", std::string("b\0with a nul", 12)},
                                                         {"study/repeat/sub/a.vok", "second reading of a\n"},
                                                         {"study/study.toml", "title = \"t\"\n"},
                                                         {"patients.csv", ""}};
    for (const auto& [name, bytes] : files) std::ofstream(folder.path / name, std::ios::binary) << bytes;
    result.folders = {(folder.path / "study").native()};
    for (const char* name : {"sub/a.vok", "b.vok"}) {
      PatientSummary& hip = result.patients.emplace_back();
      hip.path = (folder.path / "study" / name).native();
      hip.file = name;
    }
    result.protocol.repeatReadings = (folder.path / "study/repeat").native();
    result.protocol.patientsFile = (folder.path / "patients.csv").native();
    result.repeat.emplace();
    result.repeat->files.push_back(
        {(folder.path / "study/repeat/sub/a.vok").native(), "sub/a.vok", DigestOf("second reading of a\n")});
  }
  std::string Protocol() const { return (folder.path / "study/study.toml").native(); }

  sinkview::testing::TempFolder folder;
  StudyResult result;
};

} // namespace

TEST(Inputs, EveryFileReadWithTheSizeAndHashSha256sumGives) {
  const WrittenStudy study;
  const auto csv = InputsCsv(study.result, study.Protocol());
  ASSERT_TRUE(csv) << csv.error().message;
  std::string expected = "role,path,bytes,sha256\r\n";
  const std::string patientsFile = (study.folder.path / "patients.csv").native();
  const struct {
    const char *role, *shown, *file;
  } rows[] = {{"data", "sub/a.vok", "study/sub/a.vok"},
              {"data", "b.vok", "study/b.vok"},
              {"second_reading", "repeat/sub/a.vok", "study/repeat/sub/a.vok"},
              {"protocol", "study.toml", "study/study.toml"},
              {"patients", patientsFile.c_str(), "patients.csv"}};
  for (const auto& row : rows) {
    std::string out, err;
    ASSERT_EQ(sinkview::testing::RunShell("sha256sum " + Quoted(study.folder.path / row.file),
                                          study.folder.path, out, err),
              0)
        << err;
    expected += std::string(row.role) + "," + row.shown + "," +
                std::to_string(fs::file_size(study.folder.path / row.file)) + "," + out.substr(0, 64) +
                "\r\n";
  }
  EXPECT_EQ(*csv, expected);
  EXPECT_EQ(Sha256Hex(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");

  // Pseudonymised, a second reading is named by its hip.
  StudyResult pseudonymised = study.result;
  pseudonymised.protocol.pseudonymise = true;
  pseudonymised.patients[0].file = "P01-L";
  pseudonymised.repeat->files[0].hipFile = "P01-L";
  const auto named = InputsCsv(pseudonymised, "");
  ASSERT_TRUE(named) << named.error().message;
  EXPECT_EQ(named->find("\r\ndata,P01-L,"), csv->find("\r\ndata,sub/a.vok,")) << *named;
  EXPECT_NE(named->find("\r\nsecond_reading,P01-L,"), std::string::npos) << *named;
  EXPECT_EQ(named->find("study.toml"), std::string::npos) << *named;
}

TEST(Inputs, AFileThatCannotBeReadIsAFailureNamingIt) {
  WrittenStudy study;
  fs::remove(study.folder.path / "study/b.vok");
  const auto csv = InputsCsv(study.result, "");
  ASSERT_FALSE(csv);
  EXPECT_NE(csv.error().message.find("b.vok: cannot be read"), std::string::npos) << csv.error().message;
}

// The files change after the study read them: inputs.csv still records the
// bytes the numbers were made from (those of the unchanged originals).
TEST(Inputs, TheBytesTheStudyReadNotTheFilesAsTheyAreLater) {
  const fs::path original = fs::path(SINKVIEW_TEST_DATA) / "precision_repeat";
  const sinkview::testing::TempFolder folder;
  fs::copy(original, folder.path / "study", fs::copy_options::recursive);
  std::ofstream(folder.path / "study/study.toml") << "title = \"t\"\n";
  std::ofstream(folder.path / "patients.csv") << "file\r\nh1.vok\r\n";
  StudyOptions options;
  options.recursive = true;
  options.protocol.repeatReadings = (folder.path / "study/repeat").native();
  options.protocol.cutoff = std::chrono::year(2025) / 1 / 1;
  options.protocol.patientsFile = (folder.path / "patients.csv").native();
  ASSERT_TRUE(ReadProtocol((folder.path / "study/study.toml").native(), Protocol{}, &options.protocolDigest));
  auto patients =
      ReadPatientsFile(options.protocol.patientsFile, false, std::nullopt, &options.patientsDigest);
  ASSERT_TRUE(patients) << patients.error().message;
  options.patients = std::move(*patients);
  const StudyResult result = RunStudy({(folder.path / "study").native()}, options);
  ASSERT_EQ(result.patients.size(), 1u);
  for (const char* name : {"study/h1.vok", "study/repeat/h1.vok", "study/study.toml", "patients.csv"})
    std::ofstream(folder.path / name, std::ios::app) << "changed\r\n";

  const auto csv = InputsCsv(result, (folder.path / "study/study.toml").native());
  ASSERT_TRUE(csv) << csv.error().message;
  const auto digestOf = [&](const fs::path& file) {
    std::string out, err;
    EXPECT_EQ(sinkview::testing::RunShell("sha256sum " + Quoted(file), folder.path, out, err), 0);
    return std::to_string(fs::file_size(file)) + "," + out.substr(0, 64);
  };
  EXPECT_EQ(*csv, "role,path,bytes,sha256\r\ndata,h1.vok," + digestOf(original / "h1.vok") +
                      "\r\nsecond_reading,repeat/h1.vok," + digestOf(original / "repeat/h1.vok") +
                      "\r\nprotocol,study.toml,12," + Sha256Hex(std::string_view("title = \"t\"\n")) +
                      "\r\npatients," + options.protocol.patientsFile + ",14," +
                      Sha256Hex(std::string_view("file\r\nh1.vok\r\n")) + "\r\n");
}

TEST(Software, RsRowsFollowTheBuiltComponents) {
  const auto components = SoftwareComponents("component,version\r\nR,4.2.2\r\nnlme,3.1.162\r\n");
  ASSERT_TRUE(components) << components.error().message;
  const auto csv = SoftwareCsv(*components);
  EXPECT_EQ(csv.rfind("component,version\r\nSinkview,", 0), 0u) << csv;
  for (const char* component : {"\r\ntoml++,", "\r\nBoost,1.", "\r\nlibxlsxwriter,", "\r\nOpenSSL,"})
    EXPECT_NE(csv.find(component), std::string::npos) << component;
  EXPECT_TRUE(csv.ends_with("\r\nR,4.2.2\r\nnlme,3.1.162\r\n")) << csv;
  EXPECT_FALSE(SoftwareComponents("component,version\r\nR\r\n"));

  // The survival script's packages follow the model's, R not repeated.
  const auto both = SoftwareComponents("component,version\r\nR,4.2.2\r\nnlme,3.1.162\r\n",
                                       "component,version\r\nR,4.2.2\r\nsurvival,3.4.0\r\ncmprsk,2.2.11\r\n");
  ASSERT_TRUE(both) << both.error().message;
  EXPECT_TRUE(
      SoftwareCsv(*both).ends_with("\r\nR,4.2.2\r\nnlme,3.1.162\r\nsurvival,3.4.0\r\ncmprsk,2.2.11\r\n"));
  const auto broken = SoftwareComponents("", "component,version\r\nsurvival\r\n");
  ASSERT_FALSE(broken);
  EXPECT_EQ(broken.error().message.rfind("survival_software.csv: line 2", 0), 0u) << broken.error().message;
}
