#include "gui/common/accessible_window.h"

#include <QAccessible>
#include <QAccessibleObject>
#include <QAccessibleWidget>
#include <QApplication>
#include <QMenu>
#include <QSet>

namespace gb::ui {

namespace {

class WindowAccessible : public QAccessibleWidget {
public:
    explicit WindowAccessible(QWidget* window) : QAccessibleWidget(window, QAccessible::Window) {}
};

// The application: its windows, as Qt lists them, then its open pop-up menus.
class ApplicationAccessible : public QAccessibleApplication {
public:
    int childCount() const override
    {
        return QAccessibleApplication::childCount() + static_cast<int>(openMenus().size());
    }

    QAccessibleInterface* child(int index) const override
    {
        const int windows = QAccessibleApplication::childCount();
        if (index < windows)
            return QAccessibleApplication::child(index);
        const QList<QMenu*> menus = openMenus();
        return index - windows < menus.size() ? QAccessible::queryAccessibleInterface(menus[index - windows])
                                              : nullptr;
    }

    int indexOfChild(const QAccessibleInterface* child) const override
    {
        if (child != nullptr)
            if (const auto at = openMenus().indexOf(qobject_cast<QMenu*>(child->object())); at >= 0)
                return QAccessibleApplication::childCount() + static_cast<int>(at);
        return QAccessibleApplication::indexOfChild(child);
    }

private:
    // The open menus that name the application as their parent; a submenu
    // names the menu it opened from and is found below that one.
    QList<QMenu*> openMenus() const
    {
        QList<QMenu*> open;
        for (QWidget* top : QApplication::topLevelWidgets())
            if (auto* menu = qobject_cast<QMenu*>(top); menu && menu->isVisible())
                if (QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(menu);
                    iface && iface->parent() && iface->parent()->object() == qApp)
                    open.append(menu);
        return open;
    }
};

QSet<QString>& windowClasses()
{
    static QSet<QString> classes;
    return classes;
}

QAccessibleInterface* accessibleFor(const QString& className, QObject* object)
{
    if (object == qApp && qobject_cast<QApplication*>(object) != nullptr)
        return new ApplicationAccessible;
    if (object->isWidgetType() && windowClasses().contains(className))
        return new WindowAccessible(static_cast<QWidget*>(object));
    return nullptr;
}

} // namespace

void installAccessibleWindow(const QMetaObject& windowClass)
{
    static const bool installed = [] {
        QAccessible::installFactory(accessibleFor);
        return true;
    }();
    (void)installed;
    windowClasses().insert(QString::fromLatin1(windowClass.className()));
}

} // namespace gb::ui
