#pragma once
// A window text kept in a table: its Chinese source text, looked up in the
// installed translation each time it is shown. The tables are built before
// main() runs, so they hold the source only; the lookup has to wait until
// the translator is in place.

#include <QCoreApplication>
#include <QString>

#include <utility>

namespace gb::ui {

struct UiText {
    const char* context;
    const char* source; // UTF-8, marked for lupdate with QT_TRANSLATE_NOOP

    QString text() const { return QCoreApplication::translate(context, source); }
    operator QString() const { return text(); } // NOLINT(google-explicit-constructor): a table text is a text

    template <typename... Args> QString arg(Args&&... args) const
    {
        return text().arg(std::forward<Args>(args)...);
    }
};

} // namespace gb::ui
