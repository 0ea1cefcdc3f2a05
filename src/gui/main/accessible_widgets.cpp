#include "gui/main/accessible_widgets.h"

#include "gui/main/option_button.h"
#include "gui/main/status_line.h"

#include <QAccessible>
#include <QAccessibleWidget>

namespace gb {

namespace {

// The status line is read as a status bar whose name is what it shows now.
class StatusLineAccessible : public QAccessibleWidget {
public:
    explicit StatusLineAccessible(StatusLine* line) : QAccessibleWidget(line, QAccessible::StatusBar) {}

    QString text(QAccessible::Text kind) const override
    {
        if (kind == QAccessible::Name || kind == QAccessible::Value)
            return static_cast<const StatusLine*>(widget())->text();
        return QAccessibleWidget::text(kind);
    }
};

// Qt would call a checkable tool button a check box, and its toggle action
// would tick it without the click that switches the view.
class OptionButtonAccessible : public QAccessibleWidget {
public:
    explicit OptionButtonAccessible(OptionButton* button)
        : QAccessibleWidget(button, QAccessible::RadioButton)
    {
    }

    QString text(QAccessible::Text kind) const override
    {
        QString text = QAccessibleWidget::text(kind);
        if (kind == QAccessible::Name && text.isEmpty())
            text = button()->text();
        return text;
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.checkable = true;
        state.checked = button()->isChecked();
        return state;
    }

    QStringList actionNames() const override
    {
        return QStringList{pressAction(), toggleAction()} + QAccessibleWidget::actionNames();
    }

    void doAction(const QString& action) override
    {
        if (action != pressAction() && action != toggleAction()) {
            QAccessibleWidget::doAction(action);
            return;
        }
        // Toggling a chosen option leaves it chosen, as a click does.
        if (button()->isEnabled())
            button()->click();
    }

private:
    OptionButton* button() const { return static_cast<OptionButton*>(widget()); }
};

QAccessibleInterface* accessibleFor(const QString& className, QObject* object)
{
    if (className == QLatin1String("gb::StatusLine"))
        return new StatusLineAccessible(static_cast<StatusLine*>(object));
    if (className == QLatin1String("gb::OptionButton"))
        return new OptionButtonAccessible(static_cast<OptionButton*>(object));
    return nullptr;
}

} // namespace

void installAccessibleWidgets()
{
    static const bool installed = [] {
        QAccessible::installFactory(accessibleFor);
        return true;
    }();
    (void)installed;
}

} // namespace gb
