#include "gui/common/ui_language.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QRegularExpression>
#include <QTranslator>

// The compiled translations live in a resource of a static library: nothing
// refers to it, so the linker keeps it only when it is initialised by name,
// which has to happen outside any namespace.
static void initTranslationResource()
{
    Q_INIT_RESOURCE(glimmerbox_translations);
}

namespace gb::ui {

namespace {

// Marks the translators installed here, so a second installation replaces them.
const QString kTranslatorName = QStringLiteral("gb-ui-translator");

// The language part of a BCP 47 or POSIX name: "zh" of "zh-Hant-TW" or "zh_CN.UTF-8".
QString primaryLanguage(const QString& name)
{
    const qsizetype end = name.indexOf(QRegularExpression(QStringLiteral("[-_.@]")));
    return name.left(end).toLower();
}

// Traditional script where the name says so, or a region that writes it.
bool isTraditionalChinese(const QString& name)
{
    const QStringList parts = name.split(QRegularExpression(QStringLiteral("[-_.@]")));
    for (const QString& part : parts.sliced(1))
        if (part.compare(QStringLiteral("Hant"), Qt::CaseInsensitive) == 0 ||
            part.compare(QStringLiteral("TW"), Qt::CaseInsensitive) == 0 ||
            part.compare(QStringLiteral("HK"), Qt::CaseInsensitive) == 0 ||
            part.compare(QStringLiteral("MO"), Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

void install(QCoreApplication& app, const QString& file, const QString& folder)
{
    auto* translator = new QTranslator(&app);
    translator->setObjectName(kTranslatorName);
    if (translator->load(file, folder))
        QCoreApplication::installTranslator(translator);
    else
        delete translator; // a missing Qt translation leaves Qt's English: no failure
}

} // namespace

QString chooseUiLanguage(const QStringList& uiLanguages)
{
    for (const QString& name : uiLanguages) {
        const QString language = primaryLanguage(name);
        if (language == u"zh")
            return isTraditionalChinese(name) ? QStringLiteral("zh_TW") : QStringLiteral("zh_CN");
        // The C/POSIX locale: the program as it always spoke.
        if (language == u"c" || language == u"posix")
            return QStringLiteral("zh_CN");
        if (language == u"en")
            return QStringLiteral("en");
    }
    return QStringLiteral("en");
}

bool isSourceLanguage(const QString& language)
{
    return language.startsWith(u"zh");
}

void installUiTranslations(QCoreApplication& app, const QString& language)
{
    static const bool registered = (initTranslationResource(), true);
    Q_UNUSED(registered);
    for (QTranslator* old : app.findChildren<QTranslator*>(kTranslatorName, Qt::FindDirectChildrenOnly)) {
        QCoreApplication::removeTranslator(old);
        delete old;
    }
    if (!isSourceLanguage(language))
        install(app, QStringLiteral("glimmerbox_") + language, QStringLiteral(":/i18n"));
    install(app, QStringLiteral("qtbase_") + language, QLibraryInfo::path(QLibraryInfo::TranslationsPath));
}

QString installSystemUiTranslations(QCoreApplication& app)
{
    const QString language = chooseUiLanguage(QLocale::system().uiLanguages());
    installUiTranslations(app, language);
    return language;
}

} // namespace gb::ui
