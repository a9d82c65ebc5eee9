#pragma once

#include <QString>

class QLabel;
class QPushButton;
class QWidget;

namespace tessaly::covers {

// Sizes of the search dialogs, from their twips at 96 dots per inch.
inline constexpr int ListWidth = 353;
inline constexpr int ListHeight = 281;
inline constexpr int PreviewWidth = 257;
inline constexpr int PreviewHeight = 321;

// A button that neither is nor becomes the default: Enter never presses it.
QPushButton *makeButton(const char *objectName, const QString &caption, QWidget *parent);
// `Picture1`, the framed preview.
QLabel *makePreview(QWidget *parent);

} // namespace tessaly::covers
