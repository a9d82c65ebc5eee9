#pragma once

#include <QDialog>

class QCheckBox;
class QLineEdit;

namespace tessaly {

class Workspace;

// The settings dialog (`Form4`, caption "设置"): the movie root, the site
// folder and whether a run publishes to it, the site link, and the two cover
// search templates. Nothing is written until "确定"; a failed write is
// reported and the dialog stays open with the user's edits.
class SettingsDialog : public QDialog
{
    Q_OBJECT

public:
    explicit SettingsDialog(const Workspace &workspace, QWidget *parent = nullptr);

    void confirm();

private:
    const Workspace &m_workspace;
    QLineEdit *m_movieFile = nullptr;
    QCheckBox *m_webUpdate = nullptr;
    QLineEdit *m_webFile = nullptr;
    QLineEdit *m_webLink = nullptr;
    QLineEdit *m_coverSearch1 = nullptr;
    QLineEdit *m_coverSearch2 = nullptr;
};

} // namespace tessaly
