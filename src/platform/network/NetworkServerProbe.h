#pragma once

#include "platform/ServerProbe.h"

namespace tessaly {

// The server probe on QNetworkAccessManager; Qt Network only, so the
// command line has it too.
class NetworkServerProbe : public ServerProbe
{
public:
    ProbeAnswer probe(const QUrl &url, const QDeadlineTimer &deadline, int maximumRedirects) override;
};

} // namespace tessaly
