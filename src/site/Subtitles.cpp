#include "site/Subtitles.h"

#include "catalogue/Episodes.h"
#include "files/FileServices.h"
#include "files/TextFile.h"
#include "site/PageValues.h"

#include <QHash>
#include <QRegularExpression>
#include <QStringDecoder>
#include <algorithm>
#include <string>
#include <utility>

namespace tessaly::subtitles {

namespace {

struct KnownLanguage
{
    const char *parts; // lower case, "-" for "_", separated by single spaces
    const char *label; // UTF-8
    const char *lang;
};

constexpr KnownLanguage KnownLanguages[] = {
    {"chs sc zh-hans gb gbk zh-cn zh-sg zh-hans-cn", "简体中文", "zh-Hans"},
    {"cht tc zh-hant big5 zh-tw zh-hk zh-mo zh-hant-tw zh-hant-hk", "繁體中文", "zh-Hant"},
    {"zh chi zho", "中文", "zh"},
    {"en eng", "English", "en"},
    {"ja jp jpn", "日本語", "ja"},
    {"ko kor", "한국어", "ko"},
};

std::optional<Format> formatOf(QStringView extension)
{
    if (extension.compare(u"srt", Qt::CaseInsensitive) == 0)
        return Format::Srt;
    if (extension.compare(u"vtt", Qt::CaseInsensitive) == 0)
        return Format::Vtt;
    if (extension.compare(u"ass", Qt::CaseInsensitive) == 0 ||
        extension.compare(u"ssa", Qt::CaseInsensitive) == 0)
        return Format::Ass;
    return std::nullopt;
}

// Simplified Chinese leads the tracks, then Chinese of either script.
int trackRank(const SubtitleFile &file)
{
    if (file.lang == u"zh-Hans")
        return 0;
    return file.lang == u"zh" ? 1 : 2;
}

// Whether an episode of the folder is named the stem and an extension.
bool isOtherEpisodesStem(const QStringList &folderFiles, QStringView stem)
{
    return std::any_of(folderFiles.cbegin(), folderFiles.cend(), [stem](const QString &name) {
        return name.startsWith(stem) && name.lastIndexOf(u'.') == stem.size() && isEpisodeFileName(name);
    });
}

// Legacy Chinese files carry no mark of their encoding. Read as the wrong
// one of GB18030 and Big5 they still mostly decode, but to rare
// characters: the right one is the reading with more of these, the most
// common characters of both scripts.
bool isCommonChineseCharacter(char16_t c)
{
    static const std::u16string common = [] {
        std::u16string characters =
            u"的一是不了人我在有他这這个個们們中来來上大为為和国國地到以说說时時要就出会會可也你对對生能而"
            u"子那得着著下自之年过過发發后後作里裡用道行所然家种種事成方多经經么麼去法学學如都同现現当當没"
            u"沒动動面起看定天分还還进進好小部其些主样樣理心她本前开開但因只从從想实實吗嗎呢吧啊什谁誰它爱愛";
        std::sort(characters.begin(), characters.end());
        return characters;
    }();
    return std::binary_search(common.cbegin(), common.cend(), c);
}

// The text in a legacy encoding, when every byte sequence is valid there
// and names an assigned character: the converters map unassigned codes to
// the private use area instead of failing.
std::optional<QString> decodeLegacy(const char *encoding, const QByteArray &bytes)
{
    QStringDecoder decoder(encoding, QStringDecoder::Flag::Stateless);
    if (!decoder.isValid())
        return std::nullopt;
    QString text = decoder.decode(bytes);
    const bool bad = std::any_of(text.cbegin(), text.cend(), [](QChar c) {
        return c == QChar::ReplacementCharacter || (c.unicode() >= 0xE000 && c.unicode() <= 0xF8FF);
    });
    if (decoder.hasError() || bad)
        return std::nullopt;
    return text;
}

qsizetype commonCharacterCount(const QString &text)
{
    return std::count_if(text.cbegin(), text.cend(),
                         [](QChar c) { return isCommonChineseCharacter(c.unicode()); });
}

// A time as SubRip ("00:01:02,345"), WebVTT ("01:02.345") and SubStation
// ("0:01:02.34") write it; the fraction is of a second, whatever its digits.
std::optional<qint64> parseTime(QStringView text)
{
    static const QRegularExpression Time(
        QStringLiteral(R"(^(?:([0-9]{1,3}):)?([0-9]{1,2}):([0-9]{1,2})[.,]([0-9]{1,3})$)"));
    const QRegularExpressionMatch match = Time.match(text.trimmed());
    if (!match.hasMatch())
        return std::nullopt;
    const qint64 minutes = match.capturedView(2).toLongLong();
    const qint64 seconds = match.capturedView(3).toLongLong();
    if (minutes >= 60 || seconds >= 60)
        return std::nullopt;
    const QStringView fraction = match.capturedView(4);
    qint64 ms = fraction.toLongLong();
    for (qsizetype digits = fraction.size(); digits < 3; ++digits)
        ms *= 10;
    return ((match.capturedView(1).toLongLong() * 60 + minutes) * 60 + seconds) * 1000 + ms;
}

struct Timing
{
    qint64 startMs;
    qint64 endMs;
    QStringView rest; // what follows the end time
};

std::optional<Timing> parseTiming(QStringView line)
{
    const qsizetype arrow = line.indexOf(u"-->");
    if (arrow < 0)
        return std::nullopt;
    QStringView after = line.sliced(arrow + 3).trimmed();
    qsizetype endSize = 0;
    while (endSize < after.size() && !after[endSize].isSpace())
        ++endSize;
    const std::optional<qint64> start = parseTime(line.first(arrow));
    const std::optional<qint64> end = parseTime(after.first(endSize));
    if (!start || !end)
        return std::nullopt;
    return Timing{*start, *end, after.sliced(endSize).trimmed()};
}

// The cue settings WebVTT knows; anything else on the timing line goes.
QString checkedSettings(QStringView rest)
{
    static const QRegularExpression Setting(
        QStringLiteral(R"(^(vertical|line|position|size|align|region):\S+$)"));
    static const QRegularExpression Space(QStringLiteral(R"(\s+)"));
    QStringList kept;
    for (const QStringView token : rest.split(Space, Qt::SkipEmptyParts)) {
        if (Setting.match(token).hasMatch() && !token.contains(u"-->"))
            kept.append(token.toString());
    }
    return kept.join(u' ');
}

void appendEscaped(QString &out, QChar c)
{
    if (c == u'&')
        out.append(u"&amp;");
    else if (c == u'<')
        out.append(u"&lt;");
    else if (c == u'>')
        out.append(u"&gt;");
    else
        out.append(c);
}

// The lines that are not blank, joined: a blank line would end the cue.
QString joinedLines(const QStringList &lines, bool trim)
{
    QStringList kept;
    for (const QString &line : lines) {
        if (!line.trimmed().isEmpty())
            kept.append(trim ? line.trimmed() : line);
    }
    return kept.join(u'\n');
}

// A SubRip line as WebVTT cue text: <i>, <b> and <u> stay, other tags and
// {\...} override codes go, the rest is escaped.
QString srtLineText(QStringView line)
{
    QString out;
    out.reserve(line.size());
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (c == u'{' && line.sliced(i).startsWith(u"{\\")) {
            if (const qsizetype close = line.indexOf(u'}', i); close > 0) {
                i = close;
                continue;
            }
        }
        // A tag starts as in HTML: "<" right before a letter, or "</" before one.
        const bool closing = c == u'<' && line.sliced(i + 1).startsWith(u'/');
        const qsizetype nameFrom = i + (closing ? 2 : 1);
        if (c == u'<' && nameFrom < line.size() && line[nameFrom].isLetter()) {
            const qsizetype close = line.indexOf(u'>', nameFrom);
            qsizetype nameEnd = nameFrom;
            while (nameEnd < line.size() && line[nameEnd].isLetterOrNumber())
                ++nameEnd;
            if (close > 0 && !line.sliced(nameFrom, close - nameFrom).contains(u'<')) {
                const QString name = line.sliced(nameFrom, nameEnd - nameFrom).toString().toLower();
                if (name == u"i" || name == u"b" || name == u"u")
                    out += (closing ? QStringLiteral("</") : QStringLiteral("<")) + name + u'>';
                i = close;
                continue;
            }
        }
        appendEscaped(out, c);
    }
    return out;
}

// A SubStation text field as WebVTT cue text: override blocks go, and so
// does everything drawn between {\p1} and {\p0}; \N and \n break the line,
// \h is a space.
QString assText(QStringView text)
{
    static const QRegularExpression Drawing(QStringLiteral(R"(\\p([0-9]+))"));
    QString out;
    out.reserve(text.size());
    bool drawing = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'{') {
            const qsizetype close = text.indexOf(u'}', i);
            if (close > 0) {
                QRegularExpressionMatchIterator modes = Drawing.globalMatch(text.sliced(i, close - i));
                while (modes.hasNext())
                    drawing = modes.next().capturedView(1).toInt() != 0;
                i = close;
                continue;
            }
        }
        if (c == u'\\' && i + 1 < text.size()) {
            const QChar code = text[i + 1];
            if (code == u'N' || code == u'n' || code == u'h') {
                if (!drawing)
                    out.append(code == u'h' ? u' ' : u'\n');
                ++i;
                continue;
            }
        }
        if (!drawing)
            appendEscaped(out, c);
    }
    return out;
}

