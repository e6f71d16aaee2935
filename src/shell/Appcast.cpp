#include "Appcast.h"

#include <QVersionNumber>
#include <QXmlStreamReader>

using namespace Qt::StringLiterals;

namespace {

QString attribute(const QXmlStreamAttributes& attributes, QStringView localName)
{
    for (const QXmlStreamAttribute& attribute : attributes) {
        if (attribute.name() == localName)
            return attribute.value().toString().trimmed();
    }
    return {};
}

void readEnclosure(const QXmlStreamAttributes& attributes, AppcastItem& item)
{
    item.enclosureUrl = QUrl(attribute(attributes, u"url"));
    bool ok = false;
    const qint64 length = attribute(attributes, u"length").toLongLong(&ok);
    item.enclosureLength = ok ? length : -1;
    item.enclosureSha256 = attribute(attributes, u"sha256").toLower();
}

// Reads the children of an <item>; the reader is left on its end element.
AppcastItem readItem(QXmlStreamReader& reader)
{
    AppcastItem item;
    while (reader.readNextStartElement()) {
        const QStringView name = reader.name();
        if (name == u"enclosure") {
            readEnclosure(reader.attributes(), item);
            reader.skipCurrentElement();
        } else if (name == u"title") {
            item.title = reader.readElementText().trimmed();
        } else if (name == u"version") {
            item.version = reader.readElementText().trimmed();
        } else if (name == u"shortVersionString") {
            item.shortVersion = reader.readElementText().trimmed();
        } else if (name == u"releaseNotesLink") {
            item.releaseNotesLink = QUrl(reader.readElementText().trimmed());
        } else {
            reader.skipCurrentElement();
        }
    }
    return item;
}

// A version whose first segment is not a number cannot be ordered and never counts as newer.
std::optional<QVersionNumber> orderable(const QString& version)
{
    const QVersionNumber number = QVersionNumber::fromString(version);
    if (number.isNull())
        return std::nullopt;
    // 1.2 and 1.2.0 are the same release.
    return number.normalized();
}

} // namespace

namespace Appcast {

std::optional<QList<AppcastItem>> parse(const QByteArray& xml)
{
    QXmlStreamReader reader(xml);
    QList<AppcastItem> items;
    while (!reader.atEnd()) {
        if (reader.readNext() == QXmlStreamReader::StartElement && reader.name() == u"item")
            items.append(readItem(reader));
    }
    if (reader.hasError())
        return std::nullopt;
    return items;
}

std::optional<AppcastItem> newestNewerThan(const QList<AppcastItem>& items, const QString& runningVersion)
{
    const QVersionNumber running = orderable(runningVersion).value_or(QVersionNumber());
    std::optional<AppcastItem> newest;
    QVersionNumber newestVersion = running;
    for (const AppcastItem& item : items) {
        const std::optional<QVersionNumber> version = orderable(item.version);
        if (version && *version > newestVersion) {
            newest = item;
            newestVersion = *version;
        }
    }
    return newest;
}

} // namespace Appcast
