#pragma once

#include <QDialog>
#include <functional>
#include <memory>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QThread;

namespace tessaly {

class FileChooser;
class Workspace;
struct EditedSettings;

// The settings dialog (`Form4`, caption "设置"): the movie root, the site
// folder and whether a run publishes to it, the site link, and the two cover
// search templates. Nothing is written until "确定", and then through
// `save`, which reports a failed write and returns false: the dialog then
// stays open with the user's edits.
class SettingsDialog : public QDialog
{
    Q_OBJECT

public:
    using Save = std::function<bool(const EditedSettings &settings)>;
    // The server check with the dialog's values: the text to show. Called
    // on a worker thread.
    using ServerTest = std::function<QString(const EditedSettings &settings)>;
    // Whether a text of `ServerTest` says the server gives the videos.
    using Served = std::function<bool(const QString &result)>;

    // `folders` is the folder dialog of the two "浏览..." buttons.
    SettingsDialog(const Workspace &workspace, Save save, FileChooser &folders, QWidget *parent = nullptr);
    ~SettingsDialog() override;

    // The site link's "测试" (`Command7`); without it the button is hidden.
    void setServerTest(ServerTest test, Served served);
    // Waits for a server test still going.
    void waitForServerTest();

    void confirm();

signals:
    void serverTestFinished();

private:
    EditedSettings edited() const;
    void startServerTest();
    void showServerTestResult(const QString &result);
    // A "测试" button of a folder box.
    void showFolderTest(const QString &path, const QString &emptyText);
    // "创建 movie 链接": says what it did or why not.
    void createMovieLink();
    // "创建 movie 链接" is offered when the server check failed or there is
    // no site link, and the site folder has no `movie`.
    void offerMovieLink();

    // A "浏览..." button: a folder chosen in the dialog replaces the box's
    // text; Cancel leaves it.
    void browseInto(QLineEdit *box);

    Save m_save;
    FileChooser &m_folderChooser;
    QLineEdit *m_movieFile = nullptr;
    QCheckBox *m_webUpdate = nullptr;
    QCheckBox *m_naturalOrder = nullptr;
    QCheckBox *m_checkVideos = nullptr;
    QLineEdit *m_webFile = nullptr;
    QLineEdit *m_webLink = nullptr;
    QLineEdit *m_coverSearch1 = nullptr;
    QLineEdit *m_coverSearch2 = nullptr;
    QPushButton *m_testWebLink = nullptr;
    QPushButton *m_makeMovieLink = nullptr;
    ServerTest m_serverTest;
    Served m_served;
    std::unique_ptr<QThread> m_testThread;
    QString m_testResult;
    bool m_serverMissed = false;
    // `Setting.ini` could not be read when the dialog opened.
    bool m_unreadable = false;
};

} // namespace tessaly
