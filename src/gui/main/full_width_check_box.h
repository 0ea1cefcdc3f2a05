#pragma once
// A check box that answers a click anywhere in its rectangle, as a Windows
// check box does, not only on its box and caption: "搜索子目录" is as wide
// as its design width for the pointer too.

#include <QCheckBox>

namespace gb {

class FullWidthCheckBox : public QCheckBox {
    Q_OBJECT
public:
    using QCheckBox::QCheckBox;

protected:
    bool hitButton(const QPoint& position) const override { return rect().contains(position); }
};

} // namespace gb
