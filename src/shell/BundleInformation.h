#pragma once

#include <QString>
#include <QVariantMap>

// The application's information dictionary: its name, its version and the address of its
// update feed, fixed when the application is built. Readers treat every key as optional, so
// a build without a feed, or a test with a dictionary of its own, simply lacks that key.
namespace BundleInformation {

inline const QString feedUrlKey = QStringLiteral("SUFeedURL");
inline const QString nameKey = QStringLiteral("CFBundleName");
inline const QString shortVersionKey = QStringLiteral("CFBundleShortVersionString");

// The values this build was configured with; "SUFeedURL" is absent when the build has no feed.
QVariantMap builtIn();

// "<name> <version>" for messages, with "This app" and "1.0" for a missing name or version.
QString nameAndVersion(const QVariantMap& information);

} // namespace BundleInformation
