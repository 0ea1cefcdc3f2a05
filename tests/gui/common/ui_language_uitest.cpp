// The language the windows speak, chosen from the user's list of languages,
// and the English translation built into the program.

#include "gui/common/ui_language.h"
#include "gui/main/main_window_texts.h"

#include <QCoreApplication>
#include <QtTest>

using gb::ui::chooseUiLanguage;

class UiLanguageTest : public QObject {
    Q_OBJECT
private slots:
    void FirstLanguageWeSpeakWins_data();
    void FirstLanguageWeSpeakWins();
    void EnglishTranslationIsBuiltIn();
    void ChineseShowsTheSourceText();
};

void UiLanguageTest::FirstLanguageWeSpeakWins_data()
{
    QTest::addColumn<QStringList>("uiLanguages");
    QTest::addColumn<QString>("chosen");
    // As QLocale::system().uiLanguages() gives them for LANG and LANGUAGE.
    QTest::newRow("LANG=zh_CN.UTF-8") << QStringList{"zh-CN", "zh-Hans-CN", "zh"} << "zh_CN";
    QTest::newRow("LANG=zh_SG") << QStringList{"zh-SG", "zh-Hans-SG", "zh"} << "zh_CN";
    QTest::newRow("LANGUAGE=zh_TW") << QStringList{"zh-TW", "zh-Hant-TW"} << "zh_TW";
    QTest::newRow("LANG=zh_HK") << QStringList{"zh-HK", "zh-Hant-HK", "zh"} << "zh_TW";
    QTest::newRow("bare zh") << QStringList{"zh"} << "zh_CN";
    QTest::newRow("LANG=C") << QStringList{"C"} << "zh_CN";
    QTest::newRow("LANG=POSIX") << QStringList{"POSIX"} << "zh_CN";
    QTest::newRow("nothing set") << QStringList{} << "en";
    QTest::newRow("LANG=en_US.UTF-8") << QStringList{"en-US", "en-Latn-US", "en"} << "en";
    QTest::newRow("LANG=en_GB") << QStringList{"en-GB", "en-Latn-GB", "en"} << "en";
    QTest::newRow("LANG=de_DE.UTF-8") << QStringList{"de-DE", "de-Latn-DE", "de"} << "en";
    QTest::newRow("LANG=ja_JP") << QStringList{"ja-JP", "ja-Jpan-JP", "ja"} << "en";
    QTest::newRow("LANGUAGE=fr:zh_CN")
        << QStringList{"fr", "fr-Latn-FR", "fr-FR", "zh-CN", "zh-Hans-CN", "zh"} << "zh_CN";
    QTest::newRow("LANGUAGE=fr:en:zh_CN") << QStringList{"fr", "en", "zh-CN"} << "en";
    QTest::newRow("LANGUAGE=de:C") << QStringList{"de", "C"} << "zh_CN";
    QTest::newRow("POSIX spelling zh_CN.UTF-8") << QStringList{"zh_CN.UTF-8"} << "zh_CN";
    QTest::newRow("Chinese is not Zhuang (za)") << QStringList{"za-CN"} << "en";
}

void UiLanguageTest::FirstLanguageWeSpeakWins()
{
    QFETCH(QStringList, uiLanguages);
    QFETCH(QString, chosen);
    QCOMPARE(chooseUiLanguage(uiLanguages), chosen);
}

void UiLanguageTest::EnglishTranslationIsBuiltIn()
{
    gb::ui::installUiTranslations(*QCoreApplication::instance(), QStringLiteral("en"));
    QCOMPARE(QString(gb::texts::kStart), QStringLiteral("Search"));
    QCOMPARE(gb::texts::result(3), QStringLiteral("Found: 3 icons"));
    gb::ui::installUiTranslations(*QCoreApplication::instance(), QStringLiteral("zh_CN"));
}

void UiLanguageTest::ChineseShowsTheSourceText()
{
    gb::ui::installUiTranslations(*QCoreApplication::instance(), QStringLiteral("en"));
    gb::ui::installUiTranslations(*QCoreApplication::instance(), QStringLiteral("zh_CN"));
    QCOMPARE(QString(gb::texts::kStart), QString::fromUtf8("开始搜索"));
    QCOMPARE(gb::texts::verticalConvertCaption(), QString::fromUtf8("图\n形\n转\n换\n压\n缩"));
}

QTEST_GUILESS_MAIN(UiLanguageTest)
#include "ui_language_uitest.moc"
