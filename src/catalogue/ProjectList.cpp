#include "catalogue/ProjectList.h"

#include "catalogue/ProjectNames.h"
#include "files/FileServices.h"
#include "files/TextFile.h"

namespace tessaly {

bool isUsableProjectName(const QString &name)
{
    // A dot-named page or cover would be hidden: publishing skips hidden
    // files and the clean-up never removes them (".", ".." among them).
    return !name.isEmpty() && !name.contains(u'/') && !name.startsWith(u'.') && !names::isReserved(name) &&
           !names::isTooLong(name) && !names::breaksLinks(name);
}

ProjectList::LoadResult ProjectList::load(const QString &listFile)
{
    m_names.clear();
    m_notReadWhole = false;
    m_loadFailure.clear();
    m_encoding = text::Encoding::CodePage936;
    if (!files::plainFileExists(listFile))
        return LoadResult::Missing;

    const files::Outcome<QByteArray> bytes = files::readFileBytes(listFile);
    if (!bytes) {
        m_notReadWhole = true;
        m_loadFailure = bytes.failure().reason;
        return LoadResult::Unreadable;
    }
    if (const std::optional<QString> whole = text::decode(*bytes, &m_encoding)) {
        for (const QString &line : text::splitLines(*whole)) {
            if (!line.isEmpty())
                m_names.append(line);
        }
        return LoadResult::Loaded;
    }
    // Undecodable somewhere: line ends are found in the bytes (CR and LF
    // never occur inside a double-byte character), so one bad line costs
    // only that line. A marked file's lines cannot be told apart that way.
    m_notReadWhole = true;
    m_loadFailure = text::undecodableReason();
    if (text::startsWithByteOrderMark(*bytes))
        return LoadResult::Unreadable;
    qsizetype start = 0;
    const qsizetype size = bytes->size();
    for (qsizetype i = 0; i <= size; ++i) {
        if (i < size && bytes->at(i) != '\r' && bytes->at(i) != '\n')
            continue;
        const QByteArray line = bytes->mid(start, i - start);
        // Inside the file, the bytes of a mark are not one.
        if (!line.isEmpty() && !text::startsWithByteOrderMark(line)) {
            if (const std::optional<QString> name = text::decode(line))
                m_names.append(*name);
        }
        start = i + 1;
    }
    return LoadResult::Unreadable;
}

files::Outcome<void> ProjectList::save(const QString &listFile) const
{
    if (m_notReadWhole)
        return unreadable(listFile);
    const std::optional<QByteArray> bytes =
        text::encodeReadable(m_names.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"), m_encoding);
    if (!bytes)
        return files::Failure{listFile, text::unstorableFileText()};
    return files::writeFileAtomically(listFile, *bytes);
}

files::Failure ProjectList::unreadable(const QString &listFile)
{
    return {listFile, QStringLiteral("无法读取项目列表,列表将不会被保存!")};
}

files::Outcome<void> listMayChange(const ProjectList &projects, const QString &listFile)
{
    if (projects.notReadWhole())
        return ProjectList::unreadable(listFile);
    return {};
}

void ProjectList::insertAtTop(const QString &name)
{
    m_names.prepend(name);
}

void ProjectList::removeAt(int row)
{
    if (row >= 0 && row < size())
        m_names.removeAt(row);
}

int ProjectList::moveUp(int row)
{
    if (row <= 0 || row >= size())
        return row;
    m_names.swapItemsAt(row - 1, row);
    return row - 1;
}

int ProjectList::moveDown(int row)
{
    if (row < 0 || row + 1 >= size())
        return row;
    m_names.swapItemsAt(row, row + 1);
    return row + 1;
}

int ProjectList::moveToFirst(int row)
{
    if (row <= 0 || row >= size())
        return row;
    m_names.move(row, 0);
    return 0;
}

int ProjectList::moveToLast(int row)
{
    if (row < 0 || row + 1 >= size())
        return row;
    m_names.move(row, size() - 1);
    return size() - 1;
}

int ProjectList::moveToRow(int row, int target)
{
    if (row < 0 || row >= size())
        return row;
    target = qBound(0, target, size() - 1);
    m_names.move(row, target);
    return target;
}

} // namespace tessaly
