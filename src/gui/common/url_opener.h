#pragma once
// Hands a URL (a web page, a "mailto:" address) to the desktop. Windows hold
// an opener they are given, so tests can put one in that only counts calls.

#include <QUrl>

namespace gb::ui {

class UrlOpener {
public:
    virtual ~UrlOpener() = default;
    virtual void open(const QUrl& url) = 0;
};

// QDesktopServices::openUrl: the desktop's browser or mail program.
UrlOpener& desktopOpener();

} // namespace gb::ui
