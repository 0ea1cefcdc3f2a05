#include "gui/convert/converter_window.h"
#include "gui/common/path_text.h"

#include "core/convert/rate_text.h"
#include "gui/common/busy_cursor.h"
#include "gui/common/message_box.h"
#include "gui/common/screen_fit.h"
#include "gui/convert/converter_texts.h"
#include "system/library/converter_library.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFile>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <functional>

namespace gb::convert {

namespace {

enum Direction { BmpToJpeg = 0, JpegToBmp = 1, JpegToJpeg = 2 };
enum Command { Run = 0, Exit = 1 };

// A text of the table in converter_texts.h, in the user's language.
QString tr8(const char* text)
{
    return QCoreApplication::translate("Converter", text);
}

// Trim removes spaces only, not tabs or other blanks.
QString trimSpaces(const QString& text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin] == u' ')
        ++begin;
    while (end > begin && text[end - 1] == u' ')
        --end;
    return text.mid(begin, end - begin);
}

// "label|pattern|label|pattern" as Qt name filters. Each becomes
// "label (pattern)"; the dialog shows only the label (HideNameFilterDetails),
// so a label that names other patterns than it filters stays as it is.
QStringList nameFilters(const char* filter)
{
    const QStringList parts = tr8(filter).split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
        filters << parts[i] + QStringLiteral(" (") + parts[i + 1] + u')';
    return filters;
}

QLabel* makeLabel(const char* objectName, const char* caption, QWidget* parent)
{
    auto* label = new QLabel(tr8(caption), parent);
    label->setObjectName(objectName);
    label->setTextFormat(Qt::PlainText);
    return label;
}

QLineEdit* makeText(const char* objectName, QWidget* parent)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(objectName);
    edit->setMinimumWidth(280);
    return edit;
}

QPushButton* makeButton(const char* objectName, const char* caption, QWidget* parent)
{
    auto* button = new QPushButton(tr8(caption), parent);
    button->setObjectName(objectName);
    button->setAutoDefault(false);
    return button;
}

} // namespace

ConverterWindow::ConverterWindow(QWidget* parent) : ConverterWindow(programConverter(), parent) {}

ConverterWindow::ConverterWindow(Converter& converter, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      converter_(converter)
{
    setObjectName("converfrm");
    setWindowTitle(tr8(text::title));
    ui::keepOnScreen(*this);

    Frame2_ = new QGroupBox(this);
    Frame2_->setObjectName("Frame2");
    Label2_ = makeLabel("Label2", text::source, Frame2_);
    Text2_ = makeText("Text2", Frame2_);
    Command2_ = makeButton("Command2", text::browse, Frame2_);
    Command2_->setAccessibleDescription(tr8(text::sourceDialogTitle));
    Label3_ = makeLabel("Label3", text::destination, Frame2_);
    Text3_ = makeText("Text3", Frame2_);
    Command3_ = makeButton("Command3", text::browse, Frame2_);
    Command3_->setAccessibleDescription(tr8(text::destinationDialogTitle));
    Label2_->setBuddy(Text2_);
    Label3_->setBuddy(Text3_);
    for (QPushButton* browse : {Command2_, Command3_}) {
        const int height = browse->sizeHint().height();
        browse->setFixedSize(height, height);
    }

    auto* paths = new QGridLayout(Frame2_);
    paths->addWidget(Label2_, 0, 0);
    paths->addWidget(Text2_, 0, 1);
    paths->addWidget(Command2_, 0, 2);
    paths->addWidget(Label3_, 1, 0);
    paths->addWidget(Text3_, 1, 1);
    paths->addWidget(Command3_, 1, 2);

    Frame1_ = new QGroupBox(this);
    Frame1_->setObjectName("Frame1");
    Option1_ = new QButtonGroup(this);
    Option1_->setObjectName("Option1");
    auto* options = new QHBoxLayout;
    int index = 0;
    for (const char* caption : {text::bmpToJpeg, text::jpegToBmp, text::jpegToJpeg}) {
        auto* option = new QRadioButton(tr8(caption), Frame1_);
        option->setObjectName(QStringLiteral("Option1_%1").arg(index));
        Option1_->addButton(option, index++);
        options->addWidget(option);
    }
    Label1_ = makeLabel("Label1", text::rate, Frame1_);
    Text1_ = makeText("Text1", Frame1_);
    Text1_->setMinimumWidth(0);
    Text1_->setMaximumWidth(60);
    Label1_->setBuddy(Text1_);
    Command1_ = new QButtonGroup(this);
    Command1_->setObjectName("Command1");
    auto* commands = new QHBoxLayout;
    commands->addWidget(Label1_);
    commands->addWidget(Text1_);
    commands->addStretch(1);
    index = 0;
    for (const char* caption : {text::run, text::exit}) {
        QPushButton* button =
            makeButton(qPrintable(QStringLiteral("Command1_%1").arg(index)), caption, Frame1_);
        Command1_->addButton(button, index++);
        commands->addWidget(button);
    }
    auto* lower = new QVBoxLayout(Frame1_);
    lower->addLayout(options);
    lower->addLayout(commands);

    auto* outer = new QVBoxLayout(this);
    outer->addWidget(Frame2_);
    outer->addWidget(Frame1_);
    outer->setSizeConstraint(QLayout::SetFixedSize); // not resizable

    dialog_ = new QFileDialog(this);
    dialog_->setObjectName("dialog");
    // Qt's own dialog, the same on every desktop, and one tests can drive.
    dialog_->setOption(QFileDialog::DontUseNativeDialog);
    dialog_->setOption(QFileDialog::HideNameFilterDetails);

    connect(Option1_, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked)
            Option1_Click(id);
    });
    connect(Command2_, &QPushButton::clicked, this, [this] { Command2_Click(); });
    connect(Command3_, &QPushButton::clicked, this, [this] { Command3_Click(); });
    connect(Command1_, &QButtonGroup::idClicked, this, [this](int id) { Command1_Click(id); });

    // The design selects no direction, but "BMP=>JPEG" is the first control
    // that takes the focus, and an option button that gets the focus is
    // selected.
    Option1_->button(BmpToJpeg)->setChecked(true);
    Option1_->button(BmpToJpeg)->setFocus();
    setTabOrder(Option1_->button(BmpToJpeg), Option1_->button(JpegToBmp));
    setTabOrder(Option1_->button(JpegToBmp), Option1_->button(JpegToJpeg));
    setTabOrder(Option1_->button(JpegToJpeg), Text1_);
    setTabOrder(Text1_, Command1_->button(Run));
    setTabOrder(Command1_->button(Run), Command1_->button(Exit));
    setTabOrder(Command1_->button(Exit), Text2_);
    setTabOrder(Text2_, Command2_);
    setTabOrder(Command2_, Text3_);
    setTabOrder(Text3_, Command3_);
}

