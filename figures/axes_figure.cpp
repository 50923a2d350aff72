#include "figures/axes_figure.h"

#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>
#include <QStringList>
#include <algorithm>
#include <cmath>
#include <optional>
#include <tuple>

#include "graphics/diagram_assignment.h"
#include "graphics/diagram_axes.h"
#include "graphics/graf_scene.h"
#include "ui/design_units.h"
#include "ui/painter_surface.h"
#include "ui/recording_surface.h"

namespace sinkview {

namespace {

constexpr double kTwipsPerInch = 1440, kMmPerInch = 25.4;
// The window's two rows of diagrams share the height as in its design.
constexpr double kUpperShare = 2892.0 / (2892.0 + 2052.0);
// Room on paper the scales take beyond the window's proportions.
constexpr double kScalesHeightMm = 20;

QString Utf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The lines of `text`, each broken at its wide gaps where it is wider than `width`.
QStringList Wrapped(const std::string& text, const QFontMetricsF& metrics, double width) {
  const QString gap(6, ' ');
  QStringList lines;
  for (const QString& line : Utf8(text).split('\n')) {
    QString current;
    for (const QString& whole : line.split(gap)) {
      const QString piece = AsOneLineShowsIt(whole);
      const QString joined = current.isEmpty() ? piece : current + gap + piece;
      if (!current.isEmpty() && metrics.horizontalAdvance(joined) > width) {
        lines << current;
        current = piece;
      } else {
        current = joined;
      }
    }
    lines << current;
  }
  return lines;
}

// The scales' texts: the window's face, plain, at the smallest size a
// journal prints.
QFont AxisFont() {
  QFont font = DesignFont();
  font.setBold(false);
  font.setPointSizeF(7);
  return font;
}

QColor Colour(const std::optional<Rgb>& colour) { return colour ? ToQColor(*colour) : QColor(Qt::black); }

// A diagram of the window, the title above it and the slash and red title
// that follow the title on the stem/cement side.
struct Diagram {
  std::string_view box, title, slash, red;
};
constexpr Diagram kUpper[] = {{"Picture2", "Label2", "", ""}, {"Picture4", "Label4", "", ""}};
constexpr Diagram kLower[] = {{"Picture3", "Label3", "Label9", "Label7"},
                              {"Picture5", "Label5", "Label10", "Label8"}};

class Layout {
public:
  Layout(QPainter& painter, const QRectF& area, const GrafScene& scene)
      : painter_(painter), area_(area), scene_(scene), labelFont_(DesignFont()), axisFont_(AxisFont()),
        label_(labelFont_, painter.device()), axis_(axisFont_, painter.device()),
        dotsPerInch_(painter.device()->logicalDpiX()) {}

  const QFont& labelFont() const { return labelFont_; }
  const QFont& axisFont() const { return axisFont_; }
  const QFontMetricsF& label() const { return label_; }
  const QFontMetricsF& axis() const { return axis_; }
  double LineScale() const { return dotsPerInch_ / static_cast<double>(kDotsPerInch); }

  // Across the width as the window's design has it.
  double X(double twips) const { return area_.left() + twips / kGrafClientWidth * Across(); }
  double Width(std::string_view name) const { return DesignRectOf(name).width / kGrafClientWidth * Across(); }
  // Keeps `pixels` free at the right edge.
  void ReserveRight(double pixels) { reservedRight_ = pixels; }
  // A design distance on paper, as the window keeps it at any size.
  double Paper(double twips) const { return twips / kTwipsPerInch * dotsPerInch_; }

