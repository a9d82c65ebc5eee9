#pragma once

#include "platform/EmbeddedBrowser.h"

#include <functional>

class QWidget;

namespace tessaly {

// An embedded browser and the widget that shows it (often one object).
struct BrowserView
{
    QWidget *widget = nullptr;
    EmbeddedBrowser *browser = nullptr;
};

// Makes the browser as a child of the given parent.
using BrowserFactory = std::function<BrowserView(QWidget *parent)>;

// The Qt WebEngine browser.
BrowserView makeWebEngineBrowser(QWidget *parent);

} // namespace tessaly
