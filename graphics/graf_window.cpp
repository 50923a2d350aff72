#include "graphics/graf_window.h"

#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <functional>

#include "graphics/diagram_assignment.h"
#include "hardcopy/hardcopy.h"
#include "ui/design_units.h"
#include "ui/painter_surface.h"

namespace sinkview {

namespace {

constexpr int kFocusFrameWidth = 2;

QString ToQString(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// A picture box: it keeps no drawing of its own and draws itself completely
// on every paint, onto a surface over its whole area.
class PictureBox : public QWidget {
public:
  PictureBox(QWidget* parent, QColor background, QColor foreColor, std::function<void(Surface&)> paint)
      : QWidget(parent), background_(background), foreColor_(foreColor), paint_(std::move(paint)) {
    setFocusPolicy(Qt::TabFocus);
  }

protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    {
      PainterSurface surface(painter, QRectF(rect()), background_, foreColor_, font());
      paint_(surface);
    }
    // Tab reaches the boxes, so the one with the focus is framed.
    if (hasFocus()) {
      painter.setClipping(false);
      painter.setRenderHint(QPainter::Antialiasing, false);
      painter.setBrush(Qt::NoBrush);
      painter.setPen(QPen(palette().color(QPalette::Highlight), kFocusFrameWidth));
      painter.drawRect(QRectF(rect()).adjusted(1, 1, -1, -1));
    }
  }

private:
  QColor background_, foreColor_;
  std::function<void(Surface&)> paint_;
};

} // namespace

GrafWindow::GrafWindow(const PreparedSeries& prepared, const std::string& caption,
                       std::string programDirectory, QWidget* parent)
    : SeriesWindow(prepared, caption, QStringLiteral("Graf"), parent),
      programDirectory_(std::move(programDirectory)), scene_(MakeGrafScene(this->prepared())) {
  std::vector<QWidget*> boxes;
  for (const SceneControl& control : scene_.controls) {
    controls_.push_back(Make(control));
    if (control.kind == ControlKind::PictureBox) boxes.push_back(controls_.back());
  }
  auto* fileMenu = findChild<QPushButton*>(QStringLiteral("Command1"));
  auto* print = findChild<QPushButton*>(QStringLiteral("Command2"));
  connect(fileMenu, &QPushButton::clicked, this, &QWidget::close);
  connect(print, &QPushButton::clicked, this,
          [this] { PrintHardcopyAndReport(this, ProposedPdfPath(model(), QStringLiteral("graphics"))); });

  // Keyboard focus: the two buttons, then the picture boxes; it starts on
  // the first button, so no box is framed until Tab reaches it.
  fileMenu->setFocus();
  setTabOrder(fileMenu, print);
  QWidget* previous = print;
  for (QWidget* box : boxes) {
    setTabOrder(previous, box);
    previous = box;
  }

  resize(TwipsToPixels(kGrafClientWidth), TwipsToPixels(kGrafClientHeight));
  PlaceControls();
}

QWidget* GrafWindow::Make(const SceneControl& control) {
  QWidget* widget = nullptr;
  switch (control.kind) {
  case ControlKind::PictureBox:
    widget = new PictureBox(this, ToQColor(control.background.value_or(Rgb{255, 255, 255})),
                            control.foreColor ? ToQColor(*control.foreColor)
                                              : palette().color(QPalette::WindowText),
                            [this, number = control.picture](Surface& box) {
                              PaintPicture(number, prepared(), programDirectory_, box);
                            });
    break;
  case ControlKind::Button:
    widget = new QPushButton(ToQString(control.text), this);
    break;
  case ControlKind::Label: {
    auto* label = new QLabel(ToQString(control.text), this);
    label->setTextFormat(Qt::PlainText); // a patient code is never markup
    label->adjustSize();
    if (control.foreColor) {
      QPalette colours = label->palette();
      colours.setColor(QPalette::WindowText, ToQColor(*control.foreColor));
      label->setPalette(colours);
    }
    widget = label;
    break;
  }
  }
  widget->setObjectName(ToQString(control.name));
  if (!control.visible) widget->hide();
  return widget;
}

void GrafWindow::resizeEvent(QResizeEvent* event) {
  SeriesWindow::resizeEvent(event);
  PlaceControls();
  // All five boxes redraw for their new size, in the order of their numbers.
  for (std::size_t i = 0; i < controls_.size(); ++i) {
    if (scene_.controls[i].kind == ControlKind::PictureBox) controls_[i]->update();
  }
}

void GrafWindow::PlaceControls() {
  scene_.Place({width() / static_cast<double>(TwipsToPixels(kGrafClientWidth)),
                height() / static_cast<double>(TwipsToPixels(kGrafClientHeight))});
  for (std::size_t i = 0; i < controls_.size(); ++i) {
    const SceneControl& control = scene_.controls[i];
    const DesignRect& r = control.rect;
    // Labels size themselves to their text; only their place comes from the scene.
    if (control.kind == ControlKind::Label) {
      controls_[i]->move(TwipsRect(r.left, r.top, 0, 0).topLeft());
    } else {
      controls_[i]->setGeometry(TwipsRect(r.left, r.top, r.width, r.height));
    }
  }
}

} // namespace sinkview
