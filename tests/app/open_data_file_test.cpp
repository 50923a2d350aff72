// A data file named on the command line is opened as a click in File1
// opens it: its folder listed, the file selected, the series loaded.

#include <QDir>
#include <QListWidget>
#include <QTemporaryDir>
#include <fstream>
#include <gtest/gtest.h>

#include "app/main_window.h"

using namespace sinkview;

TEST(OpenDataFile, ListsItsFolderSelectsAndLoadsItOrReportsIt) {
  QTemporaryDir dir;
  ASSERT_TRUE(QDir(dir.path()).mkpath("other"));
  std::ofstream((dir.filePath("other") + "/broken.vok").toStdString()) << "[X-ray]\n\"A\",\"B\"\n";
  const QString examples = SINKVIEW_SOURCE_DIR "/examples";
  MainWindow main(kMainEdition, {dir.path().toStdString() + "/", dir.filePath("SINKVIEW.INI").toStdString(),
                                 dir.path().toStdString()});
  std::vector<UserMessage> messages;
  main.setMessageSink([&](const UserMessage& m) { messages.push_back(m); });
  auto* file1 = main.findChild<QListWidget*>("File1");
  ASSERT_NE(file1, nullptr);
  const auto selected = [&] { return file1->currentItem() ? file1->currentItem()->text() : QString(); };

  main.openDataFile(examples + "/mueller_otto_right.vok");
  EXPECT_EQ(main.currentFolder(), examples);
  EXPECT_EQ(selected(), "mueller_otto_right.vok");
  EXPECT_EQ(main.model().PatientCode, "M\xFCller Otto OM-1937");
  EXPECT_TRUE(messages.empty());

  // A bad file gets the load handler's message and the series stays.
  for (const QString& bad : {dir.filePath("other/broken.vok"), dir.filePath("gone/missing.vok")}) {
    main.openDataFile(bad);
    EXPECT_EQ(main.model().PatientCode, "M\xFCller Otto OM-1937") << bad.toStdString();
  }
  EXPECT_EQ(main.currentFolder(), dir.filePath("other")) << "a folder that is gone is not entered";
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_TRUE(messages[0].text.contains("broken.vok"));
  EXPECT_TRUE(messages[1].text.contains("missing.vok"));
}
