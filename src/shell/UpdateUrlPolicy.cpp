#include "UpdateUrlPolicy.h"

#include <QHostAddress>

using namespace Qt::StringLiterals;

namespace UpdateUrlPolicy {

bool isAllowed(const QUrl& url)
{
    if (!url.isValid() || url.host().isEmpty())
        return false;
    if (url.scheme() == u"https")
        return true;
    if (url.scheme() != u"http")
        return false;
    return url.host() == u"localhost" || QHostAddress(url.host()).isLoopback();
}

} // namespace UpdateUrlPolicy
