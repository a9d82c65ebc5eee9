#include "demo/DefaultStyle.h"

#include "files/FileServices.h"
#include "files/TextFile.h"
#include "settings/IniFile.h"
#include "settings/SettingsFiles.h"

namespace tessaly::demo {

bool writeDefaultStyle(const QString &styleFile, QString *reason)
{
    static const char *const values[][2] = {
        {"Bodybgcolor", "202020"},     {"Moviebgcolor", "333333"},   {"Linecontent", "3"},
        {"Coverwidth", "185"},         {"Coverheight", "250"},       {"Coverframecolor", "636363"},
        {"Coverfontsize", "13.5"},     {"Coverfontcolor", "FFFFFF"}, {"Numberfontsize", "13.5"},
        {"Numberfontcolor", "666666"},
    };
    QString content;
    for (const auto &[key, value] : values)
        content = ini::withValue(content, QString::fromLatin1(settings::Section), QString::fromLatin1(key),
                                 QString::fromLatin1(value));
    return files::writeFileAtomically(styleFile, text::encode(content), reason);
}

} // namespace tessaly::demo
