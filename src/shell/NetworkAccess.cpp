#include "NetworkAccess.h"

#include <QNetworkAccessManager>

NetworkAccess::NetworkAccess() = default;

NetworkAccess::~NetworkAccess() = default;

QNetworkAccessManager& NetworkAccess::manager()
{
    if (!m_manager)
        m_manager = std::make_unique<QNetworkAccessManager>();
    return *m_manager;
}
