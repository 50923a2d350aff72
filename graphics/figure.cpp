#include "graphics/figure.h"

#include <QFileInfo>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>
#include <algorithm>
#include <functional>
#include <stdexcept>
#include <string>
#include <sys/resource.h>
#include <unistd.h>

#include "graphics/diagram_assignment.h"
#include "graphics/graf_layout.h"
#include "model/reader_text.h"
#include "table/table_text.h"
#include "ui/design_units.h"
#include "ui/painter_surface.h"
#include "ui/rendered_file.h"

namespace sinkview {

namespace {

// Device-independent pixels per inch: figures are laid out like the windows.
constexpr int kDotsPerInch = 96;

QString FromUtf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// A label's text with its top left corner at `at`, lines one below the other.
void DrawLabel(QPainter& painter, QPoint at, const QString& text, QColor colour) {
  painter.setPen(colour);
  const QFontMetricsF metrics(painter.font(), painter.device());
  double y = at.y() + metrics.ascent();
  for (const QString& line : text.split('\n')) {
    painter.drawText(QPointF(at.x(), y), line);
    y += metrics.height();
  }
}

const GrafControl& Control(std::string_view name) {
  for (const GrafControl& control : kGrafControls) {
    if (control.name == name) return control;
  }
  throw std::invalid_argument("no control " + std::string(name));
}

DesignRect PlaceInFigure(std::string_view name, QSize size) {
  const double ratioX = size.width() / static_cast<double>(GraphicsDesignSize().width());
  const double ratioY = size.height() / static_cast<double>(GraphicsDesignSize().height());
  return ResizedRect(Control(name), ratioX, ratioY);
}

// The slash and the red title of each side, and the subsidence title they follow.
struct Follower {
  std::string_view name, title;
};
constexpr Follower kStemCementLabels[] = {
    {"Label7", "Label3"}, {"Label9", "Label3"}, {"Label8", "Label5"}, {"Label10", "Label5"}};

} // namespace

QPoint FigureLabelPosition(std::string_view name, QSize size) {
  DesignRect r = PlaceInFigure(name, size);
  // The window leaves these at their design place while the title moves
  // (as the design has it); a figure keeps the design's distance instead.
  for (const Follower& follower : kStemCementLabels) {
    if (follower.name != name) continue;
    const DesignRect title = PlaceInFigure(follower.title, size);
    const DesignRect& designTitle = Control(follower.title).rect;
    r.left = title.left + (Control(name).rect.left - designTitle.left);
    r.top = title.top + (Control(name).rect.top - designTitle.top);
  }
  return TwipsRect(r.left, r.top, 0, 0).topLeft();
}

QSize GraphicsDesignSize() { return TwipsRect(0, 0, kGrafClientWidth, kGrafClientHeight).size(); }

QSize TableDesignSize() { return TwipsRect(0, 0, kTableClientWidth, kTableClientHeight).size(); }

void DrawGraphicsFigure(QPainter& painter, QSize size, MeasurementModel& model,
                        const std::string& programDirectory) {
  painter.fillRect(QRect(QPoint(0, 0), size), Qt::white);
  const auto place = [&](std::string_view name) { return PlaceInFigure(name, size); };

  for (int number = 1; number <= 5; ++number) {
    const DesignRect r = place("Picture" + std::to_string(number));
    const bool sketch = number == 1;
    painter.save();
    PainterSurface box(painter, QRectF(TwipsRect(r.left, r.top, r.width, r.height)),
                       sketch ? QColor(kSketchBackground.red, kSketchBackground.green, kSketchBackground.blue)
                              : QColor(Qt::white),
                       Qt::black, DesignFont());
    PaintPicture(number, model, programDirectory, box);
    painter.restore();
  }

  painter.setFont(DesignFont());
  const DiagramTitles titles = TitlesForSide(model);
  const auto at = [&](std::string_view name) { return FigureLabelPosition(name, size); };
  DrawLabel(painter, at("Label1"), FromUtf8(kReferenceSystemCaption), Qt::black);
  DrawLabel(painter, at("Label2"), FromUtf8(titles.upperLeft), Qt::black);
  DrawLabel(painter, at("Label3"), FromUtf8(titles.lowerLeft), Qt::black);
  DrawLabel(painter, at("Label4"), FromUtf8(titles.upperRight), Qt::black);
  DrawLabel(painter, at("Label5"), FromUtf8(titles.lowerRight), Qt::black);
  DrawLabel(painter, at("Label6"), FromUtf8(HeaderText(model)), Qt::black);
  if (titles.leftStemCementShown) {
    DrawLabel(painter, at("Label9"), FromUtf8(kSlashCaption), Qt::black);
    DrawLabel(painter, at("Label7"), FromUtf8(titles.stemCement), Qt::red);
  }
  if (titles.rightStemCementShown) {
    DrawLabel(painter, at("Label10"), FromUtf8(kSlashCaption), Qt::black);
    DrawLabel(painter, at("Label8"), FromUtf8(titles.stemCement), Qt::red);
  }
}

void DrawTableFigure(QPainter& painter, QSize size, const MeasurementModel& model) {
  PainterSurface surface(painter, QRectF(QPoint(0, 0), size), Qt::white, Qt::black, DesignFont());
  // The table window's rule: the font grows with the width, and the whole
  // table stays above where the window has its buttons.
  const double textHeight = size.height() * kTableButtonsTop / kTableClientHeight;
  surface.SetFontSize(FittingTableFontSize(
      TableFontSize(DesignFont().pointSizeF(), size.width(), TableDesignSize().width()),
      TableLineCount(model), textHeight,
      [&](double points) { return LineHeight(DesignFont(), points, painter.device()); }));
  RenderTable(model, surface);
}

namespace {

// Whether an image of `size` can be held: refused when its pixels alone
// would take more than half of the memory this process may use.
bool ImageFitsInMemory(QSize size) {
  const double bytes = 4.0 * size.width() * size.height();
  double available =
      static_cast<double>(::sysconf(_SC_PHYS_PAGES)) * static_cast<double>(::sysconf(_SC_PAGESIZE));
  for (const int resource : {RLIMIT_AS, RLIMIT_DATA}) {
    struct rlimit limit {};
    if (::getrlimit(resource, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY)
      available = std::min(available, static_cast<double>(limit.rlim_cur));
  }
  return bytes <= available / 2;
}

// Draws the figure into `out` in the format of `suffix`; "" or the reason
// it could not be drawn. Every step is checked: an image that was never
// drawn must not be written.
std::string Render(const QString& suffix, const QString& title, QSize size,
                   const std::function<void(QPainter&)>& draw, QIODevice& out) {
  QPainter painter;
  if (suffix == "png") {
    if (!ImageFitsInMemory(size)) return "an image this large does not fit in memory";
    QImage image(size, QImage::Format_RGB32);
    if (image.isNull()) return "an image this large does not fit in memory";
    image.setDotsPerMeterX(qRound(kDotsPerInch / 0.0254));
    image.setDotsPerMeterY(qRound(kDotsPerInch / 0.0254));
    if (!painter.begin(&image)) return "it cannot be drawn";
    draw(painter);
    if (!painter.end()) return "it cannot be drawn";
    if (!image.save(&out, "PNG")) return "the image cannot be encoded";
    return "";
  }
  if (suffix == "pdf") {
    QPdfWriter pdf(&out);
    pdf.setResolution(kDotsPerInch);
    pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
    pdf.setPageSize(QPageSize(QSizeF(size) * 72.0 / kDotsPerInch, QPageSize::Point));
    pdf.setTitle(title);
    if (!painter.begin(&pdf)) return "it cannot be drawn";
    draw(painter);
    if (!painter.end()) return "it cannot be drawn";
    return "";
  }
  QSvgGenerator svg;
  svg.setOutputDevice(&out);
  svg.setSize(size);
  svg.setViewBox(QRect(QPoint(0, 0), size));
  svg.setResolution(kDotsPerInch);
  if (!painter.begin(&svg)) return "it cannot be drawn";
  draw(painter);
  if (!painter.end()) return "it cannot be drawn";
  return "";
}

} // namespace

MaybeFailure WriteFigure(Figure figure, const std::string& path, QSize size, MeasurementModel& model,
                         const std::string& programDirectory) {
  const QString name = QString::fromLocal8Bit(path);
  const QString suffix = QFileInfo(name).suffix().toLower();
  if (suffix != "png" && suffix != "pdf" && !(suffix == "svg" && figure == Figure::Graphics)) {
    return Failure{ShownFileName(path) + ": the figure's name must end in .png, .pdf" +
                   std::string(figure == Figure::Graphics ? " or .svg." : ".")};
  }
  const auto draw = [&](QPainter& painter) {
    if (figure == Figure::Graphics) {
      DrawGraphicsFigure(painter, size, model, programDirectory);
    } else {
      DrawTableFigure(painter, size, model);
    }
  };
  const auto refused = [&](const std::string& reason) {
    return Failure{ShownFileName(path) + ": the figure of " + std::to_string(size.width()) + " x " +
                   std::to_string(size.height()) + " pixels is not written (" + reason +
                   "). An older file of that name is unchanged."};
  };
  return WriteRenderedFile(
      path,
      [&](QIODevice& out) { return Render(suffix, QFileInfo(name).completeBaseName(), size, draw, out); },
      refused);
}

} // namespace sinkview
