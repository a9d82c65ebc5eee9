#pragma once

#include "platform/gui/Buttons.h"

#include <QString>

class QIcon;
class QLabel;
class QPushButton;
class QWidget;

namespace tessaly::covers {

// Sizes of the search dialogs, from their twips at 96 dots per inch.
inline constexpr int ListWidth = 353;
inline constexpr int ListHeight = 281;
inline constexpr int PreviewWidth = 257;
inline constexpr int PreviewHeight = 321;

// `Picture1`, the framed preview.
QLabel *makePreview(QWidget *parent);

// The result rows' icon: a small framed landscape, drawn for 1x and 2x
// screens rather than taken from the desktop's file icons.
QIcon candidateIcon();

} // namespace tessaly::covers
