// The main window as a screen reader and a keyboard user meet it, through
// Qt's accessibility interfaces (what the AT-SPI bridge hands to Orca) and
// key presses, offscreen; and its frame and pictures.

#include "gui/export/export_commands.h"
#include "gui/main/catalogue_view.h"
#include "gui/main/main_window.h"
#include "gui/main/main_window_driver.h"
#include "support/own_output_folder.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QTreeView>
#include <QWindow>

using namespace gb;
using gb::test::control;

namespace {

QAccessibleInterface* accessible(QObject* object)
{
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(object);
    if (iface == nullptr)
        qFatal("no accessible interface for %s", qPrintable(object->objectName()));
    return iface;
}

// The enabled states of the single-icon items of the catalogue's menu.
QList<bool> singleIconStates(QMenu* menu)
{
    QList<bool> states;
    for (const char* name : {"saveico", "copyico", "delico", "savebmp", "plbc", "hdbc"})
        states << menu->findChild<QAction*>(name)->isEnabled();
    return states;
}

} // namespace

class MainWindowAccessTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir tree_;
    QString root_;

    // A shown, active window whose catalogue holds the whole tree.
    void searched(MainWindow& w)
    {
        w.move(0, 0);
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QVERIFY(test::searchTree(w, root_, true));
    }

    QString sourceOf(MainWindow& w, int row)
    {
        const CatalogueRow& r = w.catalogue().rows().at(static_cast<std::size_t>(row));
        return QString::fromStdString(w.catalogue().image(r.icon).origin.shownPath());
    }

    void selectOnly(MainWindow& w, std::initializer_list<int> rows, int current)
    {
        QItemSelectionModel* selection = w.catalogueView().selectionModel();
        const QAbstractItemModel* model = selection->model();
        selection->clearSelection();
        if (current >= 0)
            selection->setCurrentIndex(model->index(current, 0), QItemSelectionModel::NoUpdate);
        for (int row : rows)
            selection->select(model->index(row, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(tree_.isValid());
        root_ = tree_.path();
        test::makeSearchTree(root_);
    }

    void MainWindowIsAnAccessibleWindowNamedByItsTitle()
    {
        MainWindow w(test::withOwnOutputFolder());
        QAccessibleInterface* iface = accessible(&w);
        QCOMPARE(iface->role(), QAccessible::Window);
        QCOMPARE(iface->text(QAccessible::Name), QStringLiteral("Glimmerbox（6.02）"));
    }

    void StatusLineIsAStatusBarReadByItsCurrentText()
    {
        MainWindow w(test::withOwnOutputFolder());
        QAccessibleInterface* iface = accessible(control<QWidget>(w, "statusbar1"));
        QCOMPARE(iface->role(), QAccessible::StatusBar);
        QCOMPARE(iface->text(QAccessible::Name), QStringLiteral("点击“开始搜索”按钮提取图标！"));
        w.setStatusText(QStringLiteral("搜索结果：共计3 个图标"));
        QCOMPARE(iface->text(QAccessible::Name), QStringLiteral("搜索结果：共计3 个图标"));
    }

    void CounterIsReadByItsNumberAndLabelledByItsCaption()
    {
        MainWindow w(test::withOwnOutputFolder());
        searched(w);
        QAccessibleInterface* iface = accessible(control<QLabel>(w, "lblCount"));
        QCOMPARE(iface->text(QAccessible::Name).trimmed(), QStringLiteral("6"));
        bool labelled = false;
        for (const auto& [other, relation] : iface->relations(QAccessible::Label))
            labelled = labelled || other->text(QAccessible::Name) == QStringLiteral("共搜索文件数：");
        QVERIFY(labelled);
    }

    void ViewOptionsAreRadioButtons()
    {
        MainWindow w(test::withOwnOutputFolder());
        const char* names[] = {"Option1_0", "Option1_1", "Option1_2"};
        const QString captions[] = {QStringLiteral("大图显示"), QStringLiteral("小图显示"),
                                    QStringLiteral("列表显示")};
        for (int i = 0; i < 3; ++i) {
            QAccessibleInterface* iface = accessible(control<QToolButton>(w, names[i]));
            QCOMPARE(iface->role(), QAccessible::RadioButton);
            QCOMPARE(iface->text(QAccessible::Name), captions[i]);
            QVERIFY(iface->state().checkable);
            QCOMPARE(bool(iface->state().checked), i == 0);
        }
    }

    void ViewOptionsSwitchTheViewWhenOperatedFromTheBus_data()
    {
        QTest::addColumn<QString>("action");
        QTest::newRow("press") << QAccessibleActionInterface::pressAction();
        QTest::newRow("toggle") << QAccessibleActionInterface::toggleAction();
    }

    void ViewOptionsSwitchTheViewWhenOperatedFromTheBus()
    {
        QFETCH(QString, action);
        MainWindow w(test::withOwnOutputFolder());
        const struct {
            const char* name;
            CatalogueView::View view;
        } steps[] = {{"Option1_1", CatalogueView::SmallIcons},
                     {"Option1_2", CatalogueView::Report},
                     {"Option1_2", CatalogueView::Report}, // a second time changes nothing
                     {"Option1_0", CatalogueView::LargeIcons}};
        for (const auto& step : steps) {
            QAccessibleInterface* iface = accessible(control<QToolButton>(w, step.name));
            QVERIFY(iface->actionInterface()->actionNames().contains(action));
            iface->actionInterface()->doAction(action);
            QCOMPARE(w.catalogueView().view(), step.view);
            QVERIFY(iface->state().checked);
        }
    }

    void CatalogueRowsAreReadAsIconNWithTheirSource()
    {
        MainWindow w(test::withOwnOutputFolder());
        searched(w);
        QAccessibleInterface* icons = accessible(w.catalogueView().iconView());
        QVERIFY(icons->tableInterface() != nullptr);
        for (int row : {0, 2, 9}) {
            QAccessibleInterface* cell = icons->tableInterface()->cellAt(row, 0);
            QVERIFY(cell != nullptr);
            QCOMPARE(cell->text(QAccessible::Name), QStringLiteral("Icon %1").arg(row + 1));
            QCOMPARE(cell->text(QAccessible::Description), sourceOf(w, row));
        }
        w.Option1_Click(2);
        QAccessibleInterface* report = accessible(w.catalogueView().reportView());
        QAccessibleInterface* source = report->tableInterface()->cellAt(2, 1);
        QVERIFY(source != nullptr);
        QCOMPARE(source->text(QAccessible::Name), sourceOf(w, 2));
        QCOMPARE(report->tableInterface()->cellAt(2, 0)->text(QAccessible::Name), QStringLiteral("Icon 3"));
    }

    void MenuKeyAndShiftF10OpenTheMenuAtTheCurrentRow_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<int>("view");
        QTest::newRow("menu key, large icons") << int(Qt::Key_Menu) << int(Qt::NoModifier) << 0;
        QTest::newRow("Shift+F10, large icons") << int(Qt::Key_F10) << int(Qt::ShiftModifier) << 0;
        QTest::newRow("menu key, list") << int(Qt::Key_Menu) << int(Qt::NoModifier) << 2;
        QTest::newRow("Shift+F10, list") << int(Qt::Key_F10) << int(Qt::ShiftModifier) << 2;
    }

    void MenuKeyAndShiftF10OpenTheMenuAtTheCurrentRow()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(int, view);
        MainWindow w(test::withOwnOutputFolder());
        searched(w);
        w.Option1_Click(view);
        QAbstractItemView* list = w.catalogueView().activeView();
        list->setFocus();
        selectOnly(w, {1}, 1);
        QMenu* menu = w.exportCommands().menu();
        QTest::keyClick(list, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QVERIFY(menu->isVisible());
        const QRect row = list->visualRect(list->model()->index(1, 0));
        QCOMPARE(menu->pos(), list->viewport()->mapToGlobal(row.center()));
        menu->hide();
    }

    // Qt leaves pop-ups out of the tree; the application lists its open
    // menu beside its windows, and the menu names it as its parent.
    void OpenCatalogueMenuIsInTheAccessibleTree()
    {
        MainWindow w(test::withOwnOutputFolder());
        searched(w);
        QMenu* menu = w.exportCommands().menu();
        QAccessibleInterface* application = accessible(qApp);
        const auto menuChild = [application, menu]() -> QAccessibleInterface* {
            for (int i = 0; i < application->childCount(); ++i)
                if (QAccessibleInterface* child = application->child(i); child && child->object() == menu)
                    return child;
            return nullptr;
        };
        QVERIFY(menuChild() == nullptr);
        selectOnly(w, {0}, 0);
        w.exportCommands().openMenuAt(w.mapToGlobal(QPoint(10, 10)));
        QVERIFY(menu->isVisible());
        QAccessibleInterface* child = menuChild();
        QVERIFY(child != nullptr);
        QCOMPARE(child->role(), QAccessible::PopupMenu);
        QCOMPARE(child->parent(), application);
        QCOMPARE(application->child(application->indexOfChild(child)), child);
        QCOMPARE(child->child(0)->text(QAccessible::Name), QStringLiteral("保存图标"));
        menu->hide();
        QVERIFY(menuChild() == nullptr);
    }

    void KeyboardMenuHasTheRightClickStates_data()
    {
        QTest::addColumn<QList<int>>("selected");
        QTest::newRow("none") << QList<int>{};
        QTest::newRow("one") << QList<int>{3};
        QTest::newRow("two") << QList<int>{1, 4};
    }

    void KeyboardMenuHasTheRightClickStates()
    {
        QFETCH(QList<int>, selected);
        MainWindow w(test::withOwnOutputFolder());
        searched(w);
        QAbstractItemView* list = w.catalogueView().activeView();
        list->setFocus();
        QMenu* menu = w.exportCommands().menu();
        QItemSelectionModel* selection = w.catalogueView().selectionModel();
        selection->clearSelection();
        for (int row : selected)
            selection->select(list->model()->index(row, 0), QItemSelectionModel::Select);

        w.exportCommands().lv_MouseDown(Qt::RightButton);
        QVERIFY(menu->isVisible());
        const QList<bool> byMouse = singleIconStates(menu);
        menu->hide();
        // The opposite states first, so the key has something to set.
        for (const char* name : {"saveico", "copyico", "savebmp"}) {
            QAction* item = menu->findChild<QAction*>(name);
            item->setEnabled(!item->isEnabled());
        }
        QTest::keyClick(list, Qt::Key_Menu);
        QVERIFY(menu->isVisible());
        QCOMPARE(singleIconStates(menu), byMouse);
        QCOMPARE(byMouse.at(0), selected.size() < 2);
        menu->hide();
    }

    void MenuKeyOnAnEmptyCatalogueOpensNothing()
    {
        MainWindow w(test::withOwnOutputFolder());
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QAbstractItemView* list = w.catalogueView().activeView();
        list->setFocus();
        QTest::keyClick(list, Qt::Key_Menu);
        QVERIFY(!w.exportCommands().menu()->isVisible());
    }

    void ArrowKeysShowTheSourceOfTheRowReachedAsAClickDoes()
    {
        MainWindow w(test::withOwnOutputFolder());
        searched(w);
        w.Option1_Click(2);
        QAbstractItemView* list = w.catalogueView().activeView();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualRect(list->model()->index(0, 0)).center());
        const QString clicked = w.statusText();
        QCOMPARE(clicked, QStringLiteral("Icon 1图标取自文件： ") + sourceOf(w, 0));
        QTest::keyClick(list, Qt::Key_Down);
        QTest::keyClick(list, Qt::Key_Down);
        QCOMPARE(w.statusText(), QStringLiteral("Icon 3图标取自文件： ") + sourceOf(w, 2));
        QTest::keyClick(list, Qt::Key_Up);
        QCOMPARE(w.statusText(), QStringLiteral("Icon 2图标取自文件： ") + sourceOf(w, 1));
        w.Option1_Click(0);
        list = w.catalogueView().activeView();
        list->setFocus();
        QTest::keyClick(list, Qt::Key_Right);
        QCOMPARE(w.statusText(), QStringLiteral("Icon 3图标取自文件： ") + sourceOf(w, 2));
    }

    void FocusArrivingInTheCatalogueKeepsTheResultLine()
    {
        MainWindow w(test::withOwnOutputFolder());
        searched(w);
        const QString result = w.statusText();
        w.catalogueView().activeView()->setFocus(Qt::TabFocusReason);
        QCOMPARE(w.statusText(), result);
    }

    void FocusStartsInThePatternField()
    {
        MainWindow w(test::withOwnOutputFolder());
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QCOMPARE(QApplication::focusWidget(), control<QLineEdit>(w, "t1"));
    }

    void WindowHasAFixedSizeAndNoMaximiseButton()
    {
        MainWindow w(test::withOwnOutputFolder());
        QVERIFY(!(w.windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(w.windowFlags() & Qt::WindowMinimizeButtonHint);
        QCOMPARE(w.size(), QSize(615, 456)); // 9225 x 6840 twips
        QCOMPARE(w.minimumSize(), w.size());
        QCOMPARE(w.maximumSize(), w.size());
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        // What the window manager is told.
        QCOMPARE(w.windowHandle()->minimumSize(), QSize(615, 456));
        QCOMPARE(w.windowHandle()->maximumSize(), QSize(615, 456));
        w.resize(1000, 800);
        QCOMPARE(w.size(), QSize(615, 456));
        w.showMaximized();
        QCOMPARE(w.size(), QSize(615, 456));
    }

    void LargeAndSmallIconViewsHaveDifferentPictures()
    {
        MainWindow w(test::withOwnOutputFolder());
        const QSize size = control<QToolButton>(w, "Option1_0")->iconSize();
        const QImage large = control<QToolButton>(w, "Option1_0")->icon().pixmap(size).toImage();
        const QImage small = control<QToolButton>(w, "Option1_1")->icon().pixmap(size).toImage();
        const QImage list = control<QToolButton>(w, "Option1_2")->icon().pixmap(size).toImage();
        QVERIFY(large != small);
        QVERIFY(small != list);
        QVERIFY(large != list);
    }

    void SubfolderSwitchAnswersClicksAcrossItsWholeWidth()
    {
        MainWindow w(test::withOwnOutputFolder());
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        auto* chkSub = control<QCheckBox>(w, "chkSub");
        QCOMPARE(chkSub->width(), 108); // 1620 twips
        QTest::mouseClick(chkSub, Qt::LeftButton, {}, QPoint(chkSub->width() - 2, chkSub->height() / 2));
        QVERIFY(chkSub->isChecked());
    }

    void EveryButtonPictureHasTheColumnsOneSize()
    {
        // A picture smaller than the others sits higher and shrinks its button's caption upwards.
        MainWindow w(test::withOwnOutputFolder());
        for (const char* name : {"Command1_0", "Option1_0", "Option1_1", "Option1_2", "Command1_1",
                                 "Command1_6", "Command1_5"}) {
            auto* button = control<QToolButton>(w, name);
            QCOMPARE(button->iconSize(), QSize(24, 24));
            QVERIFY2(button->icon().pixmap(button->iconSize()).deviceIndependentSize().toSize() ==
                         QSize(24, 24),
                     name);
        }
    }
};

QTEST_MAIN(MainWindowAccessTest)
#include "main_window_access_uitest.moc"
