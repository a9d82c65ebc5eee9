#include "platform/gui/WebEngineBrowser.h"

#include <QCoreApplication>
#include <QPointer>
#include <QWebEngineLoadingInfo>
#include <QWebEnginePage>
#include <QWebEngineScript>

namespace tessaly {

// A page that, when silent, never shows a dialog of its own: alerts are
// dropped, confirms and prompts cancelled, and the leave-page question
// accepted so that a page can never block the next search.
class SilentPage : public QWebEnginePage
{
public:
    using QWebEnginePage::QWebEnginePage;

    bool silent = false;

protected:
    void javaScriptAlert(const QUrl &origin, const QString &message) override
    {
        if (!silent)
            QWebEnginePage::javaScriptAlert(origin, message);
    }

    bool javaScriptConfirm(const QUrl &origin, const QString &message) override
    {
        if (!silent)
            return QWebEnginePage::javaScriptConfirm(origin, message);
        return message == leavePageQuestion();
    }

    bool javaScriptPrompt(const QUrl &origin, const QString &message, const QString &defaultValue,
                          QString *result) override
    {
        if (!silent)
            return QWebEnginePage::javaScriptPrompt(origin, message, defaultValue, result);
        return false;
    }

    QWebEnginePage *createWindow(WebWindowType type) override
    {
        if (silent)
            return nullptr;
        return QWebEnginePage::createWindow(type);
    }

    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString &, int,
                                  const QString &) override
    {}

private:
    // The engine asks the leave-page question through javaScriptConfirm
    // with this text of its own.
    static QString leavePageQuestion()
    {
        return QCoreApplication::translate(
            "QWebEnginePage",
            "Are you sure you want to leave this page? Changes that you made may not be saved.");
    }
};

WebEngineBrowser::WebEngineBrowser(QWidget *parent) : QWebEngineView(parent), m_page(new SilentPage(this))
{
    setPage(m_page);
    connect(m_page, &QWebEnginePage::loadingChanged, this, [this](const QWebEngineLoadingInfo &info) {
        if (info.status() == QWebEngineLoadingInfo::LoadStartedStatus)
            return;
        const QUrl url = info.url();
        const bool ok = info.status() == QWebEngineLoadingInfo::LoadSucceededStatus;
        // Told from the event loop: a new load started from inside the
        // engine's own notification would be lost.
        QMetaObject::invokeMethod(
            this,
            [this, url, ok] {
                if (m_loadEnded)
                    m_loadEnded(url, ok);
            },
            Qt::QueuedConnection);
    });
}

void WebEngineBrowser::showHtml(const QString &html)
{
    setHtml(html, QUrl(QStringLiteral("about:blank")));
}

void WebEngineBrowser::setZoom(double factor)
{
    setZoomFactor(factor);
}

void WebEngineBrowser::setLoadEndedCallback(LoadEndedCallback callback)
{
    m_loadEnded = std::move(callback);
}

void WebEngineBrowser::loadFile(const QString &path)
{
    load(QUrl::fromLocalFile(path));
}

void WebEngineBrowser::loadUrl(const QUrl &url)
{
    load(url);
}

void WebEngineBrowser::setSilent(bool silent)
{
    m_page->silent = silent;
}

void WebEngineBrowser::setShown(bool shown)
{
    setVisible(shown);
}

void WebEngineBrowser::readBodyMarkup(qsizetype maximumCharacters, MarkupCallback callback)
{
    // Run in the application's own script world: the page's scripts share
    // the document but cannot replace what this script calls.
    const QString script = QStringLiteral("(function () {"
                                          "  var body = document.body;"
                                          "  if (!body) return null;"
                                          "  var markup = body.outerHTML;"
                                          "  return markup.length > %1 ? markup.substring(0, %1) : markup;"
                                          "})()")
                               .arg(maximumCharacters);
    QPointer<WebEngineBrowser> guard(this);
    m_page->runJavaScript(script, QWebEngineScript::ApplicationWorld,
                          [guard, callback = std::move(callback)](const QVariant &value) {
                              if (!guard)
                                  return;
                              if (value.typeId() == QMetaType::QString)
                                  callback(value.toString());
                              else
                                  callback(std::nullopt);
                          });
}

} // namespace tessaly
