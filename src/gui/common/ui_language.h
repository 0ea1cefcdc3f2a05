#pragma once
// Which language the windows speak, and the translators that make them.
//
// The program's texts are written in Chinese, so Chinese needs no
// translation of ours; every other language gets the English one until it
// has its own. Qt's own dialogs and buttons follow with Qt's translation for
// the same language.

#include <QString>
#include <QStringList>

class QCoreApplication;

namespace gb::ui {

// A language the windows can speak: "zh_CN" or "zh_TW" (the source text) or
// "en". uiLanguages is the user's list, most wanted first, as
// QLocale::uiLanguages() gives it (BCP 47 names such as "de-DE", "zh-Hant-TW",
// or "C" for the C/POSIX locale). The first language we speak wins; the
// C/POSIX locale speaks the source text; nothing we speak means English.
QString chooseUiLanguage(const QStringList& uiLanguages);

// True where the language reads the Chinese source text.
bool isSourceLanguage(const QString& language);

// Installs the program's translation (none for the source language) and Qt's
// own for `language` on app, replacing any installed here before.
void installUiTranslations(QCoreApplication& app, const QString& language);

// The language of the user's settings (QLocale::system(), which honours
// LANGUAGE, LC_ALL, LC_MESSAGES and LANG), installed; returns it.
QString installSystemUiTranslations(QCoreApplication& app);

} // namespace gb::ui
