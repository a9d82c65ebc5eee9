#include "settings/IniFile.h"

#include "files/FileServices.h"
#include "files/TextFile.h"

#include <QStringView>

namespace tessaly::ini {

namespace {

QStringView trimmedBlanks(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && (text[begin] == u' ' || text[begin] == u'\t'))
        ++begin;
    while (end > begin && (text[end - 1] == u' ' || text[end - 1] == u'\t'))
        --end;
    return text.mid(begin, end - begin);
}

// One line of the file, with its line end kept so untouched lines are
// written back exactly as they were.
struct Line
{
    QStringView body;
    QStringView end;
};

QList<Line> splitKeepingEnds(const QString &content)
{
    QList<Line> lines;
    const qsizetype size = content.size();
    qsizetype start = 0;
    for (qsizetype i = 0; i < size; ++i) {
        const QChar c = content.at(i);
        if (c != u'\r' && c != u'\n')
            continue;
        qsizetype endLength = 1;
        if (c == u'\r' && i + 1 < size && content.at(i + 1) == u'\n')
            endLength = 2;
        lines.append({QStringView(content).mid(start, i - start), QStringView(content).mid(i, endLength)});
        i += endLength - 1;
        start = i + 1;
    }
    if (start < size)
        lines.append({QStringView(content).mid(start), QStringView()});
    return lines;
}

// The section name of a header line, or nothing for other lines.
std::optional<QStringView> sectionName(QStringView line)
{
    const QStringView text = trimmedBlanks(line);
    if (!text.startsWith(u'['))
        return std::nullopt;
    const qsizetype close = text.indexOf(u']');
    if (close < 0)
        return std::nullopt;
    return trimmedBlanks(text.mid(1, close - 1));
}

std::optional<QStringView> keyName(QStringView line)
{
    const qsizetype equals = line.indexOf(u'=');
    if (equals < 0)
        return std::nullopt;
    return trimmedBlanks(line.left(equals));
}

struct Location
{
    qsizetype sectionLine = -1;     // header of the first matching section
    qsizetype keyLine = -1;         // first matching key inside it
    qsizetype lastContentLine = -1; // last non-blank line of that section
};

Location locate(const QList<Line> &lines, const QString &section, const QString &key)
{
    Location location;
    bool inSection = false;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QStringView body = lines.at(i).body;
        if (const auto name = sectionName(body)) {
            if (location.sectionLine >= 0)
                break; // only the first matching section counts
            inSection = name->compare(section, Qt::CaseInsensitive) == 0;
            if (inSection) {
                location.sectionLine = i;
                location.lastContentLine = i;
            }
            continue;
        }
        if (!inSection)
            continue;
        if (!trimmedBlanks(body).isEmpty())
            location.lastContentLine = i;
        const auto name = keyName(body);
        if (name && location.keyLine < 0 && name->compare(key, Qt::CaseInsensitive) == 0)
            location.keyLine = i;
    }
    return location;
}

} // namespace

QString valueIn(const QString &content, const QString &section, const QString &key)
{
    const QList<Line> lines = splitKeepingEnds(content);
    const Location location = locate(lines, section, key);
    if (location.keyLine < 0)
        return {};
    const QStringView body = lines.at(location.keyLine).body;
    return trimmedBlanks(body.mid(body.indexOf(u'=') + 1)).toString();
}

QString withValue(const QString &content, const QString &section, const QString &key, const QString &value)
{
    const QList<Line> lines = splitKeepingEnds(content);
    const Location location = locate(lines, section, key);
    const QString entry = key + u'=' + value;
    const QString newLine = QStringLiteral("\r\n");

    QString result;
    result.reserve(content.size() + entry.size() + section.size() + 8);
    if (location.sectionLine < 0) {
        result = content;
        if (!result.isEmpty() && !result.endsWith(u'\n') && !result.endsWith(u'\r'))
            result += newLine;
        result += u'[' + section + u']' + newLine + entry + newLine;
        return result;
    }
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const Line &line = lines.at(i);
        if (i == location.keyLine) {
            result += entry;
            result += line.end.isEmpty() ? QStringView(newLine) : line.end;
            continue;
        }
        result += line.body;
        if (location.keyLine < 0 && i == location.lastContentLine) {
            result += line.end.isEmpty() ? QStringView(newLine) : line.end;
            result += entry + newLine;
            continue;
        }
        result += line.end;
    }
    return result;
}

QString read(const QString &section, const QString &key, const QString &file)
{
    if (!files::plainFileExists(file))
        return {};
    const files::Outcome<QString> content = text::readWholeText(file);
    if (!content)
        return {};
    return valueIn(*content, section, key);
}

files::Outcome<void> write(const QString &section, const QString &key, const QString &value,
                           const QString &file)
{
    return write(section, KeyValues{{key, value}}, file);
}

files::Outcome<void> write(const QString &section, const KeyValues &values, const QString &file)
{
    QString content;
    text::Encoding encoding = text::Encoding::CodePage936;
    if (files::plainFileExists(file)) {
        // A file that cannot be read is not replaced: that would lose its other keys.
        const files::Outcome<QString> existing = text::readWholeText(file, &encoding);
        if (!existing)
            return files::Failure{file, existing.failure().reason};
        content = *existing;
    }
    for (const auto &[key, value] : values)
        content = withValue(content, section, key, value);
    const std::optional<QByteArray> bytes = text::encodeReadable(content, encoding);
    if (!bytes)
        return files::Failure{file, text::unstorableFileText()};
    if (const files::Outcome<void> written = files::writeFileAtomically(file, *bytes); !written)
        return files::Failure{file, written.failure().reason};
    return {};
}

} // namespace tessaly::ini
