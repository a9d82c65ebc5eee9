#pragma once

#include "platform/gui/BrowserView.h"

#include <QObject>
#include <QString>
#include <optional>

namespace tessaly {

class Clipboard;
class Desktop;
class FileChooser;
class HttpClient;
class ProjectChoice;
class WorkspaceSession;

// The three cover commands: a local picture chosen by the user, and the
// searches on the two sites. Each acts on the chosen project and reloads
// the cover preview after writing a cover. A JPEG file dropped on the cover
// preview works as choosing that file.
class CoverController : public QObject
{
    Q_OBJECT

public:
    // The dialogs open modal over `dialogParent`, which owns the controller.
    CoverController(WorkspaceSession &session, ProjectChoice &choice, QWidget *coverPreview,
                    FileChooser &fileChooser, HttpClient &http, Clipboard &clipboard, Desktop &desktop,
                    BrowserFactory makeBrowser, QWidget *dialogParent);

    void pickCoverFile();
    // "选取封面" with the picture already chosen.
    void useCoverFile(const QString &picture);
    void searchByPageFetch();
    void searchInBrowser();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void writeCover(const QString &project, const QString &picture);
    // Writes `picture` as the project's cover through the session.
    bool setCover(const QString &project, const QString &picture);

    WorkspaceSession &m_session;
    ProjectChoice &m_choice;
    FileChooser &m_fileChooser;
    HttpClient &m_http;
    Clipboard &m_clipboard;
    Desktop &m_desktop;
    BrowserFactory m_makeBrowser;
    QWidget *m_dialogParent;
};

} // namespace tessaly
