#pragma once

#include <memory>

class QNetworkAccessManager;

// The network access the updater's parts share, made at the first request: a counter that never
// checks for updates (a build without a feed never does) does not set up the network stack.
class NetworkAccess {
public:
    NetworkAccess();
    ~NetworkAccess();

    QNetworkAccessManager& manager();

private:
    std::unique_ptr<QNetworkAccessManager> m_manager;
};
