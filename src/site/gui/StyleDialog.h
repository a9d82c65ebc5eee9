#pragma once

#include "platform/gui/BrowserView.h"
#include "site/StyleValues.h"
#include "workspace/Workspace.h"

#include <QDialog>
#include <QList>

class QComboBox;
class QLineEdit;
class QTimer;

namespace tessaly {

class ColourChooser;

// "布局设计" (`Form8`): edits the ten values of `Style.ini`, each in a text
// field with a helper (a colour picker, or steps for a number), beside a
// live preview of the index page. Nothing is written until "确定", which
// refuses what the style load would refuse; Esc closes without saving,
// even while the preview has the focus.
class StyleDialog : public QDialog
{
    Q_OBJECT

public:
    StyleDialog(const Workspace &workspace, const BrowserFactory &makeBrowser, ColourChooser &colours,
                QWidget *parent = nullptr);
    ~StyleDialog() override;

    QLineEdit *field(const QString &key) const;
    style_values::Values values() const;
    style_values::PageChoice pageChoice() const;
    // The page the preview shows now.
    const QString &previewHtml() const { return m_previewHtml; }

    void confirm();
    void restoreDefaults();

private:
    QWidget *makeHelper(int keyIndex, QWidget *parent);
    void pickColour(QLineEdit *field);
    void step(QLineEdit *field, const style_values::Key &key, int direction);
    void showValues(const style_values::Values &values);
    void updatePreview();

    Workspace m_workspace;
    ColourChooser &m_colours;
    BrowserView m_browser;
    QList<QLineEdit *> m_fields;
    QComboBox *m_pageSet = nullptr;
    QLineEdit *m_siteName = nullptr;
    QTimer *m_previewDelay = nullptr;
    QString m_coverImage;
    QString m_previewHtml;
};

} // namespace tessaly
