#include "catalogue/ProjectNames.h"

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

bool isReservedName(const QString &name)
{
    // The project's settings file would be `Setting.ini` or `List.ini`.
    return name.compare(QLatin1String("Setting"), Qt::CaseInsensitive) == 0 ||
           name.compare(QLatin1String("List"), Qt::CaseInsensitive) == 0;
}

} // namespace

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
    if (isReservedName(name))
        return QStringLiteral("该名称为系统保留名称,请使用其他名称!");

    if (existingNames.contains(name))
        return QStringLiteral("该文件夹已经存在,请使用其他名称!");
    return {};
}

} // namespace tessaly::names
