#include "figures/figure.h"

#include <QFileInfo>
#include <QFontMetricsF>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>
#include <algorithm>
#include <functional>
#include <stdexcept>
#include <string>
#include <sys/resource.h>
#include <unistd.h>

#include "base/reader_text.h"
#include "figures/axes_figure.h"
#include "graphics/diagram_assignment.h"
#include "graphics/graf_scene.h"
#include "model/figure_files.h"
#include "table/table_text.h"
#include "ui/design_units.h"
#include "ui/painter_surface.h"
#include "ui/rendered_file.h"

namespace sinkview {

namespace {

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

// The slash and the red title of each side, and the subsidence title they follow.
struct Follower {
  std::string_view name, title;
};
constexpr Follower kStemCementLabels[] = {
    {"Label7", "Label3"}, {"Label9", "Label3"}, {"Label8", "Label5"}, {"Label10", "Label5"}};

// The window's scene at `size`, under the figure's one rule of its own.
GrafScene FigureScene(const PreparedSeries& prepared, QSize size) {
  GrafScene scene =
      MakeGrafScene(prepared, {size.width() / static_cast<double>(GraphicsDesignSize().width()),
                               size.height() / static_cast<double>(GraphicsDesignSize().height())});
  // The window leaves these at their design place while the title moves
  // (as the design has it); a figure keeps the design's distance instead.
  for (const Follower& follower : kStemCementLabels) {
    DesignRect& r = scene.at(follower.name).rect;
    const DesignRect& title = scene.at(follower.title).rect;
    r.left = title.left + (DesignRectOf(follower.name).left - DesignRectOf(follower.title).left);
    r.top = title.top + (DesignRectOf(follower.name).top - DesignRectOf(follower.title).top);
  }
  return scene;
}

QPoint TopLeft(const SceneControl& control) {
  return TwipsRect(control.rect.left, control.rect.top, 0, 0).topLeft();
}

} // namespace

QPoint FigureLabelPosition(std::string_view name, QSize size) {
  return TopLeft(FigureScene(PreparedSeries{}, size).at(name));
}

QSize GraphicsDesignSize() { return TwipsRect(0, 0, kGrafClientWidth, kGrafClientHeight).size(); }

QSize TableDesignSize() { return TwipsRect(0, 0, kTableClientWidth, kTableClientHeight).size(); }

void DrawGraphicsFigure(QPainter& painter, QSize size, const PreparedSeries& prepared,
                        const std::string& programDirectory) {
  painter.fillRect(QRect(QPoint(0, 0), size), Qt::white);
  const GrafScene scene = FigureScene(prepared, size);
  // The boxes, then the labels; a figure shows no buttons.
  for (const SceneControl& control : scene.controls) {
    if (control.kind != ControlKind::PictureBox) continue;
    const DesignRect& r = control.rect;
    painter.save();
    PainterSurface box(painter, QRectF(TwipsRect(r.left, r.top, r.width, r.height)),
                       control.background ? ToQColor(*control.background) : QColor(Qt::white),
                       control.foreColor ? ToQColor(*control.foreColor) : QColor(Qt::black), DesignFont());
    PaintPicture(control.picture, prepared, programDirectory, box);
    painter.restore();
  }
  painter.setFont(DesignFont());
  for (const SceneControl& control : scene.controls) {
    if (control.kind != ControlKind::Label || !control.visible) continue;
    DrawLabel(painter, TopLeft(control), FromUtf8(control.text),
              control.foreColor ? ToQColor(*control.foreColor) : QColor(Qt::black));
  }
}

void DrawTableFigure(QPainter& painter, QSize size, const PreparedSeries& prepared) {
  PainterSurface surface(painter, QRectF(QPoint(0, 0), size), Qt::white, Qt::black, DesignFont());
  // The table window's rule: the font grows with the width, and the whole
  // table stays above where the window has its buttons.
  const double textHeight = size.height() * kTableButtonsTop / kTableClientHeight;
  surface.SetFontSize(FittingTableFontSize(
      TableFontSize(DesignFont().pointSizeF(), size.width(), TableDesignSize().width()),
      TableLineCount(prepared.model), textHeight,
      [&](double points) { return LineHeight(DesignFont(), points, painter.device()); }));
  RenderTable(prepared, surface);
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

void SetDotsPerInch(QImage& image, int dotsPerInch) {
  image.setDotsPerMeterX(qRound(dotsPerInch / 0.0254));
  image.setDotsPerMeterY(qRound(dotsPerInch / 0.0254));
}

// The figure as a PNG or TIFF of `pixels` at `fileDotsPerInch`: laid out at
// `dotsPerInch` and scaled to the file's resolution, so a TIFF is drawn at
// its resolution rather than enlarged.
std::string RenderImage(FigureFormat format, QSize pixels, int dotsPerInch, int fileDotsPerInch,
                        const std::function<void(QPainter&)>& draw, QIODevice& out) {
  const bool tiff = format == FigureFormat::Tiff;
  if (tiff && !QImageWriter::supportedImageFormats().contains("tiff"))
    return "Qt's TIFF image plugin is not installed: Debian's qt6-image-formats-plugins";
  if (!ImageFitsInMemory(pixels)) return "an image this large does not fit in memory";
  QImage image(pixels, QImage::Format_RGB32);
  if (image.isNull()) return "an image this large does not fit in memory";
  SetDotsPerInch(image, dotsPerInch); // the fonts' points as the layout has them
  QPainter painter;
  if (!painter.begin(&image)) return "it cannot be drawn";
  const double scale = fileDotsPerInch / static_cast<double>(dotsPerInch);
  painter.scale(scale, scale);
  draw(painter);
  if (!painter.end()) return "it cannot be drawn";
  SetDotsPerInch(image, fileDotsPerInch);
  QImageWriter writer(&out, tiff ? "tiff" : "png");
  if (tiff) writer.setCompression(1); // the TIFF plugin's LZW
  if (!writer.write(image)) return "the image cannot be encoded";
  return "";
}

// Draws the figure into `out` in `format`; "" or the reason it could not be
// drawn. Every step is checked: an image that was never drawn must not be
// written.
std::string Render(FigureFormat format, const QString& title, QSize size, QSize pixels, int dotsPerInch,
                   int fileDotsPerInch, const std::function<void(QPainter&)>& draw, QIODevice& out) {
  if (format == FigureFormat::Png || format == FigureFormat::Tiff)
    return RenderImage(format, pixels, dotsPerInch, fileDotsPerInch, draw, out);
  QPainter painter;
  if (format == FigureFormat::Pdf) {
    QPdfWriter pdf(&out);
    pdf.setResolution(dotsPerInch);
    pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
    pdf.setPageSize(QPageSize(QSizeF(size) * 72.0 / dotsPerInch, QPageSize::Point));
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
  svg.setResolution(dotsPerInch);
  if (!painter.begin(&svg)) return "it cannot be drawn";
  draw(painter);
  if (!painter.end()) return "it cannot be drawn";
  return "";
}

} // namespace

Expected<AtomicFile, Failure> DrawingInTemporary(const OutputFile& target, QSize size,
                                                 const std::function<void(QPainter&)>& draw,
                                                 int dotsPerInch) {
  const std::string& path = target.Path();
  const std::optional<FigureFormat> format = FigureFormatOf(path);
  if (!format)
    return Unexpected(
        Failure{ShownFileName(path) + ": the figure's name must end in " + FigureEndings() + "."});
  // A TIFF keeps the figure's size on paper at the resolution journals ask for.
  const int fileDotsPerInch = *format == FigureFormat::Tiff ? kTiffDotsPerInch : dotsPerInch;
  const QSize pixels = (QSizeF(size) * fileDotsPerInch / static_cast<double>(dotsPerInch)).toSize();
  const auto refused = [&](const std::string& reason) {
    return Failure{ShownFileName(path) + ": the figure of " + std::to_string(pixels.width()) + " x " +
                   std::to_string(pixels.height()) + " pixels is not written (" + reason +
                   "). An older file of that name is unchanged."};
  };
  const QString title = QFileInfo(QString::fromLocal8Bit(path)).completeBaseName();
  return RenderToTemporary(
      target,
      [&](QIODevice& out) {
        return Render(*format, title, size, pixels, dotsPerInch, fileDotsPerInch, draw, out);
      },
      refused);
}

Expected<void, Failure> WriteFigure(Figure figure, const std::string& path, QSize size,
                                    const PreparedSeries& prepared, const std::string& programDirectory,
                                    int dotsPerInch) {
  const bool svg = figure != Figure::Table;
  const std::optional<FigureFormat> format = FigureFormatOf(path);
  if (!format || (*format == FigureFormat::Svg && !svg))
    return Unexpected(
        Failure{ShownFileName(path) + ": the figure's name must end in " + FigureEndings(svg) + "."});
  auto drawn = DrawingInTemporary(
      path, size,
      [&](QPainter& painter) {
        switch (figure) {
        case Figure::Graphics:
          DrawGraphicsFigure(painter, size, prepared, programDirectory);
          break;
        case Figure::GraphicsWithAxes:
          DrawGraphicsFigureWithAxes(painter, QRectF(QPointF(0, 0), size), prepared, programDirectory);
          break;
        case Figure::Table:
          DrawTableFigure(painter, size, prepared);
          break;
        }
      },
      dotsPerInch);
  if (!drawn) return Unexpected(drawn.error());
  return drawn->Commit();
}

} // namespace sinkview
