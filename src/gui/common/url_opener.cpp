#include "gui/common/url_opener.h"

#include <QDesktopServices>

namespace gb::ui {

namespace {
class DesktopOpener : public UrlOpener {
public:
    void open(const QUrl& url) override { QDesktopServices::openUrl(url); }
};
} // namespace

UrlOpener& desktopOpener()
{
    static DesktopOpener opener;
    return opener;
}

} // namespace gb::ui
