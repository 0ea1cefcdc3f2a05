#include "app/status_line.h"

namespace gb {

StatusLine::StatusLine(QWidget* parent) : QLabel(parent)
{
    setMouseTracking(true);
    setFrameShape(QFrame::StyledPanel);
    setFrameShadow(QFrame::Sunken);
    setTextFormat(Qt::PlainText);
    setAccessibleName(QStringLiteral("status"));
}

void StatusLine::mouseMoveEvent(QMouseEvent* event)
{
    emit hovered();
    QLabel::mouseMoveEvent(event);
}

} // namespace gb
