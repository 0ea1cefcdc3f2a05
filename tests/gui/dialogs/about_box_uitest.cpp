// aboutfrm: its texts, the mail label and the close label.

#include "gui/common/url_opener.h"
#include "gui/dialogs/about_box.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

using gb::dialogs::AboutBox;

namespace {

class CountingOpener : public gb::ui::UrlOpener {
public:
    void open(const QUrl& url) override { opened << url; }
    QList<QUrl> opened;
};

template <typename T> T* child(AboutBox& box, const char* name)
{
    auto* widget = box.findChild<T*>(QString::fromLatin1(name));
    if (!widget)
        qFatal("aboutfrm has no %s", name);
    return widget;
}

const QUrl mailUrl("mailto:glimmerbox@example.org");

} // namespace

class AboutBoxTest : public QObject {
    Q_OBJECT

private slots:
    void TextsAreExactlyAsShown();
    void LinesStandInTheirOrder();
    void TitleIsKaiTiTwelvePointBold();
    void ColoursAreAsDesigned();
    void EachMailClickOpensTheMailOnceAndTheBoxStaysOpen();
    void MailLabelAnswersTheKeyboard();
    void ClickableLabelsAreButtonsToAssistiveTools();
    void CloseLabelClosesTheModalBox();
    void BoxCannotBeResized();
};

