#pragma once

#include <QString>
#include <QUrl>
#include <functional>
#include <optional>

namespace tessaly {

// A web view inside a dialog. The dialog places the view's widget; this is
// what it asks of it.
class EmbeddedBrowser
{
public:
    // Receives the body's outer markup, or nothing when the document has no
    // body (or the page is gone).
    using MarkupCallback = std::function<void(std::optional<QString>)>;
    // Told of every load that ends, loaded or failed (stopped included),
    // with the address it ended at.
    using LoadEndedCallback = std::function<void(const QUrl &url, bool ok)>;

    virtual ~EmbeddedBrowser() = default;
    virtual void loadFile(const QString &path) = 0;
    virtual void loadUrl(const QUrl &url) = 0;
    // Silent: the page's alerts are dropped, its confirms and prompts
    // cancelled (the leave-page question accepted), pop-ups not opened.
    virtual void setSilent(bool silent) = 0;
    virtual void setShown(bool shown) = 0;
    // Reads `document.body.outerHTML` as the engine serialises it now, at
    // most `maximumCharacters` of it, by a script the page cannot reach.
    // The callback runs later, on the event loop.
    virtual void readBodyMarkup(qsizetype maximumCharacters, MarkupCallback callback) = 0;
    virtual void setLoadEndedCallback(LoadEndedCallback callback) { Q_UNUSED(callback); }
    // Shows a page made in memory, which reaches nothing but data: links.
    virtual void showHtml(const QString &html) { Q_UNUSED(html); }
    // Scales what the view shows; 1 is the page's own size.
    virtual void setZoom(double factor) { Q_UNUSED(factor); }
};

} // namespace tessaly
