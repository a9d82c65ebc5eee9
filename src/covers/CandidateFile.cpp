#include "covers/CandidateFile.h"

#include <QCryptographicHash>
#include <QDir>

namespace tessaly::covers {

namespace {

constexpr qsizetype MaximumNameBytes = 200;

bool isReplaced(char16_t c)
{
    if (c < 0x20 || c == 0x7F || (c >= 0x80 && c <= 0x9F))
        return true;
    switch (c) {
    case u'/':
    case u'\\':
    case u':':
    case u'*':
    case u'?':
    case u'"':
    case u'<':
    case u'>':
    case u'|':
        return true;
    default:
        return false;
    }
}

qsizetype utf8Length(QStringView text)
{
    qsizetype bytes = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < 0x80)
            bytes += 1;
        else if (c < 0x800)
            bytes += 2;
        else if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            bytes += 4;
            ++i;
        } else
            bytes += 3;
    }
    return bytes;
}

// The longest start of the name that fits in the byte budget without
// splitting a surrogate pair.
QString cutToBytes(const QString &name, qsizetype budget)
{
    qsizetype bytes = 0;
    qsizetype i = 0;
    while (i < name.size()) {
        const qsizetype width = name[i].isHighSurrogate() && i + 1 < name.size() ? 2 : 1;
        const qsizetype cost = utf8Length(QStringView(name).mid(i, width));
        if (bytes + cost > budget)
            break;
        bytes += cost;
        i += width;
    }
    return name.left(i);
}

} // namespace

QString candidateFileName(const QString &title)
{
    QString name = title;
    bool changed = false;
    for (QChar &c : name) {
        if (isReplaced(c.unicode())) {
            c = u'_';
            changed = true;
        }
    }
    if (name.isEmpty() || name.startsWith(u'.')) {
        name.prepend(u'_');
        changed = true;
    }
    if (utf8Length(name) > MaximumNameBytes) {
        name = cutToBytes(name, MaximumNameBytes);
        changed = true;
    }
    if (changed) {
        const QByteArray digest = QCryptographicHash::hash(title.toUtf8(), QCryptographicHash::Sha1);
        name += u'-' + QString::fromLatin1(digest.toHex().left(8));
    }
    return name + QStringLiteral(".jpg");
}

QString candidateFilePath(const QString &tempFolder, const QString &title)
{
    return QDir(tempFolder).filePath(candidateFileName(title));
}

} // namespace tessaly::covers
