#include "files/TextFile.h"

#include "files/FileServices.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace tessaly::text {

namespace {

constexpr const char *CodePage936 = "windows-936";
constexpr const char *Gb18030 = "GB18030";

bool isTrailByte(uchar byte)
{
    return (byte >= 0x40 && byte <= 0x7E) || (byte >= 0x80 && byte <= 0xFE);
}

bool isLeadByte(uchar byte)
{
    return byte >= 0x81 && byte <= 0xFE;
}

// The converters replace what they cannot map instead of failing on every
// kind of bad input (a stray 0xFF, a cut-off last character), so the byte
// structure is checked here before decoding.
bool isWellFormed(const QByteArray &bytes, bool allowFourByte)
{
    const auto *data = reinterpret_cast<const uchar *>(bytes.constData());
    const qsizetype size = bytes.size();
    for (qsizetype i = 0; i < size;) {
        const uchar byte = data[i];
        if (byte < 0x80 || (byte == 0x80 && !allowFourByte)) {
            ++i;
            continue;
        }
        if (!isLeadByte(byte) || i + 1 >= size)
            return false;
        const uchar second = data[i + 1];
        if (isTrailByte(second)) {
            i += 2;
            continue;
        }
        if (!allowFourByte || second < 0x30 || second > 0x39 || i + 3 >= size)
            return false;
        if (!isLeadByte(data[i + 2]) || data[i + 3] < 0x30 || data[i + 3] > 0x39)
            return false;
        i += 4;
    }
    return true;
}

std::optional<QString> decodeWith(const char *codec, const QByteArray &bytes, bool allowFourByte)
{
    if (!isWellFormed(bytes, allowFourByte))
        return std::nullopt;
    QStringDecoder decoder(codec);
    QString result = decoder.decode(bytes);
    if (decoder.hasError())
        return std::nullopt;
    return result;
}

} // namespace

QByteArray encode(const QString &text)
{
    QStringEncoder encoder(CodePage936);
    QByteArray bytes = encoder.encode(text);
    if (!encoder.hasError())
        return bytes;
    QStringEncoder wide(Gb18030);
    return wide.encode(text);
}

std::optional<QString> decode(const QByteArray &bytes)
{
    if (auto text = decodeWith(CodePage936, bytes, false))
        return text;
    return decodeWith(Gb18030, bytes, true);
}

bool writeTextFile(const QString &path, const QString &text, QString *reason)
{
    QByteArray bytes = encode(text);
    bytes.append("\r\n", 2);
    return files::writeFileAtomically(path, bytes, reason);
}

std::optional<QString> readWholeText(const QString &path, QString *reason)
{
    const std::optional<QByteArray> bytes = files::readFileBytes(path, reason);
    if (!bytes)
        return std::nullopt;
    std::optional<QString> text = decode(*bytes);
    if (!text && reason)
        *reason = QStringLiteral("not valid code page 936 or GB18030 text");
    return text;
}

QStringList splitLines(const QString &text)
{
    QStringList lines;
    const qsizetype size = text.size();
    qsizetype start = 0;
    for (qsizetype i = 0; i < size; ++i) {
        const QChar c = text.at(i);
        if (c != u'\r' && c != u'\n')
            continue;
        lines.append(text.mid(start, i - start));
        if (c == u'\r' && i + 1 < size && text.at(i + 1) == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < size)
        lines.append(text.mid(start));
    return lines;
}

std::optional<QStringList> readTextLines(const QString &path, QString *reason)
{
    const std::optional<QString> text = readWholeText(path, reason);
    if (!text)
        return std::nullopt;
    return splitLines(*text);
}

} // namespace tessaly::text
