#include "covers/CoverSize.h"

#include "files/FileServices.h"
#include "settings/IniFile.h"
#include "site/Placeholders.h"
#include "workspace/Workspace.h"

#include <optional>

namespace tessaly::covers {

namespace {

constexpr int SmallestSide = 16;
constexpr int LargestSide = 2000;

std::optional<int> side(const QString &styleFile, const QString &key)
{
    const std::optional<int> value = wholeNumber(ini::read(QStringLiteral("Setting"), key, styleFile));
    if (!value || *value < SmallestSide || *value > LargestSide)
        return std::nullopt;
    return value;
}

} // namespace

CoverSize coverSize(const Workspace &workspace)
{
    const QString styleFile = workspace.styleFile();
    if (!files::plainFileExists(styleFile))
        return {};
    const std::optional<int> width = side(styleFile, QStringLiteral("Coverwidth"));
    const std::optional<int> height = side(styleFile, QStringLiteral("Coverheight"));
    if (!width || !height)
        return {};
    return {*width, *height};
}

} // namespace tessaly::covers