void ConverterWindow::Option1_Click(int index)
{
    // Only the two JPEG outputs have a rate.
    Text1_->setEnabled(index == BmpToJpeg || index == JpegToJpeg);
}

void ConverterWindow::Command2_Click()
{
    Text2_->setText(trimSpaces(showDialog(text::sourceDialogTitle, text::sourceFilter, false)));
}

void ConverterWindow::Command3_Click()
{
    Text3_->setText(trimSpaces(showDialog(text::destinationDialogTitle, text::destinationFilter, true)));
}

// Shows the shared dialog and returns its FileName as it then stands: the
// chosen file after OK, the one from before (of either button) after Cancel.
QString ConverterWindow::showDialog(const char* title, const char* filter, bool save)
{
    dialog_->setWindowTitle(tr8(title));
    // Nothing needs to exist for an open either: only the folder must.
    dialog_->setFileMode(QFileDialog::AnyFile);
    dialog_->setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    const QStringList filters = nameFilters(filter);
    dialog_->setNameFilters(filters);
    const qsizetype chosenFilter = filterIndex_ >= 1 && filterIndex_ <= filters.size() ? filterIndex_ - 1 : 0;
    dialog_->selectNameFilter(filters.value(chosenFilter));
    if (!fileName_.isEmpty())
        dialog_->selectFile(fileName_);

    if (dialog_->exec() == QDialog::Accepted && !dialog_->selectedFiles().isEmpty()) {
        fileName_ = dialog_->selectedFiles().constFirst();
        filterIndex_ = static_cast<int>(filters.indexOf(dialog_->selectedNameFilter())) + 1;
    }
    return fileName_;
}

void ConverterWindow::Command1_Click(int index)
{
    if (index == Exit) {
        close();
        return;
    }
    run();
}

