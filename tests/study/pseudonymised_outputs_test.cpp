// sinkview-study pseudonymised with every output it writes: no name of a
// patient and no name of a data file may be in any of them.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "../support/file_contents.h"
#include "../support/run_shell.h"
#include "../support/temp_folder.h"

namespace fs = std::filesystem;
using sinkview::testing::FileContents;
using sinkview::testing::Quoted;
using sinkview::testing::RunShell;

namespace {

#ifdef SINKVIEW_DRAWS_FIGURES
// What a person or a program reads in a file: a PDF's text as pdftotext
// finds it (its streams may be compressed), a workbook's XML, else the bytes.
std::string ReadableText(const fs::path& file, const fs::path& scratch) {
  std::string out, err;
  if (file.extension() == ".pdf")
    RunShell("pdftotext " + Quoted(file) + "-", scratch, out, err);
  else if (file.extension() == ".xlsx")
    RunShell("'" PYTHON3 "' -c 'import sys, zipfile; z = zipfile.ZipFile(sys.argv[1]); "
             "[sys.stdout.buffer.write(z.read(n)) for n in z.namelist()]' " +
                 Quoted(file),
             scratch, out, err);
  else
    out = FileContents(file);
  EXPECT_EQ(err, "") << file;
  return out;
}

TEST(PseudonymisedStudy, NoOutputNamesAPatientOrADataFile) {
  const sinkview::testing::TempFolder folder;
  const fs::path study = folder.path / "trial", out = folder.path / "out";
  fs::copy(fs::path(SINKVIEW_TEST_DATA) / "study_protocol", study);
  // Second readings of two hips, for the precision and the Bland-Altman
  // plot, and one the reader refuses, whose message names its file.
  fs::create_directories(study / "repeat");
  for (const char* hip : {"p01_left.vok", "p01_right.vok"})
    fs::copy_file(study / hip, study / "repeat" / hip);
  std::ofstream(study / "repeat/p03_right.vok") << FileContents(study / "p03_right.vok").substr(0, 40);
  // A file the reader refuses for its two patient's codes, which its message quotes.
  std::string twoCodes = FileContents(study / "p04_left.vok");
  twoCodes.replace(twoCodes.find("\"Durrer\",\"Dora\",\"D4\""), 20, "\"Jost\",\"Jana\",\"J10-1950\"");
  twoCodes.replace(twoCodes.find("\"Durrer\",\"Dora\",\"D4\""), 20, "\"Jost\",\"Jana\",\"J10-1951\"");
  std::ofstream(study / "p10_left.vok") << twoCodes;
  std::ofstream(study / "patients.csv", std::ios::app) << "\np10_left.vok;cemented;P10;2019-01-01;;;;;72\n";
  std::ofstream(study / "study.toml")
      << "patients = \"patients.csv\"\npseudonymise = true\n"
         "repeat_readings = \"repeat\"\ncutoff = 2021-06-30\n"
         "primary_visit = \"12 months\"\n"
         "[[visit]]\nname = \"6 months\"\nmonths = 6\nwindow_months = [3, 9]\n"
         "[[visit]]\nname = \"12 months\"\nmonths = 12\n"
         "window_months = [9, 18]\n";
  std::vector<std::string> secrets = {"Anders", "Anna",   "Brun",   "Bea",  "Cadosch", "Carl",   "Durrer",
                                      "Dora",   "Egli",   "Emil",   "Frei", "Fritz",   "Gasser", "Gina",
                                      "Imhof",  "Ida",    "Zeller", "Zoe",  ".vok",    "stray",  "p08",
                                      "_left",  "_right", "Jost",   "Jana", "J10-195"};

  // Each format of figure once; the report and the workbook each time.
  for (const auto& [figure, blandAltman] :
       {std::pair{"svg", "pdf"}, {"pdf", "png"}, {"png", "tif"}, {"tif", "svg"}}) {
    fs::remove_all(out);
    fs::create_directories(out);
    std::string stdoutText, stderrText;
    const int status =
        RunShell("'" SINKVIEW_STUDY_EXE "' --output-dir " + Quoted(out) + "--figure " +
                     Quoted(out / (std::string("cohort.") + figure)) + "--bland-altman " +
                     Quoted(out / (std::string("agreement.") + blandAltman)) + "--report " +
                     Quoted(out / "report.pdf") + "--workbook " + Quoted(out / "study.xlsx") + Quoted(study),
                 folder.path, stdoutText, stderrText);
    ASSERT_EQ(status, 1) << stderrText; // stray.vok and the row of p08 join nothing
    std::vector<std::pair<std::string, std::string>> texts = {{"stdout", stdoutText}, {"stderr", stderrText}};
    for (const auto& entry : fs::directory_iterator(out))
      texts.emplace_back(entry.path().filename(), ReadableText(entry.path(), folder.path));
    ASSERT_GE(texts.size(), 2u + 16u) << "every output was written";
    for (const auto& [name, text] : texts) {
      EXPECT_FALSE(text.empty()) << name;
      for (const std::string& secret : secrets)
        EXPECT_EQ(text.find(secret), std::string::npos) << secret << " in " << name;
    }
  }
}
#endif

} // namespace
