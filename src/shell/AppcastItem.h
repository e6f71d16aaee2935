#pragma once

#include <QString>
#include <QUrl>

// One release listed in the update feed.
struct AppcastItem {
    QString title;
    // Compared with the running version to find newer releases.
    QString version;
    // Shown to the user; the version when the feed gives none.
    QString shortVersion;
    QUrl releaseNotesLink;
    QUrl enclosureUrl;
    // Size in bytes and SHA-256 digest (hex) of the enclosure; a download must match both.
    qint64 enclosureLength = -1;
    QString enclosureSha256;

    QString displayVersion() const { return shortVersion.isEmpty() ? version : shortVersion; }
};
