#pragma once

class QTreeView;

namespace tessaly {

// Hovering a row whose name the list cuts off shows the whole name, as
// plain text: a name may hold "<" or "&" and must not be read as markup.
// A row's own tool tip shows too, after the name, as plain text as well.
void showCutOffNamesAsToolTips(QTreeView *list);

} // namespace tessaly
