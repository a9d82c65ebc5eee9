#pragma once

class QTreeWidget;

namespace tessaly {

// Hovering a row whose name the list cuts off shows the whole name, as
// plain text: a name may hold "<" or "&" and must not be read as markup.
void showCutOffNamesAsToolTips(QTreeWidget *list);

} // namespace tessaly
