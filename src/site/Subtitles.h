#pragma once

#include "files/Outcome.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// Subtitle files lying beside the episodes, made into WebVTT tracks for the
// new page set's player: which files belong to an episode, how their bytes
// are read, and their cues as a WebVTT file and as a script (pages opened
// from file:// may not load a track file, but may load a script).
namespace tessaly::subtitles {

enum class Format
{
    Srt,
    Vtt,
    Ass // SubStation Alpha, .ass and .ssa alike
};

// One subtitle file of an episode.
struct SubtitleFile
{
    QString fileName;
    // Where the name stands in the folder's list it was found in, so the
    // caller reaches the file by the name's own bytes.
    qsizetype listIndex = -1;
    Format format = Format::Srt;
    // The language part of the name as written ("chs" in 第1集.chs.srt);
    // empty when the name has none.
    QString language;
    QString label; // "简体中文", "English", ..., "字幕" without a language part
    QString lang;  // "zh-Hans", "en", ..., the part itself, empty without one
};

// The subtitles of the episode among the files of its folder (all of them,
// episodes too), in track order: simplified Chinese first, then "中文",
// then the rest by name. A subtitle's name is the episode's name without
// its extension, then optionally "." and a language part without a dot,
// then ".srt", ".vtt", ".ass" or ".ssa" in any letter case. A name that is
// another episode's plain subtitle (第1集.5.srt beside 第1集.5.mp4) is not
// also a language of this one.
QList<SubtitleFile> subtitlesOf(const QStringList &folderFiles, const QString &episodeFileName);
// The subtitles of each episode of a folder, as `subtitlesOf` finds them in
// its episodes and other files together, in one pass however many there
// are; `listIndex` is then a place in `otherFiles`.
QList<QList<SubtitleFile>> subtitlesOfEpisodes(const QStringList &episodes, const QStringList &otherFiles);

// The label and BCP 47 tag of a language part, in any letter case:
// chs/sc/zh-hans/zh-cn/... give {"简体中文", "zh-Hans"}; an unknown part
// gives itself twice; an empty one {"字幕", ""}.
struct Language
{
    QString label;
    QString lang;
};
Language languageOf(const QString &part);

// The text of a subtitle file: a byte-order mark decides (UTF-8, UTF-16),
// else UTF-8 when the bytes are valid UTF-8, else GB18030 or Big5,
// whichever reads them without a bad or private-use character and finds
// more of the most common Chinese characters. A failure without a path,
// "无法识别的文字编码" as its reason, when none does.
files::Outcome<QString> decodeText(const QByteArray &bytes);

struct Cue
{
    qint64 startMs = 0;
    qint64 endMs = 0;
    // WebVTT cue settings ("line:0 align:start"), from a WebVTT file only.
    QString settings;
    // The payload as WebVTT cue text: lines joined by "\n", none of them
    // blank, "&", "<" and ">" escaped except in the <i>, <b> and <u> tags
    // kept, and never a "-->".
    QString text;
};

struct Conversion
{
    QList<Cue> cues; // by start time
    // Why the file gives no track, a line of the run's report; empty when
    // it gives one.
    QString reason;
    bool ok() const { return reason.isEmpty(); }
};

// The usable cues of a subtitle file's text. Cues with a bad time, an end
// not after their start or no text are left out.
Conversion convertText(const QString &text, Format format);
// `decodeText` then `convertText`.
Conversion convert(const QByteArray &bytes, Format format);

// The cues as a WebVTT file, UTF-8 with LF line ends.
QByteArray webVttBytes(const QList<Cue> &cues);
// The cues as a script that registers them under the WebVTT file's name:
// window.tessalySubtitles["<name>"]=[[start,end,"text"],...]; with times in
// seconds. Every string is a JSON string in plain ASCII, "<" and the line
// separators escaped, so no text ends the script and any page reads it.
QByteArray cueScriptBytes(const QString &webVttFileName, const QList<Cue> &cues);

// "<episode file name>.<number>.vtt", numbered from 1 in track order.
QString trackFileName(const QString &episodeFileName, int number);
// The script beside a track file: its name with ".js" for ".vtt".
QString cueScriptFileName(const QString &trackFileName);

// One track of an episode, for the page's list: {"src", "label", "lang",
// "default"}.
struct Track
{
    QString src; // the track file's name (`trackFileName`)
    QString label;
    QString lang;
    bool isDefault = false;
};

// The tracks of the episode's subtitles (as `subtitlesOf` orders them); the
// first is the default.
QList<Track> tracksOf(const QString &episodeFileName, const QList<SubtitleFile> &subtitles);

// The reasons a subtitle file gives no track.
inline QString noUsableCueReason()
{
    return QStringLiteral("字幕文件中没有可用的字幕");
}
inline QString notWebVttReason()
{
    return QStringLiteral("不是 WebVTT 字幕文件");
}
inline QString tooLargeReason()
{
    return QStringLiteral("字幕文件过大");
}
// Larger than any subtitle file; a bigger one is not read.
constexpr qint64 MaximumFileBytes = 32 * 1024 * 1024;

} // namespace tessaly::subtitles
