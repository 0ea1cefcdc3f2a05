#pragma once
// converfrm, the converter: a source image, a destination path without its
// extension, one of three directions and, for JPEG output, a rate, handed to
// libconvert.so when the user presses "运行". The main window shows it
// modally (exec). A conversion runs on a worker thread with the pointer
// busy: the window keeps repainting, one conversion runs at a time, and the
// window does not close before it has said how the conversion ended.

#include "core/jobs/background_job.h"
#include "system/library/converter_library.h"

#include <QDialog>
#include <QString>

#include <memory>

class QButtonGroup;
class QCloseEvent;
class QFileDialog;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace gb::ui {
class BusyCursor;
}

namespace gb::convert {

class ConverterWindow : public QDialog {
    Q_OBJECT

public:
    // Converts through libconvert.so, opened at the first conversion.
    explicit ConverterWindow(QWidget* parent = nullptr);
    // Converts through `converter`, which must outlive the window; tests
    // pass one that records the calls.
    explicit ConverterWindow(Converter& converter, QWidget* parent = nullptr);
    ~ConverterWindow() override;

    // From "运行" until the message that tells how it ended is closed.
    bool converting() const { return converting_; }

    void reject() override;

signals:
    void conversionFinished();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Option1_Click(int index);
    void Command2_Click();
    void Command3_Click();
    void Command1_Click(int index);

    void run();
    void finish(const CallResult& result, const QString& source, const QString& destination);
    QString showDialog(const char* title, const char* filter, bool save);
    QString failureText(const CallFailure& failure, const QString& source, const QString& destination) const;

    Converter& converter_;
    // The dialog's FileName and FilterIndex (1-based): kept between uses and
    // shared by both browse buttons.
    QString fileName_;
    int filterIndex_ = 1;

    QGroupBox* Frame2_ = nullptr;
    QLabel* Label2_ = nullptr;
    QLineEdit* Text2_ = nullptr;
    QPushButton* Command2_ = nullptr;
    QLabel* Label3_ = nullptr;
    QLineEdit* Text3_ = nullptr;
    QPushButton* Command3_ = nullptr;
    QGroupBox* Frame1_ = nullptr;
    QButtonGroup* Option1_ = nullptr;
    QLabel* Label1_ = nullptr;
    QLineEdit* Text1_ = nullptr;
    QButtonGroup* Command1_ = nullptr;
    QFileDialog* dialog_ = nullptr;

    bool converting_ = false;
    std::unique_ptr<ui::BusyCursor> busy_;
    struct NoProgress {};
    // The library call cannot be interrupted; it is bounded by the limits
    // of the codecs, so closing waits for it.
    BackgroundJob<NoProgress, CallResult> conversion_;
};

} // namespace gb::convert
