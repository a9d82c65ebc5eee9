#pragma once

#include <QDialog>
#include <functional>
#include <memory>

class QCheckBox;
class QLineEdit;

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

    SettingsDialog(const Workspace &workspace, Save save, QWidget *parent = nullptr);
    ~SettingsDialog() override;

    // The folder dialog of the two "浏览..." buttons; Qt's own unless a test
    // puts its own in.
    void setFolderChooser(std::unique_ptr<FileChooser> chooser);

    void confirm();

private:
    // A "浏览..." button: a folder chosen in the dialog replaces the box's
    // text; Cancel leaves it.
    void browseInto(QLineEdit *box);

    Save m_save;
    std::unique_ptr<FileChooser> m_folderChooser;
    QLineEdit *m_movieFile = nullptr;
    QCheckBox *m_webUpdate = nullptr;
    QCheckBox *m_naturalOrder = nullptr;
    QLineEdit *m_webFile = nullptr;
    QLineEdit *m_webLink = nullptr;
    QLineEdit *m_coverSearch1 = nullptr;
    QLineEdit *m_coverSearch2 = nullptr;
    // `Setting.ini` could not be read when the dialog opened.
    bool m_unreadable = false;
};

} // namespace tessaly
