#pragma once

#include <QString>

namespace tessaly::covers {

// The browser search's start page `Temp/Search.html`, 17 lines each ended by
// CR LF (the file writer adds one more). While a search loads, its prompt
// reads "等待页面加载" instead of "请点击搜索键开始".
QString startPageText(bool waitingForSearch);

inline constexpr const char *StartPageFileName = "Search.html";

} // namespace tessaly::covers
