#include "gui/common/drawn_icon.h"

#include <QApplication>
#include <QIconEngine>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>

#include <cmath>

namespace gb::ui {

namespace {

class DrawnIconEngine : public QIconEngine {
public:
    DrawnIconEngine(IconDrawing draw, QList<QSize> natural)
        : draw_(std::move(draw)), natural_(std::move(natural))
    {
    }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override
    {
        const qreal ratio = painter->device() != nullptr ? painter->device()->devicePixelRatioF() : 1.0;
        const QSize devicePixels(static_cast<int>(std::lround(rect.width() * ratio)),
                                 static_cast<int>(std::lround(rect.height() * ratio)));
        painter->drawPixmap(rect, drawn(devicePixels, ratio, mode));
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State) override
    {
        return drawn(size, 1.0, mode);
    }

    // QIcon::pixmap asks for the pixmap of a screen of `scale` by its size
    // in device pixels, and sets its ratio itself.
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State, qreal scale) override
    {
        return drawn(size, scale > 0 ? scale : 1.0, mode);
    }

    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override { return size; }
    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override { return natural_; }
    bool isNull() override { return false; }
    QString key() const override { return QStringLiteral("gb.drawn"); }
    QIconEngine* clone() const override { return new DrawnIconEngine(draw_, natural_); }

private:
    QPixmap drawn(QSize devicePixels, qreal ratio, QIcon::Mode mode) const
    {
        if (devicePixels.isEmpty())
            return {};
        QPixmap pixmap = draw_(devicePixels, ratio);
        if (mode == QIcon::Normal || mode == QIcon::Active)
            return pixmap;
        // Disabled and selected pictures as the style makes them of any other.
        QStyleOption option;
        option.palette = QApplication::palette();
        return QApplication::style()->generatedIconPixmap(mode, pixmap, &option);
    }

    IconDrawing draw_;
    QList<QSize> natural_;
};

} // namespace

QIcon drawnIcon(IconDrawing draw, QList<QSize> natural)
{
    return QIcon(new DrawnIconEngine(std::move(draw), std::move(natural)));
}

QIcon paintedIcon(qreal unit, std::function<void(QPainter&)> paint, QList<QSize> natural)
{
    return drawnIcon(
        [unit, paint = std::move(paint)](QSize devicePixels, qreal ratio) {
            QPixmap pixmap(devicePixels);
            pixmap.fill(Qt::transparent);
            QPainter p(&pixmap); // in device pixels; the ratio is set once painted
            p.setRenderHint(QPainter::Antialiasing);
            p.scale(devicePixels.width() / unit, devicePixels.height() / unit);
            paint(p);
            p.end();
            pixmap.setDevicePixelRatio(ratio);
            return pixmap;
        },
        std::move(natural));
}

} // namespace gb::ui
