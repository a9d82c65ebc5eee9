#include "app/gui/RowIcons.h"

#include <QString>

namespace tessaly {

QIcon rowIcon(int number)
{
    static QIcon icons[7];
    if (number < 1 || number > 7)
        return {};
    QIcon &icon = icons[number - 1];
    if (icon.isNull())
        icon = QIcon(QStringLiteral(":/window/icon%1.png").arg(number));
    return icon;
}

} // namespace tessaly