// SubRip, read loosely as players do: a cue starts at a line of valid
// times, and a line of digits just before it is its number. A line holding
// "-->" after a number, or starting with a digit after a blank line, is a
// cue with bad times, skipped whole. Everything else is text of the cue
// before it, blank lines inside a cue included.
QList<Cue> srtCues(const QStringList &lines)
{
    QList<Cue> cues;
    std::optional<Cue> current; // nothing while in a skipped cue or before the first
    QStringList text;
    const auto finish = [&] {
        if (current) {
            QStringList converted;
            for (const QString &line : std::as_const(text))
                converted.append(srtLineText(line));
            current->text = joinedLines(converted, true);
            cues.append(*current);
        }
        current.reset();
        text.clear();
    };
    bool blockStart = true;
    std::optional<QString> number; // held until the next line tells what it is
    for (const QString &line : lines) {
        const QStringView trimmed = QStringView(line).trimmed();
        const std::optional<Timing> timing = parseTiming(trimmed);
        const bool badTiming =
            !timing && trimmed.contains(u"-->") && (number || (blockStart && trimmed.front().isDigit()));
        if (timing || badTiming) {
            finish();
            if (timing)
                current = Cue{timing->startMs, timing->endMs, {}, {}};
            number.reset();
            blockStart = false;
            continue;
        }
        if (number)
            text.append(*std::exchange(number, std::nullopt));
        if (!trimmed.isEmpty() &&
            std::all_of(trimmed.begin(), trimmed.end(), [](QChar c) { return c.isDigit(); })) {
            number = line;
            continue;
        }
        text.append(line);
        blockStart = trimmed.isEmpty();
    }
    if (number)
        text.append(*number);
    finish();
    return cues;
}

