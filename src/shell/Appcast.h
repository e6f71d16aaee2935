#pragma once

#include "AppcastItem.h"

#include <QByteArray>
#include <QList>

#include <optional>

// Reads the update feed, an RSS document whose items describe releases:
//
//   <rss version="2.0" xmlns:lumatick="https://brightlet.com/xmlns/appcast">
//     <channel><item>
//       <title>Lumatick 1.2</title>
//       <lumatick:version>1.2</lumatick:version>
//       <lumatick:shortVersionString>1.2</lumatick:shortVersionString>
//       <lumatick:releaseNotesLink>https://example.org/notes/1.2.html</lumatick:releaseNotesLink>
//       <enclosure url="https://example.org/lumatick-1.2.tar.gz" length="123"
//                  lumatick:sha256="<64 hex digits>" type="application/octet-stream"/>
//     </item></channel>
//   </rss>
//
// Elements and attributes are matched by their local names, so the prefix is free.
namespace Appcast {

// Nothing when the text is not well-formed XML.
std::optional<QList<AppcastItem>> parse(const QByteArray& xml);

// The item with the highest version above `runningVersion`, if any. Versions compare by
// their numeric segments: 1.9 < 1.10 and 1.2 < 1.2.1.
std::optional<AppcastItem> newestNewerThan(const QList<AppcastItem>& items, const QString& runningVersion);

} // namespace Appcast
