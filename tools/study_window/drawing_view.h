#pragma once

#include <QPainter>
#include <QWidget>
#include <functional>

namespace sinkview {

// A drawing on white at the size of its place, drawn anew with it.
class DrawingView : public QWidget {
public:
  using Draw = std::function<void(QPainter& painter, const QRectF& area)>;
  using QWidget::QWidget;

  void Show(Draw draw) {
    draw_ = std::move(draw);
    update();
  }

protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    if (draw_) draw_(painter, QRectF(rect()));
  }

private:
  Draw draw_;
};

} // namespace sinkview
