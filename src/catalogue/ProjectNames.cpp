#include "catalogue/ProjectNames.h"

#include "files/TextFile.h"

namespace tessaly::names {
namespace {

QString containsText(const QString &character)
{
    return QStringLiteral("非法名称,数据中不能含有") + character + QStringLiteral("字符!");
}

// The spaced form the file-name characters have always been reported in.
QString containsSpacedText(const QString &character)
{
    return QStringLiteral("非法名称,数据中不能含有   ") + character + QStringLiteral("   字符!");
}

bool hasControlCharacter(const QString &name)
{
    for (const QChar character : name) {
        if (character.category() == QChar::Other_Control)
            return true;
    }
    return false;
}

// Each character on its own, so that a name never depends on the rest of
// `List.ini`, and the name alone, since a new name becomes the file's first
// line, where its first bytes could read as a byte-order mark.
bool canBeSaved(const QString &name)
{
    return text::hasOnlyStorableCharacters(name) && text::encodeReadable(name).has_value();
}

constexpr qsizetype MaximumFileNameBytes = 255;

} // namespace

bool isReserved(const QString &name)
{
    return name.compare(QLatin1String("Setting"), Qt::CaseInsensitive) == 0 ||
           name.compare(QLatin1String("List"), Qt::CaseInsensitive) == 0;
}

bool isTooLong(const QString &name)
{
    return name.toUtf8().size() + qsizetype(sizeof(".html")) - 1 > MaximumFileNameBytes;
}

bool breaksLinks(const QString &name)
{
    return hasControlCharacter(name) || name.contains(u'#') || name.contains(u'?') || name.contains(u'%') ||
           name.contains(u'\\');
}

QString refusalFor(const QString &name, const QStringList &existingNames)
{
    if (name.contains(QLatin1Char('"')))
        return containsText(QStringLiteral("\""));
    if (name.contains(QLatin1Char('|')))
        return containsText(QStringLiteral("|"));

    const QStringList fileNameCharacters = QStringLiteral("/|\\|:|*|<|>|？").split(QLatin1Char('|'));
    for (const QString &character : fileNameCharacters) {
        if (name.contains(character))
            return containsSpacedText(character);
    }

    // A line break would split the name across two lines of `List.ini`.
    if (hasControlCharacter(name))
        return QStringLiteral("非法名称,数据中不能含有控制字符!");

    // "?" starts a query in a link; "#" and "%" break the index page's links.
    for (const QString &character : {QStringLiteral("?"), QStringLiteral("#"), QStringLiteral("%")}) {
        if (name.contains(character))
            return containsSpacedText(character);
    }

    // Dot-named files are hidden, and publishing skips hidden files.
    if (name.startsWith(QLatin1Char('.')))
        return QStringLiteral("非法名称,名称不能以.开头!");
    if (isReserved(name))
        return QStringLiteral("该名称为系统保留名称,请使用其他名称!");
    if (!canBeSaved(name))
        return QStringLiteral("非法名称,名称中含有无法保存的字符!");
    if (isTooLong(name))
        return QStringLiteral("非法名称,名称过长!");

    if (existingNames.contains(name))
        return QStringLiteral("该文件夹已经存在,请使用其他名称!");
    return {};
}

} // namespace tessaly::names