void ConverterWindow::run()
{
    if (Text2_->text().isEmpty() || Text3_->text().isEmpty()) {
        ui::showMessage(this, ui::MessageStyle::Information, tr8(text::errorTitle), tr8(text::noPaths));
        return;
    }
    const int direction = Option1_->checkedId();
    if (direction < 0) {
        // Nothing was converted, so "转换完成！" would be untrue.
        ui::showMessage(this, ui::MessageStyle::Information, tr8(text::errorTitle), tr8(text::noDirection));
        return;
    }

    const QString source = trimSpaces(Text2_->text());
    QString destination;
    std::function<CallResult()> call;
    switch (direction) {
    case BmpToJpeg: {
        // The destination keeps its spaces in this direction only.
        destination = Text3_->text() + QStringLiteral(".jpg");
        const std::int32_t rate = rateFromText(Text1_->text().toStdString());
        call = [this, src = ui::pathBytes(source), dst = ui::pathBytes(destination), rate] {
            return converter_.bmptojpg(src, dst, rate);
        };
        break;
    }
    case JpegToBmp:
        destination = trimSpaces(Text3_->text()) + QStringLiteral(".bmp");
        call = [this, src = ui::pathBytes(source), dst = ui::pathBytes(destination)] {
            return converter_.jpgtobmp(src, dst);
        };
        break;
    default: {
        destination = trimSpaces(Text3_->text()) + QStringLiteral(".jpg");
        const std::int32_t rate = rateFromText(Text1_->text().toStdString());
        call = [this, src = ui::pathBytes(source), dst = ui::pathBytes(destination), rate] {
            return converter_.jpgtojpg(src, dst, rate);
        };
        break;
    }
    }

    // Off the window's thread: a large image takes seconds. The controls
    // rest meanwhile, so a second conversion cannot start over the first.
    converting_ = true;
    Frame1_->setEnabled(false);
    Frame2_->setEnabled(false);
    busy_ = std::make_unique<ui::BusyCursor>();
    conversion_.start([call = std::move(call)](JobContext<NoProgress>&) { return call(); }, {},
                      [this, source, destination] {
                          QMetaObject::invokeMethod(
                              this,
                              [this, source, destination] {
                                  // A conversion that broke off (out of memory) is told as
                                  // one its codecs found too large.
                                  const auto outcome = *conversion_.snapshot().result;
                                  finish(outcome ? *outcome
                                                 : CallResult(std::unexpected(CallFailure{
                                                       CallFailure::Kind::Status, ConvertStatus::TooLarge,
                                                       describeJobFailure(outcome.error())})),
                                         source, destination);
                              },
                              Qt::QueuedConnection);
                      });
}

void ConverterWindow::finish(const CallResult& result, const QString& source, const QString& destination)
{
    busy_.reset();
    Frame1_->setEnabled(true);
    Frame2_->setEnabled(true);
    Option1_Click(Option1_->checkedId());
    if (!result) {
        // The paths stay in their boxes, so the user can put right what failed.
        ui::showMessage(this, ui::MessageStyle::Critical, tr8(text::errorTitle),
                        failureText(result.error(), source, destination));
    } else {
        ui::showMessage(this, ui::MessageStyle::Plain, tr8(text::doneTitle), tr8(text::done));
        Text2_->clear();
    }
    converting_ = false;
    emit conversionFinished();
}

ConverterWindow::~ConverterWindow() = default;

void ConverterWindow::reject()
{
    if (!converting_) // Escape waits, like the close button, for the conversion's word
        QDialog::reject();
}

void ConverterWindow::closeEvent(QCloseEvent* event)
{
    if (converting_) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

QString ConverterWindow::failureText(const CallFailure& failure, const QString& source,
                                     const QString& destination) const
{
    switch (failure.kind) {
    case CallFailure::Kind::LibraryMissing: return tr8(text::libraryMissing);
    case CallFailure::Kind::FunctionMissing:
        return tr8(text::functionMissing).arg(QString::fromStdString(failure.detail));
    case CallFailure::Kind::Status: break;
    }
    switch (failure.status) {
    case ConvertStatus::SourceMissing: return tr8(text::sourceMissing).arg(source);
    case ConvertStatus::SourceUnreadable: return tr8(text::sourceUnreadable).arg(source);
    case ConvertStatus::NotBmp: return tr8(text::notBmp).arg(source);
    case ConvertStatus::NotJpeg: return tr8(text::notJpeg).arg(source);
    case ConvertStatus::Damaged: return tr8(text::damaged).arg(source);
    case ConvertStatus::Unsupported: return tr8(text::unsupported).arg(source);
    case ConvertStatus::TooLarge: return tr8(text::tooLarge).arg(source);
    case ConvertStatus::DestinationNoFolder: return tr8(text::noFolder).arg(destination);
    case ConvertStatus::DestinationDenied: return tr8(text::denied).arg(destination);
    case ConvertStatus::DestinationFull: return tr8(text::full).arg(destination);
    case ConvertStatus::DestinationFailed: return tr8(text::unwritable).arg(destination);
    case ConvertStatus::OutOfMemory: return tr8(text::outOfMemory);
    default: return tr8(text::libraryError).arg(static_cast<int>(failure.status));
    }
}

} // namespace gb::convert
