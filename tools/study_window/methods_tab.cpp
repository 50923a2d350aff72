#include "tools/study_window/methods_tab.h"

#include <QApplication>
#include <QClipboard>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTextEdit>
#include <QVBoxLayout>

#include "tools/study_window/model_tab.h"
#include "tools/study_window/study_window.h"
#include "writeup/methods_text.h"
#include "writeup/phrasing.h"
#include "writeup/results_text.h"

namespace sinkview {

MethodsTab::MethodsTab(const StudyWindow& window, QWidget* parent) : QWidget(parent), window_(window) {
  auto* layout = new QVBoxLayout(this);
  setObjectName("methods");
  text_ = new QTextEdit(this);
  text_->setObjectName("methodsText");
  text_->setReadOnly(true);
  layout->addWidget(text_, 1);
  auto* buttons = new QHBoxLayout;
  auto* copy = new QPushButton("Copy text", this);
  copy->setObjectName("copyMethods");
  buttons->addStretch(1);
  buttons->addWidget(copy);
  layout->addLayout(buttons);
  connect(copy, &QPushButton::clicked, this, [this] { QApplication::clipboard()->setText(markdown_); });
}

QString MethodsTab::Text() const { return markdown_; }

void MethodsTab::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  Refresh();
}

void MethodsTab::Refresh() {
  const StudyResult* study = window_.Study();
  if (!study) {
    markdown_.clear();
    text_->clear();
    return;
  }
  const ModelTab& model = window_.Model();
  const std::string notFitted = model.Fitting() ? std::string(phrasing::kModelFitting) : model.WhyNotFitted();
  const WriteupInputs inputs{*study, model.Model() ? &model.Model()->results : nullptr, notFitted, nullptr,
                             nullptr};
  markdown_ = QString::fromStdString(MethodsMarkdown(inputs) + "\n" + ResultsMarkdown(inputs));
  text_->setMarkdown(markdown_);
}

} // namespace sinkview
