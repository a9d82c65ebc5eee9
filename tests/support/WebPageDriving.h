#pragma once

#include <QString>
#include <QUrl>
#include <QVariant>

class QWebEnginePage;

namespace tessaly::testing {

// Loads the page and waits for it; false when it failed or took too long.
bool loadPage(QWebEnginePage &page, const QUrl &url);
// The script's value, once the page has run it.
QVariant evaluate(QWebEnginePage &page, const QString &script);
// Waits until the script gives true, or gives up after the time limit.
bool waitForScript(QWebEnginePage &page, const QString &script, int milliseconds = 20000);

} // namespace tessaly::testing
