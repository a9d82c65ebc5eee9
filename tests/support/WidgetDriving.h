#pragma once

#include <QRect>
#include <QString>
#include <QStringList>
#include <functional>

class QAbstractItemView;
class QAction;
class QDialog;
class QPushButton;
class QWidget;

namespace tessaly::testing {

// Shows a window and waits until the offscreen window system exposed it, so
// clicks and keys reach it as they would on a screen.
bool showAndExpose(QWidget &window);

// The first row of a list shown from a model with this text, or -1.
int rowWithText(const QAbstractItemView &list, const QString &text);
// The texts of the top-level rows, in order.
QStringList rowTexts(const QAbstractItemView &list);
// The window's button or menu item with this objectName, or null.
QPushButton *buttonNamed(const QWidget &window, const char *objectName);
QAction *actionNamed(const QWidget &window, const char *objectName);

// Row `row` of a one-column list: where it shows, and making it current.
QRect rowRect(const QAbstractItemView &list, int row);
void selectRow(QAbstractItemView &list, int row);

// Types the text key by key, any characters (QTest's own typing knows
// only ASCII).
void typeText(QWidget &widget, const QString &text);

void clickRow(QAbstractItemView &list, int row);
void doubleClickRow(QAbstractItemView &list, int row);
// A right-button release over row `row` (or, without a row, over the list's
// empty area below the rows): the list's context menu request.
void requestContextMenu(QAbstractItemView &list, int row = -1);

// Acts on the modal dialog that the next command opens, once its loop runs;
// a dialog the action left open is then cancelled, so a test never hangs.
void whenModalDialogShown(std::function<void(QDialog &)> act);

} // namespace tessaly::testing
