// Every window's texts fit their controls, in English and in Chinese: the
// windows keep their classic fixed layout, so a longer translation would
// otherwise be cut off. Every visible button, check box, radio button, label,
// group box title, column header and menu item is measured with the font the
// program uses.

#include "gui/capture/capture_window.h"
#include "gui/common/ui_language.h"
#include "gui/common/url_opener.h"
#include "gui/convert/converter_window.h"
#include "gui/details/icon_details_window.h"
#include "gui/dialogs/about_box.h"
#include "gui/dialogs/dir_chooser.h"
#include "gui/export/export_commands.h"
#include "gui/main/main_window.h"
#include "gui/main/main_window_driver.h"
#include "support/own_output_folder.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

namespace {

class NoOpener : public gb::ui::UrlOpener {
public:
    void open(const QUrl&) override {}
};

// The widest line of a caption; '&' marks a mnemonic and takes no room.
int textWidth(const QFontMetrics& metrics, const QString& text)
{
    int widest = 0;
    for (const QString& line : text.split(u'\n'))
        widest = std::max(widest, metrics.horizontalAdvance(QString(line).remove(u'&')));
    return widest;
}

QString describe(const QWidget& w, const QString& text, int needed, int room)
{
    return QStringLiteral("%1 \"%2\" (%3): the text needs %4 px, the control offers %5 px")
        .arg(QString::fromLatin1(w.metaObject()->className()), w.objectName(), text)
        .arg(needed)
        .arg(room);
}

// The room a button's caption has: the rectangle the style draws it into,
// less the picture beside it.
int captionRoom(const QAbstractButton& button)
{
    const QStyle* style = button.style();
    QStyleOptionButton option;
    option.initFrom(&button);
    option.text = button.text();
    if (qobject_cast<const QCheckBox*>(&button))
        return style->subElementRect(QStyle::SE_CheckBoxContents, &option, &button).width();
    if (qobject_cast<const QRadioButton*>(&button))
        return style->subElementRect(QStyle::SE_RadioButtonContents, &option, &button).width();
    if (const auto* tool = qobject_cast<const QToolButton*>(&button)) {
        // The label sits inside the button's frame; a picture beside it
        // takes its own width.
        int room = button.width() - 2 * style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, &button);
        if (tool->toolButtonStyle() == Qt::ToolButtonTextBesideIcon && !button.icon().isNull())
            room -= button.iconSize().width() + 4;
        return room;
    }
    if (const auto* push = qobject_cast<const QPushButton*>(&button)) {
        if (push->isFlat())
            option.features |= QStyleOptionButton::Flat;
        if (push->autoDefault() || push->isDefault())
            option.features |= QStyleOptionButton::AutoDefaultButton;
    }
    int room = style->subElementRect(QStyle::SE_PushButtonContents, &option, &button).width();
    if (!button.icon().isNull())
        room -= button.iconSize().width() + 4;
    return room;
}

// What does not fit in one window, one line each.
QStringList clippedTexts(QWidget& window)
{
    QStringList clipped;
    QList<QWidget*> widgets = window.findChildren<QWidget*>();
    for (QWidget* w : widgets) {
        if (!w->isVisibleTo(&window))
            continue;
        const QFontMetrics metrics(w->font());
        if (auto* button = qobject_cast<QAbstractButton*>(w)) {
            if (button->text().isEmpty())
                continue;
            const int needed = textWidth(metrics, button->text());
            const int room = captionRoom(*button);
            if (needed > room)
                clipped << describe(*w, button->text(), needed, room);
        } else if (auto* label = qobject_cast<QLabel*>(w)) {
            if (label->text().isEmpty() || label->wordWrap() || label->textFormat() == Qt::RichText)
                continue;
            const int needed = textWidth(metrics, label->text()) + 2 * label->margin() + label->indent();
            const int room = label->contentsRect().width();
            if (needed > room)
                clipped << describe(*w, label->text(), needed, room);
        } else if (auto* group = qobject_cast<QGroupBox*>(w)) {
            if (group->title().isEmpty())
                continue;
            const int needed = textWidth(metrics, group->title()) + 12; // the frame's notch around the title
            if (needed > group->width())
                clipped << describe(*w, group->title(), needed, group->width());
        } else if (auto* header = qobject_cast<QHeaderView*>(w)) {
            const int margin = header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
            for (int section = 0; section < header->count(); ++section) {
                if (header->isSectionHidden(section))
                    continue;
                const QString text =
                    header->model()->headerData(section, header->orientation(), Qt::DisplayRole).toString();
                const int needed = textWidth(metrics, text) + 2 * margin;
                if (needed > header->sectionSize(section))
                    clipped << describe(*w, text, needed, header->sectionSize(section));
            }
        }
    }
    return clipped;
}

