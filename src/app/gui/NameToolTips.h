#pragma once

class QTreeView;

namespace tessaly {

// Hovering a row whose name the list cuts off shows the whole name, as
// plain text: a name may hold "<" or "&" and must not be read as markup.
void showCutOffNamesAsToolTips(QTreeView *list);

} // namespace tessaly