  // Draws a title and its followers from `top`; returns its rows.
  int Title(const Diagram& d, double top, bool draw) {
    const SceneControl& title = scene_.at(d.title);
    const double left = X(DesignRectOf(d.box).left), right = left + Width(d.box);
    int rows = 1;
    const auto put = [&](const SceneControl& c, double x, int row) {
      if (!draw) return;
      painter_.setPen(Colour(c.foreColor));
      painter_.drawText(QPointF(x, top + row * label_.height() + label_.ascent()), Utf8(c.text));
    };
    put(title, left, 0);
    if (d.slash.empty() || !scene_.at(d.slash).visible) return rows;
    const SceneControl& slash = scene_.at(d.slash);
    const SceneControl& red = scene_.at(d.red);
    const double titleLeft = DesignRectOf(d.title).left;
    put(slash, left + Paper(DesignRectOf(d.slash).left - titleLeft), 0);
    double redX = left + Paper(DesignRectOf(d.red).left - titleLeft);
    // A red title that would run into the next box goes under the title.
    if (redX + label_.horizontalAdvance(Utf8(red.text)) > right) {
      redX = left;
      rows = 2;
    }
    put(red, redX, rows - 1);
    return rows;
  }

private:
  QPainter& painter_;
  QRectF area_;
  const GrafScene& scene_;
  QFont labelFont_, axisFont_;
  QFontMetricsF label_, axis_;
  double dotsPerInch_;
  double reservedRight_ = 0;

