#pragma once
// aboutfrm, the about box: the program's name, version and maker, the web
// address, a mail link to the maker and a label that closes the box. The
// main window shows it modally (exec).

#include <QDialog>

namespace gb::ui {
class UrlOpener;
}

namespace gb::dialogs {

class AboutBox : public QDialog {
    Q_OBJECT

public:
    // `opener` starts the new mail; the program passes gb::ui::desktopOpener().
    explicit AboutBox(ui::UrlOpener& opener, QWidget* parent = nullptr);

private:
    void Label4_Click();
    void Label5_Click();

    ui::UrlOpener& opener_;
};

} // namespace gb::dialogs
