#include "files/TextFile.h"

#include "files/FileServices.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <algorithm>
#include <array>
#include <atomic>
#include <bit>
#include <mutex>
#include <vector>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

// Code page 936 of the characters of the basic plane, asked of the
// converter a block of 256 characters at a time, the first time a text
// holds one of the block: pages are encoded by looking each character up,
// which is many times faster than a converter call for each text, and a
// run's texts touch few blocks, so the table costs little to make. 0 marks
// a character that code page 936 cannot carry; below 0x100 is one byte.
class CodePage936Table
{
public:
    CodePage936Table() : m_codes(0x10000, 0) {}

    // The text in code page 936, or nothing when a character has no code.
    std::optional<QByteArray> encode(QStringView text) const
    {
        QByteArray bytes;
        if (!appendTo(bytes, text))
            return std::nullopt;
        return bytes;
    }

    // Appends the text in code page 936; false, with `bytes` as it was,
    // when a character has no code.
    bool appendTo(QByteArray &bytes, QStringView text) const
    {
        const qsizetype start = bytes.size();
        bytes.resize(start + text.size() * 2);
        char *out = bytes.data() + start;
        const char16_t *in = text.utf16();
        const char16_t *const end = in + text.size();
        while (in < end) {
#if defined(__SSE2__)
            // Pages are mostly ASCII: eight characters at a time while they are.
            if (end - in >= 8) {
                const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i *>(in));
                const __m128i aboveAscii = _mm_and_si128(units, _mm_set1_epi16(short(0xFF80)));
                // Two bits for each character that is ASCII, from the first.
                const unsigned ascii =
                    unsigned(_mm_movemask_epi8(_mm_cmpeq_epi16(aboveAscii, _mm_setzero_si128())));
                // All eight bytes are stored; those after the first character
                // that is not ASCII are written over next.
                _mm_storel_epi64(reinterpret_cast<__m128i *>(out), _mm_packus_epi16(units, units));
                const int leading = ascii == 0xFFFF ? 8 : std::countr_one(ascii) / 2;
                out += leading;
                in += leading;
                if (leading == 8)
                    continue;
            }
#endif
            const char16_t unit = *in++;
            if (unit < 0x80) {
                *out++ = char(unit);
                continue;
            }
            const quint16 code = codeOf(unit);
            if (code == 0) {
                bytes.truncate(start);
                return false;
            }
            if (code > 0xFF)
                *out++ = char(code >> 8);
            *out++ = char(code & 0xFF);
        }
        bytes.truncate(out - bytes.data());
        return true;
    }

    bool fits(QStringView text) const
    {
        for (const QChar c : text) {
            const char16_t unit = c.unicode();
            if (unit >= 0x80 && codeOf(unit) == 0)
                return false;
        }
        return true;
    }

private:
    quint16 codeOf(char16_t unit) const
    {
        const int block = unit >> 8;
        if (!m_made[block].load(std::memory_order_acquire))
            makeBlock(block);
        return m_codes[unit];
    }

    // One converter call for the block: each character followed by U+0001,
    // which is byte 0x01 and never part of a two-byte code, so the bytes
    // split back into the characters' codes. The converter writes "?" for a
    // character it has no code for; no other character above ASCII becomes
    // that byte.
    void makeBlock(int block) const
    {
        const std::lock_guard<std::mutex> lock(m_making);
        if (m_made[block].load(std::memory_order_relaxed))
            return;
        const char16_t first = char16_t(std::max(block << 8, 0x80));
        const char16_t last = char16_t((block << 8) | 0xFF);
        QString characters;
        for (char32_t c = first; c <= last; ++c) {
            // Surrogates are never a character of their own: they keep 0.
            characters.append(QChar(c >= 0xD800 && c < 0xE000 ? u'?' : char16_t(c)));
            characters.append(QChar(u'\x01'));
        }
        QStringEncoder encoder(CodePage936);
        const QByteArray bytes = encoder.encode(characters);
        qsizetype at = 0;
        for (char32_t c = first; c <= last; ++c) {
            const qsizetype separator = bytes.indexOf('\x01', at);
            if (separator < 0)
                break; // the converter failed as a whole: the block stays uncodable
            const qsizetype size = separator - at;
            const bool surrogate = c >= 0xD800 && c < 0xE000;
            if (!surrogate && size == 1 && bytes[at] != '?')
                m_codes[c] = uchar(bytes[at]);
            else if (!surrogate && size == 2)
                m_codes[c] = quint16(uchar(bytes[at]) << 8 | uchar(bytes[at + 1]));
            at = separator + 1;
        }
        m_made[block].store(true, std::memory_order_release);
    }

    mutable std::vector<quint16> m_codes;
    mutable std::array<std::atomic<bool>, 256> m_made{};
    mutable std::mutex m_making;
};

const CodePage936Table &codePage936()
{
    static const CodePage936Table table;
    return table;
}

bool isEastAsian(char32_t c)
{
    return (c >= 0x2E80 && c <= 0x9FFF) || (c >= 0xAC00 && c <= 0xD7AF) || (c >= 0xF900 && c <= 0xFAFF) ||
           (c >= 0xFF00 && c <= 0xFFEF) || c > 0xFFFF;
}

