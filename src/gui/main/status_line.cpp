#include "gui/main/status_line.h"

namespace gb {

StatusLine::StatusLine(QWidget* parent) : QLabel(parent)
{
    setMouseTracking(true);
    setFrameShape(QFrame::StyledPanel);
    setFrameShadow(QFrame::Sunken);
    setTextFormat(Qt::PlainText);
    // No fixed accessible name: the line is read by what it shows now.
}

void StatusLine::mouseMoveEvent(QMouseEvent* event)
{
    emit hovered();
    QLabel::mouseMoveEvent(event);
}

} // namespace gb
