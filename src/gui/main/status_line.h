#pragma once
// The status bar's one line of text. The pointer moving over it is reported,
// because the window then shows how many icons the catalogue holds.

#include <QLabel>

namespace gb {

class StatusLine : public QLabel {
    Q_OBJECT
public:
    explicit StatusLine(QWidget* parent = nullptr);

signals:
    void hovered();

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
};

} // namespace gb
