#pragma once

#include "platform/Http.h"

namespace tessaly::covers {

// The bounds of one search dialog's waits: the result page, each image,
// and the browser markup an analysis reads.
struct SearchLimits
{
    HttpLimits page = HttpLimits::page();
    HttpLimits image = HttpLimits::image();
    qsizetype markupCharacters = 8 * 1024 * 1024;
};

} // namespace tessaly::covers
