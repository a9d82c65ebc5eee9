#include "catalogue/ProjectList.h"

#include "files/FileServices.h"
#include "files/TextFile.h"

namespace tessaly {

bool isUsableProjectName(const QString &name)
{
    return !name.isEmpty() && !name.contains(u'/') && !name.contains(QChar(u'\0')) &&
           name != QLatin1String(".") && name != QLatin1String("..");
}

ProjectList::LoadResult ProjectList::load(const QString &listFile)
{
    m_names.clear();
    m_saveRefused = false;
    if (!files::plainFileExists(listFile))
        return LoadResult::Missing;

    const std::optional<QByteArray> bytes = files::readFileBytes(listFile);
    if (!bytes) {
        m_saveRefused = true;
        return LoadResult::Unreadable;
    }
    if (const std::optional<QString> whole = text::decode(*bytes)) {
        for (const QString &line : text::splitLines(*whole)) {
            if (!line.isEmpty())
                m_names.append(line);
        }
        return LoadResult::Loaded;
    }
    // Undecodable somewhere: line ends are found in the bytes (CR and LF
    // never occur inside a double-byte character), so one bad line costs
    // only that line.
    m_saveRefused = true;
    qsizetype start = 0;
    const qsizetype size = bytes->size();
    for (qsizetype i = 0; i <= size; ++i) {
        if (i < size && bytes->at(i) != '\r' && bytes->at(i) != '\n')
            continue;
        if (i > start) {
            const std::optional<QString> name = text::decode(bytes->mid(start, i - start));
            if (name)
                m_names.append(*name);
        }
        start = i + 1;
    }
    return LoadResult::Unreadable;
}

bool ProjectList::save(const QString &listFile, QString *reason) const
{
    if (m_saveRefused) {
        if (reason)
            *reason = unreadableText(listFile);
        return false;
    }
    return text::writeTextFile(listFile, m_names.join(QStringLiteral("\r\n")), reason);
}

QString ProjectList::unreadableText(const QString &listFile)
{
    return listFile + QStringLiteral("\r\n") + QStringLiteral("无法读取项目列表,列表将不会被保存!");
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
