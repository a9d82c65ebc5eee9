#pragma once

#include "media/EpisodeCheck.h"

#include <QAbstractTableModel>
#include <QIcon>
#include <QList>
#include <QStringList>
#include <optional>
#include <utility>

Q_DECLARE_METATYPE(tessaly::media::Verdict)

namespace tessaly {

// The episodes of the project the details pane shows, a row each: the file
// name, and its duration in the second column. What browsers make of an
// episode comes later, from the check of the videos, as a mark before the
// name with its text and reason as tool tip; an episode that plays, or one
// not checked yet, keeps the plain episode icon.
//
// Every list shown is a generation of its own. Checks name the project and
// generation they were made for and are dropped unless that list is still
// shown, so the marks of a project clicked away never land on the next.
class EpisodeListModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column
    {
        NameColumn,
        DurationColumn,
        ColumnCount
    };
    enum Role
    {
        FileNameRole = Qt::UserRole + 1, // QString
        VerdictRole,                     // media::Verdict; none until checked
        DurationRole,                    // seconds as a double; none while unknown
    };
    using Check = std::pair<int, media::EpisodeCheck>; // a row and its check

    explicit EpisodeListModel(QObject *parent = nullptr);

    // Shows these episodes, none of them checked, as a new generation.
    // `encoded` are their names' bytes, when not simply the names encoded.
    void showEpisodes(const QString &project, const QStringList &episodes,
                      const QList<QByteArray> &encoded = {});
    const QString &project() const { return m_project; }
    quint64 generation() const { return m_generation; }
    QStringList episodes() const;
    QList<QByteArray> encodedEpisodes() const;
    // Takes checks of the list `project` and `generation` name; false, and
    // nothing changes, when another list is shown now.
    bool addChecks(const QString &project, quint64 generation, const QList<Check> &checks);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    struct Row
    {
        QString name;
        QByteArray bytes;
        std::optional<media::EpisodeCheck> check;
    };

    QIcon markOf(const Row &row) const;

    QString m_project;
    quint64 m_generation = 0;
    QList<Row> m_rows;
    QIcon m_episodeIcon;
};

} // namespace tessaly
