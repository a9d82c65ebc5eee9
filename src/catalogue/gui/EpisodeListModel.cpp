#include "catalogue/gui/EpisodeListModel.h"

#include "platform/gui/RowIcons.h"

#include <QApplication>
#include <QFile>
#include <QStyle>
#include <algorithm>

namespace tessaly {

namespace {

QString toolTipOf(const media::Verdict &verdict)
{
    return verdict.text() + QStringLiteral(" (") + verdict.reason + u')';
}

} // namespace

EpisodeListModel::EpisodeListModel(QObject *parent) : QAbstractTableModel(parent), m_episodeIcon(rowIcon(1))
{}

void EpisodeListModel::showEpisodes(const QString &project, const QStringList &episodes,
                                    const QList<QByteArray> &encoded)
{
    beginResetModel();
    m_project = project;
    ++m_generation;
    m_rows.clear();
    m_rows.reserve(episodes.size());
    for (qsizetype i = 0; i < episodes.size(); ++i)
        m_rows.append({episodes.at(i), i < encoded.size() ? encoded.at(i) : QFile::encodeName(episodes.at(i)),
                       std::nullopt});
    endResetModel();
}

QStringList EpisodeListModel::episodes() const
{
    QStringList names;
    names.reserve(m_rows.size());
    for (const Row &row : m_rows)
        names.append(row.name);
    return names;
}

QList<QByteArray> EpisodeListModel::encodedEpisodes() const
{
    QList<QByteArray> names;
    names.reserve(m_rows.size());
    for (const Row &row : m_rows)
        names.append(row.bytes);
    return names;
}

bool EpisodeListModel::addChecks(const QString &project, quint64 generation, const QList<Check> &checks)
{
    if (generation != m_generation || project != m_project)
        return false;
    int first = int(m_rows.size());
    int last = -1;
    for (const auto &[row, check] : checks) {
        if (row < 0 || row >= m_rows.size())
            continue;
        m_rows[row].check = check;
        first = std::min(first, row);
        last = std::max(last, row);
    }
    if (last >= 0)
        emit dataChanged(index(first, NameColumn), index(last, DurationColumn));
    return true;
}

int EpisodeListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int EpisodeListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QIcon EpisodeListModel::markOf(const Row &row) const
{
    if (!row.check)
        return m_episodeIcon;
    const auto standard = [](QStyle::StandardPixmap icon) {
        return QApplication::style()->standardIcon(icon);
    };
    switch (row.check->verdict.playability) {
    case media::Playability::Plays:
        break;
    case media::Playability::SlowStart:
        return standard(QStyle::SP_MessageBoxInformation);
    case media::Playability::SomeBrowsers:
        return standard(QStyle::SP_MessageBoxWarning);
    case media::Playability::NoSound:
        return standard(QStyle::SP_MediaVolumeMuted);
    case media::Playability::DoesNotPlay:
        return standard(QStyle::SP_MessageBoxCritical);
    case media::Playability::Unreadable:
        return standard(QStyle::SP_MessageBoxQuestion);
    }
    return m_episodeIcon;
}

QVariant EpisodeListModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const Row &row = m_rows.at(index.row());
    const bool nameColumn = index.column() == NameColumn;
    switch (role) {
    case Qt::DisplayRole:
        if (nameColumn)
            return row.name;
        return row.check ? media::durationText(row.check->seconds) : QString();
    case Qt::DecorationRole:
        return nameColumn ? QVariant(markOf(row)) : QVariant();
    case Qt::ToolTipRole:
        if (row.check && row.check->verdict.noted())
            return toolTipOf(row.check->verdict);
        return {};
    case Qt::TextAlignmentRole:
        if (nameColumn)
            return {};
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    case FileNameRole:
        return row.name;
    case VerdictRole:
        return row.check ? QVariant::fromValue(row.check->verdict) : QVariant();
    case DurationRole:
        return row.check && row.check->seconds ? QVariant(*row.check->seconds) : QVariant();
    default:
        return {};
    }
}

QVariant EpisodeListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    if (section == NameColumn)
        return QStringLiteral("项目");
    if (section == DurationColumn)
        return QStringLiteral("时长");
    return {};
}

Qt::ItemFlags EpisodeListModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemNeverHasChildren;
}

} // namespace tessaly