// WebVTT as browsers parse it: blocks part at blank lines, a cue is a
// block whose first or second line holds "-->", and a later line holding
// "-->" starts the next block.
QList<Cue> vttCues(const QStringList &lines)
{
    QList<Cue> cues;
    // The header runs to the first blank line, or to the first cue when no
    // blank line comes before it.
    qsizetype i = 1;
    while (i < lines.size() && !lines[i].isEmpty() && !lines[i].contains(u"-->"))
        ++i;
    while (i < lines.size()) {
        if (lines[i].isEmpty()) {
            ++i;
            continue;
        }
        qsizetype timingLine = i;
        if (!lines[i].contains(u"-->"))
            ++timingLine;
        if (timingLine >= lines.size() || !lines[timingLine].contains(u"-->")) {
            // A note, a style or region block, or something unknown.
            while (i < lines.size() && !lines[i].isEmpty())
                ++i;
            continue;
        }
        i = timingLine + 1;
        QStringList payload;
        while (i < lines.size() && !lines[i].isEmpty() && !lines[i].contains(u"-->"))
            payload.append(lines[i++]);
        if (const std::optional<Timing> timing = parseTiming(lines[timingLine]))
            cues.append(Cue{timing->startMs, timing->endMs, checkedSettings(timing->rest),
                            joinedLines(payload, false)});
    }
    return cues;
}

