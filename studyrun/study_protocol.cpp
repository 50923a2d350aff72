#include "studyrun/study_protocol.h"

#include <filesystem>

#include "base/folder_name.h"
#include "base/reader_text.h"
#include "protocol/declared_covariates.h"
#include "protocol/patients_file.h"
#include "protocol/read_protocol.h"
#include "study/repeat_readings.h"

namespace sinkview {

namespace fs = std::filesystem;

namespace {

// The repeat readings' folder, absolute: the command line's, else the
// protocol's relative to the protocol file. It must be a folder inside the
// study's.
Expected<std::string, Failure> RepeatFolder(const StudyCommand& command, const Protocol& protocol) {
  std::string folder = command.repeatReadings;
  std::string named = "--repeat-readings";
  if (folder.empty() && !protocol.repeatReadings.empty()) {
    const std::string file = ProtocolFileOf(command);
    folder = (fs::path(file).parent_path() / protocol.repeatReadings).string();
    named = ShownFileName(file) + ": 'repeat_readings'";
  }
  if (folder.empty()) return std::string();
  std::error_code error;
  if (!fs::is_directory(folder, error))
    return Unexpected(Failure{named + ": " + ShownFileName(folder) + " is no folder"});
  if (command.folders.size() != 1 || !fs::is_directory(command.folders.front(), error))
    return Unexpected(Failure{named + ": repeat readings need the study to be one folder"});
  if (fs::equivalent(folder, command.folders.front(), error))
    return Unexpected(Failure{named + ": " + ShownFileName(folder) + " is the study folder itself"});
  // "/" or ".." would have the whole tree searched, other users' folders too;
  // a folder inside the study's cannot hold it.
  if (!LiesIn(folder, command.folders.front()))
    return Unexpected(Failure{named + ": " + ShownFileName(folder) +
                              " is no folder inside the study folder, where second readings must lie"});
  return fs::absolute(folder, error).lexically_normal().string();
}

} // namespace

std::string ProtocolFileOf(const StudyCommand& command) {
  if (!command.protocolFile.empty()) return command.protocolFile;
  if (command.folders.size() != 1) return {};
  const fs::path beside = fs::path(command.folders.front()) / kProtocolFileName;
  std::error_code error;
  return fs::is_directory(command.folders.front(), error) && fs::exists(beside, error) ? beside.string()
                                                                                       : std::string();
}

Expected<void, Failure> ApplyProtocol(StudyCommand& command, CalendarDate today) {
  // A folder's name as the title goes into the CSV files and the report's
  // title: its control characters are blanks, as in a data file's name.
  Protocol protocol = DefaultProtocol(WithoutControlCharacters(FolderName(command.folders.front())), today);
  command.options.protocolDigest.reset();
  command.options.patientsDigest.reset();
  if (const std::string file = ProtocolFileOf(command); !file.empty()) {
    auto read = ReadProtocol(file, std::move(protocol), &command.options.protocolDigest);
    if (!read) return Unexpected(read.error());
    protocol = std::move(*read);
  }

  // The command line's settings were checked when it was read.
  SettingOptions settings;
  settings.settings = protocol.settings;
  for (std::size_t a = 0; a < command.settingArguments.size(); ++a)
    (void)ConsumeSettingOption(command.settingArguments, a, settings);
  protocol.settings = settings.settings;
  if (command.thresholdGiven) protocol.thresholdMm = command.options.thresholdMm;
  protocol.pseudonymise = protocol.pseudonymise || command.pseudonymise;

  auto repeat = RepeatFolder(command, protocol);
  if (!repeat) return Unexpected(repeat.error());
  protocol.repeatReadings = std::move(*repeat);

  if (!protocol.patientsFile.empty()) {
    auto patients = ReadPatientsFile(protocol.patientsFile, protocol.pseudonymise, protocol.covariates,
                                     &command.options.patientsDigest);
    if (!patients) return Unexpected(patients.error());
    // Pseudonymised, only the covariates the protocol declares are written.
    if (protocol.pseudonymise)
      command.notes =
          KeepDeclaredCovariates(*patients, protocol.covariates.value_or(std::vector<std::string>{}),
                                 ShownFileName(protocol.patientsFile));
    command.options.patients = std::move(*patients);
  }
  command.options.settings = protocol.settings;
  command.options.thresholdMm = protocol.thresholdMm;
  command.options.protocol = std::move(protocol);
  return {};
}

} // namespace sinkview
