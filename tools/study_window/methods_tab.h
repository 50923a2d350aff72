#pragma once

#include <QWidget>

class QTextEdit;

namespace sinkview {

class StudyWindow;

// The study window's "Methods and results" tab: methods.md and results.md
// of the study shown, with the model as far as it is fitted, made anew
// each time the tab is shown; a button copies the text. The software and
// the data's fingerprint come with the saved files.
class MethodsTab : public QWidget {
public:
  MethodsTab(const StudyWindow& window, QWidget* parent = nullptr);
  // Makes the text anew from the study and the model as they are now.
  void Refresh();
  // The Markdown shown, as the button copies it.
  QString Text() const;

protected:
  void showEvent(QShowEvent* event) override;

private:
  const StudyWindow& window_;
  QTextEdit* text_;
  QString markdown_;
};

} // namespace sinkview