// SubStation's events: the [Events] section's Format line names the fields
// of each Dialogue line; the text is the last field and may hold commas.
QList<Cue> assCues(const QStringList &lines)
{
    QList<Cue> cues;
    // The fields when the section names none.
    qsizetype fieldCount = 10;
    qsizetype startAt = 1;
    qsizetype endAt = 2;
    bool inEvents = false;
    for (const QString &line : lines) {
        const QStringView trimmed = QStringView(line).trimmed();
        if (trimmed.startsWith(u'[')) {
            inEvents = trimmed.compare(u"[Events]", Qt::CaseInsensitive) == 0;
            continue;
        }
        if (!inEvents)
            continue;
        if (trimmed.startsWith(u"Format:", Qt::CaseInsensitive)) {
            const QList<QStringView> fields = trimmed.sliced(7).split(u',');
            fieldCount = fields.size();
            const auto indexOf = [&](QStringView name) {
                const auto at = std::find_if(fields.cbegin(), fields.cend(), [name](QStringView field) {
                    return field.trimmed().compare(name, Qt::CaseInsensitive) == 0;
                });
                // The text is the last field, never a time.
                return at == fields.cend() || at + 1 == fields.cend() ? -1 : at - fields.cbegin();
            };
            startAt = indexOf(u"Start");
            endAt = indexOf(u"End");
            continue;
        }
        if (!trimmed.startsWith(u"Dialogue:", Qt::CaseInsensitive))
            continue;
        const QStringView values = trimmed.sliced(9);
        QList<QStringView> parts;
        qsizetype from = 0;
        while (parts.size() + 1 < fieldCount) {
            const qsizetype comma = values.indexOf(u',', from);
            if (comma < 0)
                break;
            parts.append(values.sliced(from, comma - from));
            from = comma + 1;
        }
        if (parts.size() + 1 != fieldCount || startAt < 0 || endAt < 0)
            continue;
        parts.append(values.sliced(from));
        const std::optional<qint64> start = parseTime(parts[startAt]);
        const std::optional<qint64> end = parseTime(parts[endAt]);
        if (start && end)
            cues.append(Cue{*start, *end, {}, joinedLines(assText(parts.last()).split(u'\n'), true)});
    }
    return cues;
}

// "hh:mm:ss.ttt"
QString webVttTime(qint64 ms)
{
    return QStringLiteral("%1:%2:%3.%4")
        .arg(ms / 3600000, 2, 10, QLatin1Char('0'))
        .arg(ms / 60000 % 60, 2, 10, QLatin1Char('0'))
        .arg(ms / 1000 % 60, 2, 10, QLatin1Char('0'))
        .arg(ms % 1000, 3, 10, QLatin1Char('0'));
}

// A JSON string of ASCII alone: every character above it as a \u escape.
void appendAsciiJsonString(QString &out, QStringView value)
{
    QString json;
    page::appendJsonString(json, value);
    for (const QChar c : std::as_const(json)) {
        if (c.unicode() < 0x80)
            out.append(c);
        else
            out.append(QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0')));
    }
}

} // namespace

Language languageOf(const QString &part)
{
    if (part.isEmpty())
        return {QStringLiteral("字幕"), {}};
    const QByteArray key = part.toLower().replace(u'_', u'-').toUtf8();
    for (const KnownLanguage &known : KnownLanguages) {
        if (QByteArray(known.parts).split(' ').contains(key))
            return {QString::fromUtf8(known.label), QString::fromLatin1(known.lang)};
    }
    return {part, part};
}

