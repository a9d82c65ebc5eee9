#include "site/StyleValues.h"

#include "files/FileServices.h"
#include "files/TextFile.h"
#include "settings/IniFile.h"
#include "site/BuiltinTemplates.h"
#include "site/ModernTemplates.h"
#include "site/PageValues.h"
#include "site/Placeholders.h"
#include "site/SiteTexts.h"
#include "workspace/Workspace.h"

#include <QLocale>
#include <QRegularExpression>
#include <QStringList>
#include <cmath>
#include <limits>

namespace tessaly::style_values {

namespace {

const QString Section = QStringLiteral("Setting");

// The box around a cover adds these to the cover's size; the style load
// refuses a size whose box leaves the 32-bit range.
int boxAddend(const QString &key)
{
    if (key == QLatin1String("Coverwidth"))
        return 35;
    if (key == QLatin1String("Coverheight"))
        return 80;
    return 0;
}

std::optional<QString> problemOf(const Key &key, const QString &value)
{
    switch (key.kind) {
    case Kind::Colour:
        if (!colourOf(value))
            return key.name + QStringLiteral("的值不是有效的颜色!");
        return std::nullopt;
    case Kind::CellCount: {
        const std::optional<int> number = wholeNumber(value);
        if (!number)
            return site::texts::notANumber(key.name);
        if (*number < 0)
            return key.name + QStringLiteral("的值不能小于0!");
        return std::nullopt;
    }
    case Kind::CoverSize: {
        const std::optional<int> number = wholeNumber(value);
        if (!number || qint64(*number) + boxAddend(key.name) > std::numeric_limits<int>::max())
            return site::texts::notANumber(key.name);
        if (*number < SmallestCoverSize || *number > LargestCoverSize)
            return key.name +
                   QStringLiteral("的值必须在%1到%2之间!").arg(SmallestCoverSize).arg(LargestCoverSize);
        return std::nullopt;
    }
    case Kind::FontSize: {
        const std::optional<double> number = numberOf(value);
        if (!number)
            return site::texts::notANumber(key.name);
        if (*number < 1)
            return key.name + QStringLiteral("的值不能小于1!");
        return std::nullopt;
    }
    }
    return std::nullopt;
}

QString valueOf(const Values &values, const char *key)
{
    const QList<Key> &all = keys();
    for (qsizetype i = 0; i < all.size(); ++i) {
        if (all.at(i).name == QLatin1String(key))
            return values.value(i);
    }
    return {};
}

} // namespace

const QList<Key> &keys()
{
    static const QList<Key> all = {
        {QStringLiteral("Bodybgcolor"), Kind::Colour, QStringLiteral("202020")},
        {QStringLiteral("Moviebgcolor"), Kind::Colour, QStringLiteral("333333")},
        {QStringLiteral("Linecontent"), Kind::CellCount, QStringLiteral("3")},
        {QStringLiteral("Coverwidth"), Kind::CoverSize, QStringLiteral("185")},
        {QStringLiteral("Coverheight"), Kind::CoverSize, QStringLiteral("250")},
        {QStringLiteral("Coverframecolor"), Kind::Colour, QStringLiteral("636363")},
        {QStringLiteral("Coverfontsize"), Kind::FontSize, QStringLiteral("13.5")},
        {QStringLiteral("Coverfontcolor"), Kind::Colour, QStringLiteral("FFFFFF")},
        {QStringLiteral("Numberfontsize"), Kind::FontSize, QStringLiteral("13.5")},
        {QStringLiteral("Numberfontcolor"), Kind::Colour, QStringLiteral("666666")},
    };
    return all;
}

Values defaults()
{
    Values values;
    for (const Key &key : keys())
        values.append(key.defaultValue);
    return values;
}

Values valuesIn(const QString &styleContent)
{
    Values values;
    for (const Key &key : keys())
        values.append(ini::valueIn(styleContent, Section, key.name));
    return values;
}

Values withDefaultsForRefused(const Values &edited)
{
    Values values = edited;
    const QList<Key> &all = keys();
    while (values.size() < all.size())
        values.append(QString());
    for (qsizetype i = 0; i < all.size(); ++i) {
        if (problemOf(all.at(i), values.at(i)))
            values[i] = all.at(i).defaultValue;
    }
    return values;
}

files::Outcome<Values> read(const Workspace &workspace)
{
    const QString file = workspace.styleFile();
    if (!files::plainFileExists(file))
        return defaults();
    // One read of the file for all ten keys.
    const files::Outcome<QString> content = text::readWholeText(file);
    if (!content)
        return files::Failure{file, content.failure().reason};
    return valuesIn(*content);
}

std::optional<Problem> firstProblem(const Values &values)
{
    const QList<Key> &all = keys();
    for (qsizetype i = 0; i < all.size(); ++i) {
        if (const std::optional<QString> message = problemOf(all.at(i), values.value(i)))
            return Problem{int(i), *message};
    }
    return std::nullopt;
}

QString colourText(int red, int green, int blue)
{
    return QStringLiteral("%1%2%3")
        .arg(red, 2, 16, QLatin1Char('0'))
        .arg(green, 2, 16, QLatin1Char('0'))
        .arg(blue, 2, 16, QLatin1Char('0'))
        .toUpper();
}

std::optional<unsigned> colourOf(const QString &text)
{
    static const QRegularExpression sixDigits(QStringLiteral("^[0-9A-Fa-f]{6}$"));
    if (!sixDigits.match(text).hasMatch())
        return std::nullopt;
    return text.toUInt(nullptr, 16);
}

QString numberText(double value)
{
    // QString::number never follows the system's locale.
    QString text = QString::number(value, 'f', QLocale::FloatingPointShortest);
    if (text == QLatin1String("-0"))
        text = QStringLiteral("0");
    return text;
}

std::optional<double> numberOf(const QString &text)
{
    static const QRegularExpression number(
        QStringLiteral(R"(^[ \t]*[+-]?([0-9]+\.?[0-9]*|\.[0-9]+)[ \t]*$)"));
    if (!number.match(text).hasMatch())
        return std::nullopt;
    const double value = text.trimmed().toDouble();
    if (!std::isfinite(value))
        return std::nullopt;
    return value;
}

files::Outcome<void> save(const Workspace &workspace, const Values &values)
{
    // One atomic write of the ten keys; the file's other lines stay.
    ini::KeyValues pairs;
    const QList<Key> &all = keys();
    for (qsizetype i = 0; i < all.size(); ++i)
        pairs.append({all.at(i).name, values.value(i)});
    return ini::write(Section, pairs, workspace.styleFile());
}

PageChoice readPageChoice(const Workspace &workspace)
{
    PageChoice choice;
    const QString file = workspace.styleFile();
    if (!files::plainFileExists(file))
        return choice;
    if (const files::Outcome<QString> content = text::readWholeText(file)) {
        choice.pageSet =
            page_set::fromText(ini::valueIn(*content, Section, QString::fromLatin1(page_set::Key)));
        choice.siteName = ini::valueIn(*content, Section, QString::fromLatin1(page_set::SiteNameKey));
    }
    return choice;
}

std::optional<QString> siteNameProblem(const QString &siteName)
{
    if (!text::hasOnlyStorableCharacters(siteName))
        return QStringLiteral("站点名称中含有无法保存的字符!");
    return std::nullopt;
}

files::Outcome<void> save(const Workspace &workspace, const Values &values, const PageChoice &choice)
{
    ini::KeyValues pairs;
    const QList<Key> &all = keys();
    for (qsizetype i = 0; i < all.size(); ++i)
        pairs.append({all.at(i).name, values.value(i)});
    pairs.append({QString::fromLatin1(page_set::Key), page_set::nameOf(choice.pageSet)});
    pairs.append({QString::fromLatin1(page_set::SiteNameKey), choice.siteName.trimmed()});
    return ini::write(Section, pairs, workspace.styleFile());
}

files::Outcome<void> saveWithPageset(const Workspace &workspace, const Values &values, const QString &pageset)
{
    PageChoice choice;
    choice.pageSet = page_set::fromText(pageset);
    return save(workspace, values, choice);
}

QString previewPage(const Values &values, const PageChoice &choice, int cells, const QString &coverImage)
{
    if (choice.pageSet == PageSet::Classic)
        return previewPage(values, cells, coverImage);
    QString cell = modern::coverCell(values);
    fillPlaceholder(cell, QStringLiteral("Image/[[TitleLink]].jpg"), coverImage);
    QStringList filled;
    for (int i = 1; i <= cells; ++i) {
        QString one = cell;
        const QString title = QStringLiteral("示例影片%1").arg(i);
        fillPlaceholder(one, QStringLiteral("[[TitleLink]]"), page::urlPathPieceStrict(title));
        fillPlaceholder(one, QStringLiteral("[[Title]]"), title);
        fillPlaceholder(one, QStringLiteral("[[Number]]"), QString::number(i * 4));
        fillPlaceholder(one, QStringLiteral("[[Duration]]"), page::durationText(i * 4 * 2580.0));
        filled.append(one);
    }
    QString index = modern::indexPage(values, choice.siteName);
    fillPlaceholder(index, QStringLiteral("[[Text]]"), filled.join(QStringLiteral("\r\n")));
    return index;
}

QString previewPage(const Values &edited, int cells, const QString &coverImage)
{
    // A value that would be refused is shown as its default, so a half-typed
    // value never reaches the page's markup.
    Values values = edited;
    const QList<Key> &all = keys();
    for (qsizetype i = 0; i < all.size(); ++i) {
        if (problemOf(all.at(i), values.value(i)))
            values[i] = all.at(i).defaultValue;
    }
    const auto value = [&](const char *key) { return valueOf(values, key); };
    const auto whole = [&](const char *key, int fallback) {
        return wholeNumber(value(key)).value_or(fallback);
    };

    QString cell = builtin::styledCoverCell();
    // The picture first, while its placeholder still names the title.
    fillPlaceholder(cell, QStringLiteral("Image/[[Title]].jpg"), coverImage);
    fillPlaceholder(cell, QStringLiteral("[[Coverwidth]]"), value("Coverwidth"));
    fillPlaceholder(cell, QStringLiteral("[[divwidth]]"),
                    QString::number(qint64(whole("Coverwidth", 185)) + 35));
    fillPlaceholder(cell, QStringLiteral("[[Coverheight]]"), value("Coverheight"));
    fillPlaceholder(cell, QStringLiteral("[[divheight]]"),
                    QString::number(qint64(whole("Coverheight", 250)) + 80));
    for (const char *key :
         {"Coverframecolor", "Coverfontsize", "Coverfontcolor", "Numberfontsize", "Numberfontcolor"})
        fillPlaceholder(cell, QStringLiteral("[[%1]]").arg(QLatin1String(key)), value(key));

    const int perRow = whole("Linecontent", 3);
    QStringList filled;
    for (int i = 1, inRow = 0; i <= cells; ++i) {
        QString one = cell;
        fillPlaceholder(one, QStringLiteral("[[Title]]"), QStringLiteral("示例影片%1").arg(i));
        fillPlaceholder(one, QStringLiteral("[[Number]]"), QString::number(i * 4));
        if (++inRow == perRow) {
            one += QStringLiteral("\r\n") + builtin::rowBreak();
            inRow = 0;
        }
        filled.append(one);
    }

    QString index = builtin::styledIndexPage();
    fillPlaceholder(index, QStringLiteral("[[Bodybgcolor]]"), value("Bodybgcolor"));
    fillPlaceholder(index, QStringLiteral("[[Moviebgcolor]]"), value("Moviebgcolor"));
    fillPlaceholder(index, QStringLiteral("[[Text]]"), filled.join(QStringLiteral("\r\n")));
    return index;
}

} // namespace tessaly::style_values
