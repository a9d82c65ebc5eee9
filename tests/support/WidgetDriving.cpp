#include "support/WidgetDriving.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QDialog>
#include <QPushButton>
#include <QTest>
#include <QTimer>

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

void clickAt(QAbstractItemView &list, QPoint position)
{
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, position);
}

void doubleClickAt(QAbstractItemView &list, QPoint position)
{
    // As the window system delivers it: a click, then the double click of
    // the second press, then its release. QTest's double click alone lacks
    // the press that the list needs to know which row was hit.
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, position);
    QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, position);
    QTest::mouseRelease(list.viewport(), Qt::LeftButton, {}, position);
}

void contextMenuAt(QAbstractItemView &list, QPoint position)
{
    QContextMenuEvent event(QContextMenuEvent::Mouse, position, list.viewport()->mapToGlobal(position));
    QApplication::sendEvent(list.viewport(), &event);
}

} // namespace

bool showAndExpose(QWidget &window)
{
    window.show();
    return QTest::qWaitForWindowExposed(&window);
}

int rowWithText(const QAbstractItemView &list, const QString &text)
{
    return int(rowTexts(list).indexOf(text));
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

void clickRow(QAbstractItemView &list, int row)
{
    clickAt(list, rowRect(list, row).center());
}

void doubleClickRow(QAbstractItemView &list, int row)
{
    doubleClickAt(list, rowRect(list, row).center());
}

void requestContextMenu(QAbstractItemView &list, int row)
{
    contextMenuAt(list, row >= 0 ? rowRect(list, row).center() : QPoint(10, list.viewport()->height() - 5));
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