QList<SubtitleFile> subtitlesOf(const QStringList &folderFiles, const QString &episodeFileName)
{
    const QString stem = page::nameWithoutExtension(episodeFileName);
    QList<SubtitleFile> found;
    for (qsizetype i = 0; i < folderFiles.size(); ++i) {
        const QString &name = folderFiles[i];
        const qsizetype dot = name.lastIndexOf(u'.');
        if (dot < stem.size() || !name.startsWith(stem))
            continue;
        const std::optional<Format> format = formatOf(QStringView(name).sliced(dot + 1));
        if (!format)
            continue;
        const QStringView middle = QStringView(name).sliced(stem.size(), dot - stem.size());
        if (!middle.isEmpty() && (middle.size() < 2 || middle[0] != u'.' || middle.sliced(1).contains(u'.') ||
                                  isOtherEpisodesStem(folderFiles, QStringView(name).first(dot))))
            continue;
        SubtitleFile file{name, i, *format, middle.isEmpty() ? QString() : middle.sliced(1).toString(),
                          {},   {}};
        const Language language = languageOf(file.language);
        file.label = language.label;
        file.lang = language.lang;
        found.append(file);
    }
    std::sort(found.begin(), found.end(), [](const SubtitleFile &first, const SubtitleFile &second) {
        if (trackRank(first) != trackRank(second))
            return trackRank(first) < trackRank(second);
        return files::nameLess(first.fileName, second.fileName);
    });
    return found;
}

QList<QList<SubtitleFile>> subtitlesOfEpisodes(const QStringList &episodes, const QStringList &otherFiles)
{
    // A subtitle belongs to the episodes whose stem is its name without the
    // extension, or without the language part and the extension: each is
    // looked up by those two stems. `subtitlesOf` then decides on the few
    // files that can matter, the episodes named by a subtitle's stem among
    // them.
    const auto stemOf = [](QStringView name) {
        const qsizetype dot = name.lastIndexOf(u'.');
        return dot < 0 ? name : name.first(dot);
    };
    QHash<QStringView, QList<qsizetype>> subtitlesByStem;
    for (qsizetype i = 0; i < otherFiles.size(); ++i) {
        const QStringView name = otherFiles[i];
        const qsizetype dot = name.lastIndexOf(u'.');
        if (dot < 0 || !formatOf(name.sliced(dot + 1)))
            continue;
        const QStringView stem = name.first(dot);
        subtitlesByStem[stem].append(i);
        if (const qsizetype languageDot = stem.lastIndexOf(u'.'); languageDot >= 0)
            subtitlesByStem[stem.first(languageDot)].append(i);
    }
    QHash<QStringView, QList<qsizetype>> episodesByStem;
    if (!subtitlesByStem.isEmpty()) {
        for (qsizetype i = 0; i < episodes.size(); ++i)
            episodesByStem[stemOf(episodes[i])].append(i);
    }
    QList<QList<SubtitleFile>> found(episodes.size());
    for (qsizetype e = 0; e < episodes.size() && !subtitlesByStem.isEmpty(); ++e) {
        const QString &episode = episodes[e];
        const auto candidates = subtitlesByStem.constFind(stemOf(episode));
        if (candidates == subtitlesByStem.cend())
            continue;
        QStringList folder;
        for (const qsizetype at : *candidates)
            folder.append(otherFiles[at]);
        for (const qsizetype at : *candidates) {
            const QStringView name = otherFiles[at];
            for (const qsizetype other : episodesByStem.value(stemOf(name)))
                folder.append(episodes[other]);
        }
        found[e] = subtitlesOf(folder, episode);
        for (SubtitleFile &file : found[e])
            file.listIndex = candidates->at(file.listIndex);
    }
    return found;
}

