#pragma once

#include <QUrl>

// Which addresses the updater may fetch: update feeds and downloads travel over HTTPS; plain
// HTTP is accepted only for the loopback interface, where a local test server answers.
namespace UpdateUrlPolicy {

bool isAllowed(const QUrl& url);

} // namespace UpdateUrlPolicy
