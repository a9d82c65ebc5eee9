#pragma once

class QCoreApplication;

namespace tessaly {

// The program speaks Chinese whatever the system language: Qt's own words
// (standard buttons, file and colour dialogs, the web views' menus) come
// from Qt's Chinese translations, and numbers, dates and the web engine's
// language from the Chinese locale. Call once, before the first web engine
// object is made; the translators live as long as the application.
void installChineseInterface(QCoreApplication &app);

} // namespace tessaly
