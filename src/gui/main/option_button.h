#pragma once
// A graphical option button: it looks like the other buttons of the column,
// picture above caption, and stays down while chosen; one of a group is
// chosen at a time. Screen readers are told it is a radio button, and
// pressing or toggling it through the accessibility bus chooses it as a
// click does.

#include <QToolButton>

namespace gb {

class OptionButton : public QToolButton {
    Q_OBJECT
public:
    explicit OptionButton(QWidget* parent = nullptr);
};

} // namespace gb
