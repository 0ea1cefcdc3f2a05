#include "gui/dialogs/about_box.h"

#include "gui/common/screen_fit.h"
#include "gui/common/url_opener.h"

#include <QCoreApplication>
#include <QFont>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace gb::dialogs {

namespace {

// Every text aboutfrm shows, exactly as the user sees it; the Chinese ones
// are looked up in the user's language by shown().
namespace text {
constexpr const char* title = QT_TRANSLATE_NOOP("AboutBox", "关于Glimmerbox");
constexpr const char* name = "Glimmerbox";                                               // Label2(0)
constexpr const char* version = QT_TRANSLATE_NOOP("AboutBox", "版本：6.02");             // Label2(1)
constexpr const char* maker = "Glimmerbox for Linux";                                    // Label2(4)
constexpr const char* webCaption = QT_TRANSLATE_NOOP("AboutBox", "技术支持网站：");      // Label2(2)
constexpr const char* web = "https://glimmerbox.example.org";                            // Text1
constexpr const char* mail = "glimmerbox@example.org";                                   // Label4
constexpr const char* dated = QT_TRANSLATE_NOOP("AboutBox", "© 2026 Glimmerbox 开发组"); // Label6
constexpr const char* close = QT_TRANSLATE_NOOP("AboutBox", "关闭");                     // Label5
} // namespace text

QString shown(const char* text)
{
    return QCoreApplication::translate("AboutBox", text);
}

// The Windows box set its title in KaiTi (楷体_GB2312); AR PL UKai is that
// face on Linux. Missing, Qt falls back to another face without a word.
constexpr const char* kaiTiFamily = "AR PL UKai CN";

const QColor blue(0, 0, 255);
const QColor buttonFace(192, 192, 192);
const QColor webText(192, 0, 192);
const QColor gray(128, 128, 128);

// A label the user can click. It is a flat push button drawn as plain text,
// so it takes Tab focus, shows a focus frame, answers Space, Enter and
// Return, and the accessibility bus sees a button named by its caption with
// a press action.
class LabelButton : public QPushButton {
public:
    LabelButton(const QString& caption, QWidget* parent) : QPushButton(caption, parent)
    {
        setFlat(true);
        setAutoDefault(false);
        setDefault(false);
        setFocusPolicy(Qt::StrongFocus);
        setCursor(Qt::PointingHandCursor);
        setAccessibleName(caption);
        setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
        setTextColor(palette().color(QPalette::WindowText));
    }

    void setTextColor(const QColor& colour)
    {
        QPalette p = palette();
        p.setColor(QPalette::ButtonText, colour);
        setPalette(p);
    }

    // As wide as the caption, like a label, not a button's minimum width.
    QSize sizeHint() const override
    {
        const int margin = style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 2;
        return fontMetrics().size(Qt::TextShowMnemonic, text()) + QSize(2 * margin, 2 * margin);
    }
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
        if (enter && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
            click();
            event->accept();
            return;
        }
        QPushButton::keyPressEvent(event);
    }
};

QLabel* makeLabel(const char* objectName, const char* caption, QWidget* parent)
{
    auto* label = new QLabel(shown(caption), parent);
    label->setObjectName(objectName);
    label->setTextFormat(Qt::PlainText);
    return label;
}

void setColour(QWidget* widget, QPalette::ColorRole role, const QColor& colour)
{
    QPalette p = widget->palette();
    p.setColor(role, colour);
    widget->setPalette(p);
}

} // namespace

AboutBox::AboutBox(ui::UrlOpener& opener, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      opener_(opener)
{
    setObjectName("aboutfrm");
    setWindowTitle(shown(text::title));

    auto* pp1 = new QGroupBox(this);
    pp1->setObjectName("pp1");

    QLabel* name = makeLabel("Label2_0", text::name, pp1);
    QFont kaiTi(QString::fromUtf8(kaiTiFamily), 12, QFont::Bold);
    name->setFont(kaiTi);

    QLabel* version = makeLabel("Label2_1", text::version, pp1);
    QLabel* maker = makeLabel("Label2_4", text::maker, pp1);
    QLabel* webCaption = makeLabel("Label2_2", text::webCaption, pp1);
    setColour(webCaption, QPalette::WindowText, blue);

    auto* web = new QLineEdit(QString::fromUtf8(text::web), pp1);
    web->setObjectName("Text1");
    web->setReadOnly(true); // selectable and copyable, nothing more
    web->setCursorPosition(0);
    for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        QPalette p = web->palette();
        p.setColor(group, QPalette::Base, buttonFace);
        p.setColor(group, QPalette::Text, webText);
        web->setPalette(p);
    }
    webCaption->setBuddy(web); // read out as the field's name

    auto* image = new QLabel(pp1);
    image->setObjectName("Image2");
    const QIcon programIcon = QGuiApplication::windowIcon().isNull()
                                  ? style()->standardIcon(QStyle::SP_ComputerIcon)
                                  : QGuiApplication::windowIcon();
    // A style's stand-in icon may come no larger than 16 pixels; the box
    // always shows 32 × 32, in the device pixels of the screen it is on.
    const qreal ratio = devicePixelRatioF();
    QPixmap picture = programIcon.pixmap(QSize(32, 32), ratio);
    if (picture.deviceIndependentSize().toSize() != QSize(32, 32)) {
        picture =
            picture.scaledToWidth(static_cast<int>(32 * ratio), Qt::SmoothTransformation); // icons are square
        picture.setDevicePixelRatio(ratio);
    }
    image->setPixmap(picture);
    image->setFixedSize(32, 32);
    image->setAccessibleName(QString::fromUtf8(text::name));

    auto* mail = new LabelButton(QString::fromUtf8(text::mail), pp1);
    mail->setObjectName("Label4");

    QLabel* dated = makeLabel("Label6", text::dated, pp1);

    auto* close = new LabelButton(shown(text::close), pp1);
    close->setObjectName("Label5");
    close->setTextColor(gray);

    auto* lines = new QVBoxLayout(pp1);
    for (QWidget* line :
         {static_cast<QWidget*>(name), static_cast<QWidget*>(version), static_cast<QWidget*>(maker),
          static_cast<QWidget*>(webCaption), static_cast<QWidget*>(web)})
        lines->addWidget(line);
    // The icon at the left beside the mail line and the last line, whose
    // close label stands at the right.
    auto* bottom = new QGridLayout;
    bottom->addWidget(image, 0, 0, 2, 1, Qt::AlignLeft | Qt::AlignVCenter);
    bottom->addWidget(mail, 0, 1, 1, 2, Qt::AlignLeft);
    bottom->addWidget(dated, 1, 1, Qt::AlignLeft);
    bottom->addWidget(close, 1, 2, Qt::AlignRight);
    bottom->setColumnStretch(1, 1);
    lines->addLayout(bottom);

    auto* outer = new QVBoxLayout(this);
    outer->addWidget(pp1);
    outer->setSizeConstraint(QLayout::SetFixedSize); // not resizable
    ui::keepOnScreen(*this);

    setTabOrder(web, mail);
    setTabOrder(mail, close);

    connect(mail, &QPushButton::clicked, this, [this] { Label4_Click(); });
    connect(close, &QPushButton::clicked, this, [this] { Label5_Click(); });
}

void AboutBox::Label4_Click()
{
    // Whatever the desktop does with the address, the box says nothing and
    // stays open.
    opener_.open(QUrl(QStringLiteral("mailto:") + QString::fromUtf8(text::mail)));
}

void AboutBox::Label5_Click()
{
    close();
}

} // namespace gb::dialogs