  double Across() const { return std::max(1.0, area_.width() - reservedRight_); }
};

// The width of the widest value the diagrams' scales write, from their
// scales drawn once unseen: the room left of every diagram.
double WidestValue(const GrafScene& scene, const PreparedSeries& prepared, const QFontMetricsF& axis) {
  double widest = 0;
  for (const Diagram& d : {kUpper[0], kUpper[1], kLower[0], kLower[1]}) {
    RecordingSurface unseen;
    const auto drawn = PaintPicture(scene.at(d.box).picture, prepared, "", unseen);
    if (!drawn) continue;
    for (const AxisValueLabel& label : AxisValueLabels(*drawn))
      widest = std::max(widest, axis.horizontalAdvance(Utf8(label.text)));
  }
  return widest;
}

// Draws a picture box into `rect` as the window does, in lines of the
// window's width on paper; returns its scale.
std::optional<DrawnDiagram> DrawBox(QPainter& painter, const SceneControl& control, const QRectF& rect,
                                    double lineScale, const PreparedSeries& prepared,
                                    const std::string& programDirectory) {
  painter.save();
  PainterSurface box(painter, rect, control.background ? ToQColor(*control.background) : QColor(Qt::white),
                     Colour(control.foreColor), DesignFont());
  box.SetLineScale(lineScale);
  auto drawn = PaintPicture(control.picture, prepared, programDirectory, box);
  painter.restore();
  return drawn;
}

} // namespace

void DrawGraphicsFigureWithAxes(QPainter& painter, const QRectF& area, const PreparedSeries& prepared,
                                const std::string& programDirectory) {
  painter.save();
  painter.fillRect(area, Qt::white);
  const GrafScene scene = MakeGrafScene(prepared);
  Layout layout(painter, area, scene);
  const QFontMetricsF& label = layout.label();
  const QFontMetricsF& axis = layout.axis();
  const double gap = 0.3 * axis.height();

  AxesRoom room;
  room.left = WidestValue(scene, prepared, axis) + axis.horizontalAdvance("00");
  room.top = 1.5 * axis.height();
  room.bottom = 1.3 * axis.height();
  room.right = axis.horizontalAdvance("000");
  room.row = axis.height();
  room.charWidth = axis.horizontalAdvance("0");
  // The last month label stands half beyond the right diagram.
  layout.ReserveRight(room.right / 2);

  // The header, broken where the width needs it.
  painter.setFont(layout.labelFont());
  painter.setPen(Qt::black);
  double y = area.top();
  const double headerLeft = layout.X(DesignRectOf("Label6").left);
  for (const QString& line : Wrapped(scene.at("Label6").text, label, area.right() - headerLeft)) {
    painter.drawText(QPointF(headerLeft, y + label.ascent()), line);
    y += label.height();
  }
  y += gap;

  // Under the diagrams: the sketch's caption, and what their time axes count,
  // each broken into lines within its column.
  const SceneControl& sketchCaption = scene.at("Label1");
  const double sketchLeft = layout.X(DesignRectOf("Picture1").left);
  const QRectF sketchCaptionRect(
      layout.X(DesignRectOf("Label1").left), 0,
      sketchLeft + layout.Width("Picture1") - layout.X(DesignRectOf("Label1").left), area.height());
  constexpr int kSketchCaptionFlags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;
  constexpr int kTimeCaptionFlags = Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap;
  const auto timeCaptionRect = [&](const Diagram& d, double top) {
    return QRectF(layout.X(DesignRectOf(d.box).left) + room.left, top, layout.Width(d.box) - room.left,
                  area.height());
  };
  // What a break assumes, across the whole width under the captions.
  const QString breakNote = Utf8(BreakNote(prepared.model));
  const QRectF breakNoteRect(headerLeft, 0, area.right() - headerLeft, area.height());
  constexpr int kBreakNoteFlags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;
  const double breakNoteHeight =
      breakNote.isEmpty() ? 0 : gap + axis.boundingRect(breakNoteRect, kBreakNoteFlags, breakNote).height();
  const double captionHeight = std::max(
      label.boundingRect(sketchCaptionRect, kSketchCaptionFlags, Utf8(sketchCaption.text)).height(),
      axis.boundingRect(timeCaptionRect(kLower[0], 0), kTimeCaptionFlags, Utf8(kTimeAxisCaption)).height());

  const auto titleRows = [&](const Diagram(&row)[2]) {
    return std::max(layout.Title(row[0], 0, false), layout.Title(row[1], 0, false));
  };
  const int upperRows = titleRows(kUpper), lowerRows = titleRows(kLower);
  const double fixed = (y - area.top()) + (upperRows + lowerRows) * label.height() +
                       2 * (room.top + room.bottom) + gap + captionHeight + breakNoteHeight;
  const double boxes = std::max(2.0, area.height() - fixed);
  const double upperHeight = boxes * kUpperShare, lowerHeight = boxes - upperHeight;
  const double upperTitle = y, upperTop = upperTitle + upperRows * label.height() + room.top;
  const double lowerTitle = upperTop + upperHeight + room.bottom + gap;
  const double lowerTop = lowerTitle + lowerRows * label.height() + room.top;
  const double captionTop = lowerTop + lowerHeight + room.bottom;

  // The sketch first over the height of both rows: the diagrams' scales may
  // reach beside it.
  DrawBox(painter, scene.at("Picture1"),
          QRectF(sketchLeft, upperTop, layout.Width("Picture1"), lowerTop + lowerHeight - upperTop),
          layout.LineScale(), prepared, programDirectory);
  for (const auto& [row, titleTop, top, height] : {std::tuple{&kUpper, upperTitle, upperTop, upperHeight},
                                                   std::tuple{&kLower, lowerTitle, lowerTop, lowerHeight}}) {
    for (const Diagram& d : *row) {
      painter.setFont(layout.labelFont());
      layout.Title(d, titleTop, true);
      room.boxWidth = std::max(1.0, layout.Width(d.box) - room.left);
      room.boxHeight = height;
      const QRectF rect(layout.X(DesignRectOf(d.box).left) + room.left, top, room.boxWidth, room.boxHeight);
      const auto drawn =
          DrawBox(painter, scene.at(d.box), rect, layout.LineScale(), prepared, programDirectory);
      if (!drawn) continue;
      painter.save();
      PainterSurface scales(painter, rect.adjusted(-room.left, -room.top, room.right, room.bottom), Qt::white,
                            Qt::black, layout.axisFont());
      DrawDiagramAxes(*drawn, room, scales);
      painter.restore();
    }
  }

  painter.setFont(layout.labelFont());
  painter.setPen(Colour(sketchCaption.foreColor));
  painter.drawText(sketchCaptionRect.translated(0, captionTop), kSketchCaptionFlags,
                   Utf8(sketchCaption.text));
  painter.setFont(layout.axisFont());
  painter.setPen(Qt::black);
  for (const Diagram& d : kLower)
    painter.drawText(timeCaptionRect(d, captionTop), kTimeCaptionFlags, Utf8(kTimeAxisCaption));
  if (!breakNote.isEmpty())
    painter.drawText(breakNoteRect.translated(0, captionTop + captionHeight + gap), kBreakNoteFlags,
                     breakNote);
  painter.restore();
}

QSize GraphicsFigurePixels(double widthMm) {
  const double heightMm = widthMm * kGrafClientHeight / kGrafClientWidth + kScalesHeightMm;
  const double pixelsPerMm = kPrintDotsPerInch / kMmPerInch;
  return {static_cast<int>(std::lround(widthMm * pixelsPerMm)),
          static_cast<int>(std::lround(heightMm * pixelsPerMm))};
}

} // namespace sinkview
