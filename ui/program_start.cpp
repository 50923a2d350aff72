#include "ui/program_start.h"

#include <QString>
#include <QtGlobal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <utility>
#include <vector>

namespace sinkview {

namespace {

const char* g_program = "";
const char* g_what = "";
const char* g_instead = "";
std::vector<std::pair<QtMsgType, QString>> g_held;
QtMessageHandler g_usual = nullptr;

void Hold(QtMsgType type, const QMessageLogContext&, const QString& message) {
  if (type == QtFatalMsg) {
    std::fprintf(stderr, "%s: %s needs a graphical session (no display found); %s works without one.\n",
                 g_program, g_what, g_instead);
    std::_Exit(1);
  }
  g_held.emplace_back(type, message);
}

} // namespace

bool AsksForHelpOrVersion(int argc, char** argv) {
  for (int a = 1; a < argc; ++a) {
    const std::string_view arg = argv[a];
    if (arg == "--") break;
    if (arg == "-h" || arg == "--help" || arg == "--help-all" || arg == "-v" || arg == "--version")
      return true;
  }
  return false;
}

void HoldStartMessages(const char* argv0, const char* what, const char* instead) {
  g_program = argv0 ? argv0 : "";
  if (const char* slash = std::strrchr(g_program, '/')) g_program = slash + 1;
  g_what = what;
  g_instead = instead;
  g_usual = qInstallMessageHandler(Hold);
}

void EndStartMessages() {
  qInstallMessageHandler(g_usual);
  for (const auto& [type, message] : g_held) qt_message_output(type, QMessageLogContext(), message);
  g_held.clear();
}

std::unique_ptr<QApplication> StartApplication(int& argc, char** argv, QCommandLineParser& parser,
                                               const char* what, const char* instead) {
  if (AsksForHelpOrVersion(argc, argv)) {
    QCoreApplication noDisplay(argc, argv);
    parser.process(noDisplay); // prints and ends the program
  }
  HoldStartMessages(argv[0], what, instead);
  auto app = std::make_unique<QApplication>(argc, argv);
  EndStartMessages();
  return app;
}

} // namespace sinkview
