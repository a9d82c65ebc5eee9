#pragma once

#include "platform/gui/BrowserView.h"

#include <QObject>
#include <QString>
#include <memory>
#include <optional>

namespace tessaly {

class Clipboard;
class FileChooser;
class HttpClient;
class MainWindow;

namespace covers {

// The three cover commands of the main window: "选取封面" (`Command5`),
// "查找封面 - 站点1" (`Command10`) and "查找封面 - 站点2" (`Command11`). Each
// acts on the chosen project and reloads the window's cover preview after
// writing a cover. A JPEG file dropped on the cover preview works as
// "选取封面" with that file.
class CoverController : public QObject
{
    Q_OBJECT

public:
    explicit CoverController(MainWindow &window);
    ~CoverController() override;

    void pickCoverFile();
    // "选取封面" with the picture already chosen.
    void useCoverFile(const QString &picture);
    void searchByPageFetch();
    void searchInBrowser();

    // Tests put their own seams in.
    void setFileChooser(std::unique_ptr<FileChooser> chooser);
    void setHttpClient(std::unique_ptr<HttpClient> http);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void writeCover(const QString &project, const QString &picture);
    // The chosen project when the command may go on; otherwise it has
    // already said why.
    std::optional<QString> projectForCover();

    MainWindow &m_window;
    std::unique_ptr<FileChooser> m_fileChooser;
    std::unique_ptr<HttpClient> m_http;
    std::unique_ptr<Clipboard> m_clipboard;
    BrowserFactory m_makeBrowser;
};

} // namespace covers
} // namespace tessaly
