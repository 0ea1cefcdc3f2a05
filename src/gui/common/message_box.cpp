#include "gui/common/message_box.h"

#include <QMessageBox>

namespace gb::ui {

bool showMessage(QWidget* parent, MessageStyle style, const QString& title, const QString& text)
{
    QMessageBox box(parent);
    box.setWindowTitle(title);
    box.setText(text);
    switch (style) {
    case MessageStyle::Plain: box.setIcon(QMessageBox::NoIcon); break;
    case MessageStyle::Critical: box.setIcon(QMessageBox::Critical); break;
    case MessageStyle::Information: box.setIcon(QMessageBox::Information); break;
    case MessageStyle::Question:
        box.setIcon(QMessageBox::Question);
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        return box.exec() == QMessageBox::Yes;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
    return true;
}

} // namespace gb::ui
