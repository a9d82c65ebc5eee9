#pragma once

#include "platform/EmbeddedBrowser.h"

#include <QWebEngineView>

namespace tessaly {

class SilentPage;

// The embedded browser on Qt WebEngine. The widget is the view itself.
class WebEngineBrowser : public QWebEngineView, public EmbeddedBrowser
{
    Q_OBJECT

public:
    explicit WebEngineBrowser(QWidget *parent = nullptr);

    void loadFile(const QString &path) override;
    void loadUrl(const QUrl &url) override;
    void setSilent(bool silent) override;
    void setShown(bool shown) override;
    void readBodyMarkup(qsizetype maximumCharacters, MarkupCallback callback) override;
    void setLoadEndedCallback(LoadEndedCallback callback) override;
    void showHtml(const QString &html) override;
    void setZoom(double factor) override;

private:
    SilentPage *m_page = nullptr;
    LoadEndedCallback m_loadEnded;
};

} // namespace tessaly