void AboutBoxTest::TextsAreExactlyAsShown()
{
    CountingOpener opener;
    AboutBox box(opener);
    QCOMPARE(box.objectName(), QString("aboutfrm"));
    QCOMPARE(box.windowTitle(), QString::fromUtf8("关于Glimmerbox"));
    QVERIFY(child<QGroupBox>(box, "pp1")->title().isEmpty());
    QCOMPARE(child<QLabel>(box, "Label2_0")->text(), QString("Glimmerbox"));
    QCOMPARE(child<QLabel>(box, "Label2_1")->text(), QString::fromUtf8("版本：6.02"));
    QCOMPARE(child<QLabel>(box, "Label2_2")->text(), QString::fromUtf8("技术支持网站："));
    QVERIFY(!child<QLabel>(box, "Label2_4")->text().isEmpty());
    QCOMPARE(child<QLineEdit>(box, "Text1")->text(), QString("https://glimmerbox.example.org"));
    QVERIFY(child<QLineEdit>(box, "Text1")->isReadOnly());
    QCOMPARE(child<QPushButton>(box, "Label4")->text(), QString("glimmerbox@example.org"));
    QVERIFY(!child<QLabel>(box, "Label6")->text().isEmpty());
    QCOMPARE(child<QPushButton>(box, "Label5")->text(), QString::fromUtf8("关闭"));
    QCOMPARE(child<QLabel>(box, "Image2")->pixmap().size(), QSize(32, 32));
    QVERIFY(!(box.windowFlags() & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(box.windowFlags() & Qt::WindowMaximizeButtonHint));
}

void AboutBoxTest::LinesStandInTheirOrder()
{
    CountingOpener opener;
    AboutBox box(opener);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    const auto rect = [&](const char* name) {
        QWidget* widget = child<QWidget>(box, name);
        return QRect(widget->mapTo(&box, QPoint(0, 0)), widget->size());
    };
    const char* lines[] = {"Label2_0", "Label2_1", "Label2_4", "Label2_2", "Text1", "Label4", "Label6"};
    for (std::size_t i = 1; i < std::size(lines); ++i)
        QVERIFY2(rect(lines[i - 1]).bottom() <= rect(lines[i]).top(), lines[i]);
    // The icon at the left beside the mail line and the last line; "关闭"
    // on the last line, at its right.
    QVERIFY(rect("Image2").right() < rect("Label4").left());
    QVERIFY(rect("Image2").right() < rect("Label6").left());
    QVERIFY(rect("Label6").right() < rect("Label5").left());
    QVERIFY(rect("Label5").top() < rect("Label6").bottom() && rect("Label6").top() < rect("Label5").bottom());
}

void AboutBoxTest::TitleIsKaiTiTwelvePointBold()
{
    CountingOpener opener;
    AboutBox box(opener);
    const QFont font = child<QLabel>(box, "Label2_0")->font();
    QCOMPARE(font.family(), QString("AR PL UKai CN"));
    QCOMPARE(font.pointSize(), 12);
    QVERIFY(font.bold());
}

void AboutBoxTest::ColoursAreAsDesigned()
{
    CountingOpener opener;
    AboutBox box(opener);
    QCOMPARE(child<QLabel>(box, "Label2_2")->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    const QPalette web = child<QLineEdit>(box, "Text1")->palette();
    for (const auto group : {QPalette::Active, QPalette::Inactive}) {
        QCOMPARE(web.color(group, QPalette::Base), QColor(192, 192, 192));
        QCOMPARE(web.color(group, QPalette::Text), QColor(192, 0, 192));
    }
    QCOMPARE(child<QPushButton>(box, "Label5")->palette().color(QPalette::ButtonText), QColor(128, 128, 128));
    QCOMPARE(child<QWidget>(box, "Label4")->cursor().shape(), Qt::PointingHandCursor);
    QCOMPARE(child<QWidget>(box, "Label5")->cursor().shape(), Qt::PointingHandCursor);
}

void AboutBoxTest::EachMailClickOpensTheMailOnceAndTheBoxStaysOpen()
{
    CountingOpener opener;
    AboutBox box(opener);
    bool ran = false;
    QTimer::singleShot(0, &box, [&] {
        ran = true;
        auto* mail = child<QPushButton>(box, "Label4");
        QTest::mouseClick(mail, Qt::LeftButton);
        QCOMPARE(opener.opened, QList<QUrl>{mailUrl});
        QVERIFY(box.isVisible());
        QTest::mouseClick(mail, Qt::LeftButton);
        QCOMPARE(opener.opened, QList<QUrl>({mailUrl, mailUrl}));
        QVERIFY(box.isVisible());
        box.close();
    });
    box.exec();
    QVERIFY(ran);
    QCOMPARE(opener.opened.size(), 2);
}

void AboutBoxTest::MailLabelAnswersTheKeyboard()
{
    CountingOpener opener;
    AboutBox box(opener);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    auto* mail = child<QPushButton>(box, "Label4");
    QVERIFY(mail->focusPolicy() & Qt::TabFocus);
    mail->setFocus();
    QTest::keyClick(mail, Qt::Key_Space);
    QCOMPARE(opener.opened.size(), 1);
    QTest::keyClick(mail, Qt::Key_Return);
    QCOMPARE(opener.opened.size(), 2);
    QTest::keyClick(mail, Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(opener.opened, QList<QUrl>({mailUrl, mailUrl, mailUrl}));
    QVERIFY(box.isVisible());

    auto* close = child<QPushButton>(box, "Label5");
    QVERIFY(close->focusPolicy() & Qt::TabFocus);
    close->setFocus();
    QTest::keyClick(close, Qt::Key_Space);
    QVERIFY(!box.isVisible());
    QCOMPARE(opener.opened.size(), 3);
}

void AboutBoxTest::ClickableLabelsAreButtonsToAssistiveTools()
{
    CountingOpener opener;
    AboutBox box(opener);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    for (const char* name : {"Label4", "Label5"}) {
        auto* label = child<QPushButton>(box, name);
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(label);
        QVERIFY(accessible);
        QCOMPARE(accessible->text(QAccessible::Name), label->text());
        QCOMPARE(accessible->role(), QAccessible::Button);
        QVERIFY(accessible->actionInterface());
        QVERIFY(
            accessible->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()));
    }
    QAccessibleInterface* mail = QAccessible::queryAccessibleInterface(child<QWidget>(box, "Label4"));
    mail->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QTRY_COMPARE(opener.opened, QList<QUrl>{mailUrl}); // the press is an animated click
    // The web address field is announced under its caption.
    QAccessibleInterface* web = QAccessible::queryAccessibleInterface(child<QWidget>(box, "Text1"));
    QCOMPARE(web->text(QAccessible::Name), QString::fromUtf8("技术支持网站："));
}

void AboutBoxTest::CloseLabelClosesTheModalBox()
{
    CountingOpener opener;
    AboutBox box(opener);
    bool ran = false;
    QTimer::singleShot(0, &box, [&] {
        ran = true;
        QVERIFY(box.isVisible());
        QTest::mouseClick(child<QPushButton>(box, "Label5"), Qt::LeftButton);
    });
    QTimer guard;
    connect(&guard, &QTimer::timeout, &box, [&] { box.done(-1); });
    guard.start(10000);
    const int result = box.exec();
    QVERIFY(ran);
    QCOMPARE(result, int(QDialog::Rejected)); // closed by the label, not by the guard
    QVERIFY(!box.isVisible());
    QVERIFY(opener.opened.isEmpty());
}

void AboutBoxTest::BoxCannotBeResized()
{
    CountingOpener opener;
    AboutBox box(opener);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    QCOMPARE(box.minimumSize(), box.maximumSize());
    QCOMPARE(box.size(), box.minimumSize());
}

QTEST_MAIN(AboutBoxTest)
#include "about_box_uitest.moc"