files::Outcome<QString> decodeText(const QByteArray &bytes)
{
    std::optional<QString> text;
    if (text::startsWithByteOrderMark(bytes)) {
        text = text::decode(bytes);
    } else {
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        text = utf8.decode(bytes);
        if (utf8.hasError()) {
            text = decodeLegacy("GB18030", bytes);
            const std::optional<QString> big5 = decodeLegacy("Big5", bytes);
            if (big5 && (!text || commonCharacterCount(*big5) > commonCharacterCount(*text)))
                text = big5;
        }
    }
    if (!text)
        return files::Failure{{}, text::undecodableReason()};
    return std::move(*text);
}

Conversion convertText(const QString &text, Format format)
{
    QString clean = text;
    clean.replace(QChar(0), QChar::ReplacementCharacter);
    const QStringList lines = text::splitLines(clean);
    Conversion conversion;
    if (format == Format::Vtt) {
        static const QRegularExpression Header(QStringLiteral(R"(^WEBVTT(?:[ \t].*)?$)"));
        if (lines.isEmpty() || !Header.match(lines.first()).hasMatch()) {
            conversion.reason = notWebVttReason();
            return conversion;
        }
    }
    const QList<Cue> cues = format == Format::Srt   ? srtCues(lines)
                            : format == Format::Vtt ? vttCues(lines)
                                                    : assCues(lines);
    std::copy_if(cues.cbegin(), cues.cend(), std::back_inserter(conversion.cues),
                 [](const Cue &cue) { return cue.endMs > cue.startMs && !cue.text.isEmpty(); });
    std::stable_sort(conversion.cues.begin(), conversion.cues.end(),
                     [](const Cue &first, const Cue &second) { return first.startMs < second.startMs; });
    if (conversion.cues.isEmpty())
        conversion.reason = noUsableCueReason();
    return conversion;
}

Conversion convert(const QByteArray &bytes, Format format)
{
    const files::Outcome<QString> text = decodeText(bytes);
    if (text)
        return convertText(*text, format);
    Conversion conversion;
    conversion.reason = text.failure().reason;
    return conversion;
}

QByteArray webVttBytes(const QList<Cue> &cues)
{
    QString out = QStringLiteral("WEBVTT\n");
    for (const Cue &cue : cues) {
        out += u'\n' + webVttTime(cue.startMs) + QStringLiteral(" --> ") + webVttTime(cue.endMs);
        if (!cue.settings.isEmpty())
            out += u' ' + cue.settings;
        out += u'\n' + cue.text + u'\n';
    }
    return out.toUtf8();
}

QByteArray cueScriptBytes(const QString &webVttFileName, const QList<Cue> &cues)
{
    QString out =
        QStringLiteral("window.tessalySubtitles=window.tessalySubtitles||{};window.tessalySubtitles[");
    appendAsciiJsonString(out, webVttFileName);
    out += u"]=[";
    for (qsizetype i = 0; i < cues.size(); ++i) {
        if (i > 0)
            out += u',';
        out += u'[' + page::jsonSeconds(cues[i].startMs / 1000.0) + u',' +
               page::jsonSeconds(cues[i].endMs / 1000.0) + u',';
        appendAsciiJsonString(out, cues[i].text);
        out += u']';
    }
    out += u"];\n";
    return out.toLatin1();
}

QString trackFileName(const QString &episodeFileName, int number)
{
    return episodeFileName + u'.' + QString::number(number) + QStringLiteral(".vtt");
}

QString cueScriptFileName(const QString &trackFileName)
{
    return page::nameWithoutExtension(trackFileName) + QStringLiteral(".js");
}

QList<Track> tracksOf(const QString &episodeFileName, const QList<SubtitleFile> &subtitles)
{
    QList<Track> tracks;
    for (qsizetype i = 0; i < subtitles.size(); ++i)
        tracks.append(
            {trackFileName(episodeFileName, int(i + 1)), subtitles[i].label, subtitles[i].lang, i == 0});
    return tracks;
}

} // namespace tessaly::subtitles