// A menu widens itself for its longest item; what it may not do is grow
// past the screen.
QStringList clippedMenu(QMenu& menu, int screenWidth)
{
    QStringList clipped;
    const QFontMetrics metrics(menu.font());
    for (QAction* action : menu.actions()) {
        if (action->isSeparator())
            continue;
        const int needed = textWidth(metrics, action->text());
        const int room =
            menu.sizeHint().width() - 2 * menu.style()->pixelMetric(QStyle::PM_MenuHMargin, nullptr, &menu);
        if (needed > room || menu.sizeHint().width() > screenWidth)
            clipped << QStringLiteral("menu item \"%1\": needs %2 px, has %3 px")
                           .arg(action->text())
                           .arg(needed)
                           .arg(room);
        if (QMenu* sub = action->menu())
            clipped << clippedMenu(*sub, screenWidth);
    }
    return clipped;
}

} // namespace

class TextsFitTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void EveryTextFitsItsControl_data();
    void EveryTextFitsItsControl();
    void MainWindowScreenshots();
};

void TextsFitTest::initTestCase()
{
    // The program's own font (src/programs/glimmerbox/main.cpp): the classic
    // 9-point face the fixed layout was drawn for.
    QFont font(QStringLiteral("WenQuanYi Micro Hei"));
    font.setPixelSize(12);
    QApplication::setFont(font);
}

void TextsFitTest::cleanupTestCase()
{
    gb::ui::installUiTranslations(*QCoreApplication::instance(), QStringLiteral("zh_CN"));
}

void TextsFitTest::EveryTextFitsItsControl_data()
{
    QTest::addColumn<QString>("language");
    QTest::newRow("English") << QStringLiteral("en");
    QTest::newRow("Chinese") << QStringLiteral("zh_CN");
}

void TextsFitTest::EveryTextFitsItsControl()
{
    QFETCH(QString, language);
    gb::ui::installUiTranslations(*QCoreApplication::instance(), language);
    QStringList clipped;
    auto check = [&clipped](QWidget& window, const QString& name) {
        window.show();
        QCoreApplication::processEvents();
        for (const QString& line : clippedTexts(window))
            clipped << name + QStringLiteral(": ") + line;
    };

    gb::MainWindow main(gb::test::withOwnOutputFolder());
    check(main, QStringLiteral("main window"));
    // The list view shows the catalogue's column headers.
    main.findChild<QToolButton*>("Option1_2")->click();
    check(main, QStringLiteral("main window, list view"));
    for (const QString& line :
         clippedMenu(*main.exportCommands().menu(), main.screen()->availableSize().width()))
        clipped << QStringLiteral("catalogue menu: ") + line;

    gb::details::IconDetailsWindow details(gb::IconOrigin{GB_FIXTURE_DIR "/icons32.exe", 0});
    check(details, QStringLiteral("icon details"));

    gb::convert::ConverterWindow converter;
    check(converter, QStringLiteral("converter"));

    QTemporaryDir folder;
    gb::capture::CaptureWindow grabber(QFile::encodeName(folder.path()).toStdString());
    grabber.open();
    check(grabber, QStringLiteral("grabber"));
    grabber.close();

    NoOpener opener;
    gb::dialogs::AboutBox about(opener);
    check(about, QStringLiteral("about box"));

    gb::dialogs::DirChooser chooser(nullptr, [] { return QStringList{QStringLiteral("/")}; });
    check(chooser, QStringLiteral("folder chooser"));

    if (!clipped.isEmpty())
        QFAIL(qPrintable(QStringLiteral("\n") + clipped.join(u'\n')));
}

// The manual's pictures of the main window in both languages, made on
// demand: GB_SCREENSHOT_DIR=docs texts_fit_uitest MainWindowScreenshots
// writes main-window-en.png and main-window-zh.png there.
void TextsFitTest::MainWindowScreenshots()
{
    const QString folder = qEnvironmentVariable("GB_SCREENSHOT_DIR");
    if (folder.isEmpty())
        QSKIP("set GB_SCREENSHOT_DIR to make the manual's screenshots");
    QTemporaryDir root;
    const QString programs = root.path() + QStringLiteral("/Programs");
    QDir(root.path()).mkpath(QStringLiteral("Programs"));
    for (const char* name : {"icons32.exe", "icons64.dll", "icons16.exe", "depth32.ico", "png_rgba.ico"})
        QFile::copy(QStringLiteral(GB_FIXTURE_DIR "/") + QLatin1String(name),
                    programs + u'/' + QLatin1String(name));
    for (const QString& language : {QStringLiteral("en"), QStringLiteral("zh")}) {
        gb::ui::installUiTranslations(*QCoreApplication::instance(),
                                      language == u"en" ? language : QStringLiteral("zh_CN"));
        gb::MainWindow window(gb::test::withOwnOutputFolder());
        window.findChild<QLineEdit*>("t1")->setText(QStringLiteral("*.exe;*.dll;*.ico"));
        window.show();
        QVERIFY(gb::test::searchTree(window, programs, false));
        QVERIFY(window.grab().save(folder + QStringLiteral("/main-window-%1.png").arg(language)));
    }
}

QTEST_MAIN(TextsFitTest)
#include "texts_fit_uitest.moc"
