#include "platform/gui/RowIcons.h"

#include <QFile>
#include <QString>

// The resources of a static library are registered only when asked for.
static void registerRowIcons()
{
    Q_INIT_RESOURCE(row_icons);
}

namespace tessaly {

QIcon rowIcon(int number)
{
    static QIcon icons[7];
    if (number < 1 || number > 7)
        return {};
    QIcon &icon = icons[number - 1];
    if (icon.isNull()) {
        registerRowIcons();
        icon.addFile(QStringLiteral(":/window/icon%1.png").arg(number));
        // Drawn a second time at double scale for high-density screens.
        const QString doubled = QStringLiteral(":/window/icon%1@2x.png").arg(number);
        if (QFile::exists(doubled))
            icon.addFile(doubled);
    }
    return icon;
}

} // namespace tessaly