// Valid UTF-8 with at least one multi-byte character and none outside the
// East Asian blocks. A two-byte sequence is always below U+0800, so any
// ends the test: those are the sequences that code page 936 names form.
bool isEastAsianUtf8(const QByteArray &bytes)
{
    const auto *data = reinterpret_cast<const uchar *>(bytes.constData());
    const qsizetype size = bytes.size();
    bool multiByte = false;
    for (qsizetype i = 0; i < size;) {
        const uchar lead = data[i];
        if (lead < 0x80) {
            ++i;
            continue;
        }
        qsizetype length = 0;
        char32_t c = 0;
        if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            c = lead & 0x0F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            c = lead & 0x07;
        } else {
            return false;
        }
        if (size - i < length)
            return false;
        for (qsizetype k = 1; k < length; ++k) {
            const uchar next = data[i + k];
            if ((next & 0xC0) != 0x80)
                return false;
            c = (c << 6) | (next & 0x3F);
        }
        // Overlong forms and code points past U+10FFFF are not UTF-8.
        const bool overlong = length == 3 ? c < 0x800 : c < 0x10000;
        if (overlong || c > 0x10FFFF || !isEastAsian(c))
            return false;
        multiByte = true;
        i += length;
    }
    return multiByte;
}

// The text after a byte-order mark. A mark repeated after the first one is
// kept as a character, and bytes that are not valid in the encoding, or a
// cut-off last character, make the whole file undecodable.
std::optional<QString> decodeAfterMark(QStringConverter::Encoding encoding, QByteArrayView rest)
{
    if (encoding != QStringConverter::Utf8 && rest.size() % 2 != 0)
        return std::nullopt;
    QStringDecoder decoder(encoding,
                           QStringConverter::Flag::ConvertInitialBom | QStringConverter::Flag::Stateless);
    QString result = decoder.decode(rest);
    if (decoder.hasError() || !QStringView(result).isValidUtf16())
        return std::nullopt;
    return result;
}

} // namespace

QByteArray encode(const QString &text)
{
    if (std::optional<QByteArray> bytes = codePage936().encode(text))
        return *bytes;
    QStringEncoder wide(Gb18030);
    return wide.encode(text);
}

bool fitsCodePage936(QStringView text)
{
    return codePage936().fits(text);
}

bool appendInCodePage936(QByteArray &out, QStringView text)
{
    return codePage936().appendTo(out, text);
}

PieceEncoder::PieceEncoder(bool fitsCodePage936) : m_codePage936(fitsCodePage936), m_wide(Gb18030) {}

void PieceEncoder::appendTo(QByteArray &out, QStringView piece)
{
    if (m_codePage936 && codePage936().appendTo(out, piece))
        return;
    out.append(m_wide.encode(piece));
}

std::optional<QString> decode(const QByteArray &bytes, Encoding *encoding)
{
    if (encoding)
        *encoding = Encoding::CodePage936;
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return decodeAfterMark(QStringConverter::Utf8, QByteArrayView(bytes).sliced(3));
    if (bytes.startsWith("\xFF\xFE"))
        return decodeAfterMark(QStringConverter::Utf16LE, QByteArrayView(bytes).sliced(2));
    if (bytes.startsWith("\xFE\xFF"))
        return decodeAfterMark(QStringConverter::Utf16BE, QByteArrayView(bytes).sliced(2));
    if (isEastAsianUtf8(bytes)) {
        if (encoding)
            *encoding = Encoding::Utf8WithoutMark;
        return QString::fromUtf8(bytes);
    }
    if (auto text = decodeWith(CodePage936, bytes, false))
        return text;
    return decodeWith(Gb18030, bytes, true);
}

bool startsWithByteOrderMark(const QByteArray &bytes)
{
    return bytes.startsWith("\xEF\xBB\xBF") || bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF");
}

std::optional<QByteArray> encodeReadable(const QString &text, Encoding encoding)
{
    if (!QStringView(text).isValidUtf16())
        return std::nullopt;
    if (encoding == Encoding::Utf8WithoutMark) {
        QByteArray utf8 = text.toUtf8();
        if (decode(utf8) == text)
            return utf8;
    }
    std::optional<QByteArray> bytes = codePage936().encode(text);
    if (bytes && decode(*bytes) == text)
        return bytes;
    QStringEncoder wide(Gb18030);
    bytes = wide.encode(text);
    if (!wide.hasError() && decode(*bytes) == text)
        return bytes;
    return std::nullopt;
}

bool hasOnlyStorableCharacters(const QString &text)
{
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        if (text.at(i).unicode() < 0x80)
            continue;
        const qsizetype length =
            text.at(i).isHighSurrogate() && i + 1 < size && text.at(i + 1).isLowSurrogate() ? 2 : 1;
        if (!encodeReadable(text.mid(i, length)))
            return false;
        i += length - 1;
    }
    return true;
}

QString undecodableReason()
{
    return QStringLiteral("无法识别的文字编码");
}

QByteArray fileBytes(const QString &text)
{
    QByteArray bytes = encode(text);
    bytes.append("\r\n", 2);
    return bytes;
}

files::Outcome<void> writeTextFile(const QString &path, const QString &text)
{
    return files::writeFileAtomically(path, fileBytes(text));
}

files::Outcome<QString> readWholeText(const QString &path, Encoding *encoding)
{
    const files::Outcome<QByteArray> bytes = files::readFileBytes(path);
    if (!bytes)
        return bytes.failure();
    std::optional<QString> text = decode(*bytes, encoding);
    if (!text)
        return files::Failure{path, undecodableReason()};
    return *std::move(text);
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

files::Outcome<QStringList> readTextLines(const QString &path)
{
    const files::Outcome<QString> text = readWholeText(path);
    if (!text)
        return text.failure();
    return splitLines(*text);
}

} // namespace tessaly::text
