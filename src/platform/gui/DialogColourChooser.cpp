#include "platform/gui/DialogColourChooser.h"

#include <QColorDialog>

namespace tessaly {

std::optional<unsigned> DialogColourChooser::chooseColour(unsigned initialRgb)
{
    const QColor chosen =
        QColorDialog::getColor(QColor::fromRgb(QRgb(initialRgb)), m_parent, QStringLiteral("选择颜色"),
                               QColorDialog::DontUseNativeDialog);
    if (!chosen.isValid())
        return std::nullopt;
    return unsigned(chosen.rgb() & 0xFFFFFF);
}

} // namespace tessaly
