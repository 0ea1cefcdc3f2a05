#include "gui/main/search_animation.h"

#include <QPainter>
#include <QtMath>

namespace gb {

namespace {
constexpr int kFrameMilliseconds = 80;
constexpr int kFramesPerLoop = 36;
} // namespace

SearchAnimation::SearchAnimation(QWidget* parent) : QWidget(parent)
{
    timer_.setInterval(kFrameMilliseconds);
    connect(&timer_, &QTimer::timeout, this, [this] {
        frame_ = (frame_ + 1) % kFramesPerLoop;
        update();
    });
}

void SearchAnimation::play()
{
    timer_.start();
}

void SearchAnimation::stop()
{
    timer_.stop();
    frame_ = 0;
    update();
}

void SearchAnimation::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF area = rect().adjusted(4, 4, -4, -4);
    // A row of four small "icons" to search through.
    const qreal side = area.width() / 5;
    const QColor colours[] = {QColor(200, 60, 60), QColor(60, 150, 60), QColor(60, 90, 200),
                              QColor(220, 170, 40)};
    for (int i = 0; i < 4; ++i) {
        const QRectF r(area.left() + i * side * 1.25, area.center().y() - side / 2, side, side);
        p.fillRect(r, colours[i]);
    }
    // The magnifier circles over them.
    const qreal angle = 2 * M_PI * frame_ / kFramesPerLoop;
    const QPointF centre(area.center().x() + area.width() * 0.3 * qCos(angle),
                         area.center().y() + area.height() * 0.2 * qSin(angle));
    const qreal radius = area.height() * 0.22;
    p.setPen(QPen(QColor(40, 40, 40), 3));
    p.setBrush(QColor(255, 255, 255, 90));
    p.drawEllipse(centre, radius, radius);
    p.drawLine(centre + QPointF(radius * 0.7, radius * 0.7), centre + QPointF(radius * 1.6, radius * 1.6));
}

} // namespace gb
