#pragma once
// Modal message boxes in the four styles the windows use: information (64),
// critical (16), question with Yes and No (36), and plain OK (0). Title and
// text are shown exactly as given.

#include <QString>

class QWidget;

namespace gb::ui {

enum class MessageStyle { Plain = 0, Critical = 16, Question = 36, Information = 64 };

// True when the answer is Yes (question style) or OK.
bool showMessage(QWidget* parent, MessageStyle style, const QString& title, const QString& text);

} // namespace gb::ui
