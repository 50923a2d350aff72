#include "graphics/graf_window.h"

#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <functional>

#include "graphics/diagram_assignment.h"
#include "graphics/graf_layout.h"
#include "hardcopy/hardcopy.h"
#include "ui/design_units.h"
#include "ui/painter_surface.h"

namespace sinkview {

namespace {

constexpr int kPictures = 5;
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

GrafWindow::GrafWindow(PreparedSeries prepared, const std::string& caption, std::string programDirectory,
                       QWidget* parent)
    : SeriesWindow(std::move(prepared), caption, QStringLiteral("Graf"), parent),
      programDirectory_(std::move(programDirectory)) {

  for (int number = 1; number <= kPictures; ++number) {
    const bool sketch = number == 1;
    Add(new PictureBox(
        this,
        sketch ? QColor(kSketchBackground.red, kSketchBackground.green, kSketchBackground.blue)
               : QColor(Qt::white),
        sketch ? QColor(Qt::black) : palette().color(QPalette::WindowText),
        [this, number](Surface& box) { PaintPicture(number, model(), programDirectory_, box); }));
  }
  auto* fileMenu = new QPushButton(ToQString(kFileMenuCaption), this);
  auto* print = new QPushButton(ToQString(kPrintGraphicsCaption), this);
  Add(fileMenu);
  Add(print);
  connect(fileMenu, &QPushButton::clicked, this, &QWidget::close);
  connect(print, &QPushButton::clicked, this,
          [this] { PrintHardcopyAndReport(this, ProposedPdfPath(model(), QStringLiteral("graphics"))); });

  const DiagramTitles titles = TitlesForSide(model());
  AddLabel(kReferenceSystemCaption);
  for (const std::string* title :
       {&titles.upperLeft, &titles.lowerLeft, &titles.upperRight, &titles.lowerRight})
    AddLabel(*title);
  AddLabel(HeaderText(model()));
  QLabel* stemCement[] = {AddLabel(titles.stemCement), AddLabel(titles.stemCement)};
  for (QLabel* label : stemCement) {
    QPalette red = label->palette();
    red.setColor(QPalette::WindowText, QColor(255, 0, 0));
    label->setPalette(red);
  }
  QLabel* slash[] = {AddLabel(kSlashCaption), AddLabel(kSlashCaption)};
  stemCement[0]->setVisible(titles.leftStemCementShown);
  slash[0]->setVisible(titles.leftStemCementShown);
  stemCement[1]->setVisible(titles.rightStemCementShown);
  slash[1]->setVisible(titles.rightStemCementShown);

  // Keyboard focus: the two buttons, then the picture boxes; it starts on
  // the first button, so no box is framed until Tab reaches it.
  fileMenu->setFocus();
  setTabOrder(fileMenu, print);
  QWidget* previous = print;
  for (int i = 0; i < kPictures; ++i) {
    setTabOrder(previous, controls_[i]);
    previous = controls_[i];
  }

  resize(TwipsToPixels(kGrafClientWidth), TwipsToPixels(kGrafClientHeight));
  PlaceControls();
}

void GrafWindow::Add(QWidget* control) {
  control->setObjectName(ToQString(kGrafControls.at(controls_.size()).name));
  controls_.push_back(control);
}

QLabel* GrafWindow::AddLabel(std::string_view text) {
  auto* label = new QLabel(ToQString(text), this);
  label->setTextFormat(Qt::PlainText); // a patient code is never markup
  label->adjustSize();
  Add(label);
  return label;
}

void GrafWindow::resizeEvent(QResizeEvent* event) {
  SeriesWindow::resizeEvent(event);
  PlaceControls();
  // All five boxes redraw for their new size, in the order of their numbers.
  for (int i = 0; i < kPictures; ++i) controls_[i]->update();
}

void GrafWindow::PlaceControls() {
  const double ratioX = width() / static_cast<double>(TwipsToPixels(kGrafClientWidth));
  const double ratioY = height() / static_cast<double>(TwipsToPixels(kGrafClientHeight));
  for (std::size_t i = 0; i < controls_.size(); ++i) {
    const GrafControl& design = kGrafControls[i];
    const DesignRect r = ResizedRect(design, ratioX, ratioY);
    if (design.resize == OnResize::Rectangle) {
      controls_[i]->setGeometry(TwipsRect(r.left, r.top, r.width, r.height));
    } else {
      controls_[i]->move(TwipsRect(r.left, r.top, 0, 0).topLeft());
    }
  }
}

} // namespace sinkview
