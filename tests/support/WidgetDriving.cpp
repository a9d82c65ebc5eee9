#include "support/WidgetDriving.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QDialog>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

namespace tessaly::testing {

QPushButton *buttonNamed(const QWidget &window, const char *objectName)
{
    return window.findChild<QPushButton *>(QLatin1String(objectName));
}

QAction *actionNamed(const QWidget &window, const char *objectName)
{
    return window.findChild<QAction *>(QLatin1String(objectName));
}

namespace {

QPoint centreOf(QTreeWidget &list, QTreeWidgetItem *row)
{
    return list.visualItemRect(row).center();
}

} // namespace

bool showAndExpose(QWidget &window)
{
    window.show();
    return QTest::qWaitForWindowExposed(&window);
}

QTreeWidgetItem *rowWithText(const QTreeWidget &list, const QString &text)
{
    for (int row = 0; row < list.topLevelItemCount(); ++row) {
        if (list.topLevelItem(row)->text(0) == text)
            return list.topLevelItem(row);
    }
    return nullptr;
}

QStringList rowTexts(const QAbstractItemView &list)
{
    QStringList texts;
    const QAbstractItemModel *model = list.model();
    for (int row = 0; row < model->rowCount(); ++row)
        texts.append(model->index(row, 0).data().toString());
    return texts;
}

QRect rowRect(const QAbstractItemView &list, int row)
{
    return list.visualRect(list.model()->index(row, 0));
}

void selectRow(QAbstractItemView &list, int row)
{
    list.setCurrentIndex(list.model()->index(row, 0));
}

void typeText(QWidget &widget, const QString &text)
{
    for (const QChar character : text)
        QTest::sendKeyEvent(QTest::Click, &widget, Qt::Key_unknown, QString(character), Qt::NoModifier);
}

void clickRow(QTreeWidget &list, QTreeWidgetItem *row)
{
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, centreOf(list, row));
}

void doubleClickRow(QTreeWidget &list, QTreeWidgetItem *row)
{
    // As the window system delivers it: a click, then the double click of
    // the second press, then its release. QTest's double click alone lacks
    // the press that the list needs to know which row was hit.
    const QPoint position = centreOf(list, row);
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, position);
    QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, position);
    QTest::mouseRelease(list.viewport(), Qt::LeftButton, {}, position);
}

void requestContextMenu(QAbstractItemView &list, QTreeWidgetItem *row)
{
    QPoint position(10, list.viewport()->height() - 5);
    if (row)
        position = static_cast<QTreeWidget &>(list).visualItemRect(row).center();
    QContextMenuEvent event(QContextMenuEvent::Mouse, position, list.viewport()->mapToGlobal(position));
    QApplication::sendEvent(list.viewport(), &event);
}

void whenModalDialogShown(std::function<void(QDialog &)> act)
{
    QTimer::singleShot(0, qApp, [act = std::move(act)] {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        act(*dialog);
        if (dialog->isVisible())
            dialog->reject();
    });
}

} // namespace tessaly::testing
