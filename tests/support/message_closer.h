#pragma once
// For window tests: closes every message box that comes up, counting them
// and keeping what the last one said, so a test can tell how many a window
// showed and with what title, text and icon.

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>

namespace gb::test {

class MessageCloser : public QObject {
public:
    MessageCloser()
    {
        connect(&timer_, &QTimer::timeout, this, [this] { closeOne(); });
        timer_.start(10);
    }

    // The button clicked on a box that has it (Yes or No on a question);
    // a box without it gets its Ok, else its escape button.
    QMessageBox::StandardButton answer = QMessageBox::Ok;
    int count = 0;
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList texts; // every box's text, in the order they came up

private:
    void closeOne()
    {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || box == last_)
            return;
        last_ = box;
        ++count;
        title = box->windowTitle();
        text = box->text();
        texts << text;
        icon = box->icon();
        QAbstractButton* button = box->button(answer);
        if (button == nullptr)
            button = box->button(QMessageBox::Ok);
        if (button == nullptr)
            button = box->escapeButton();
        if (button != nullptr)
            button->click();
    }

    QTimer timer_;
    QPointer<QMessageBox> last_;
};

} // namespace gb::test
