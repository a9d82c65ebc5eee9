#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <memory>

class QAbstractItemView;

namespace tessaly {

class BackgroundRun;
class MessagePanel;
class ProgressRelay;
class ProjectChoice;
class WebCopyConversion;
class WorkspaceSession;

// "转换为网页格式": for the episode chosen in the episode list's menu, for
// the chosen project, and "转换所有无法播放的剧集" for every project. The
// episodes are looked at and then converted as the window's background
// job, reporting to the message panel, whose "停止" ends the copy being
// made; between the two, a conversion of more than one episode asks first.
class WebCopyController : public QObject
{
    Q_OBJECT

public:
    // `episodes` is the chosen project's episode list; `shownLines` are
    // kept as the panel's lines. The controller belongs to `owner`.
    WebCopyController(WorkspaceSession &session, ProjectChoice &choice, BackgroundRun &background,
                      QAbstractItemView *episodes, MessagePanel *panel, QStringList &shownLines,
                      QObject *owner);

    void convertSelectedEpisode();
    void convertChosenProject();
    void convertAll();

signals:
    // A conversion's end has been shown to the user, or it did not begin.
    void finished();

private:
    void begin(const QString &project, const QString &episode);
    void afterLooking(const std::shared_ptr<WebCopyConversion> &conversion,
                      const std::shared_ptr<ProgressRelay> &relay);
    void end();

    WorkspaceSession &m_session;
    ProjectChoice &m_choice;
    BackgroundRun &m_background;
    QAbstractItemView *m_episodes;
    MessagePanel *m_panel;
    QStringList &m_shownLines;
};

} // namespace tessaly
