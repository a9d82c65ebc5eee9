#pragma once

#include <QGroupBox>
#include <QImage>
#include <QLabel>

class QLineEdit;
class QPushButton;
class QTreeView;

namespace tessaly {

class EpisodeChecks;
class EpisodeListModel;
struct ProjectDetails;

// `Picture1`: the cover, scaled to fit the box without distortion.
class CoverPreview : public QLabel
{
    Q_OBJECT

public:
    explicit CoverPreview(QWidget *parent = nullptr);

    void setPicture(const QImage &picture);
    const QImage &picture() const { return m_picture; }
    bool showsDefaultCover() const { return m_default; }
    void showDefaultCover();
    // Loads the file; one that is not a readable picture leaves the default.
    void showCoverFile(const QString &path);

    static const QImage &defaultCover();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void rescale();

    QImage m_picture;
    bool m_default = true;
};

// `Frame1`: the chosen project's name as caption, its cover, its episode
// folder and the folder's files, with the per-project buttons. The
// episodes are checked in the background when the project's details ask
// for it and checks are given.
class DetailsPane : public QGroupBox
{
    Q_OBJECT

public:
    static constexpr const char *EmptyCaption = "内容";

    explicit DetailsPane(QWidget *parent = nullptr);

    // What checks the episodes of the projects shown; none checks nothing.
    void setEpisodeChecks(EpisodeChecks *checks) { m_checks = checks; }

    void showEmpty();
    void showProject(const ProjectDetails &details);
    void clearEpisodes();
    // "另有 N 个非视频文件未列为剧集" below the episodes, the names in its
    // tool tip; hidden when there are none.
    void showOtherFiles(const QStringList &otherFiles);

    CoverPreview *coverPreview() const { return m_cover; }
    QLineEdit *folderField() const { return m_folder; }
    QTreeView *episodeView() const { return m_episodes; }
    EpisodeListModel *episodeModel() const { return m_episodeModel; }
    QLabel *otherFilesLine() const { return m_otherFiles; }
    QPushButton *pickCoverButton() const { return m_pickCover; }
    QPushButton *searchSite1Button() const { return m_searchSite1; }
    QPushButton *searchSite2Button() const { return m_searchSite2; }
    QPushButton *grabFromVideoButton() const { return m_grabFromVideo; }
    QPushButton *convertButton() const { return m_convert; }
    QPushButton *chooseFolderButton() const { return m_chooseFolder; }

private:
    CoverPreview *m_cover = nullptr;
    QLineEdit *m_folder = nullptr;
    EpisodeListModel *m_episodeModel = nullptr;
    QTreeView *m_episodes = nullptr;
    EpisodeChecks *m_checks = nullptr;
    QLabel *m_otherFiles = nullptr;
    QPushButton *m_pickCover = nullptr;
    QPushButton *m_searchSite1 = nullptr;
    QPushButton *m_searchSite2 = nullptr;
    QPushButton *m_grabFromVideo = nullptr;
    QPushButton *m_convert = nullptr;
    QPushButton *m_chooseFolder = nullptr;
};

// Sets a view over a model of its own up the way every list of the window
// is: no root decoration, no in-place editing, one row selected at most;
// the model names the columns.
void setUpRowList(QTreeView *list, const QString &objectName);

} // namespace tessaly
