#include "XmlPropertyList.h"

#include <QDateTime>
#include <QXmlStreamReader>

using namespace Qt::StringLiterals;

namespace {

// Deeper nesting than any real listing is refused rather than risking the stack.
constexpr int maximumDepth = 64;

std::optional<QVariant> readValue(QXmlStreamReader& reader, int depth);

std::optional<QVariant> readDictionary(QXmlStreamReader& reader, int depth)
{
    QVariantMap dictionary;
    while (reader.readNextStartElement()) {
        if (reader.name() != u"key")
            return std::nullopt;
        const QString key = reader.readElementText();
        if (!reader.readNextStartElement())
            return std::nullopt;
        std::optional<QVariant> value = readValue(reader, depth + 1);
        if (!value)
            return std::nullopt;
        dictionary.insert(key, *value);
    }
    return dictionary;
}

std::optional<QVariant> readArray(QXmlStreamReader& reader, int depth)
{
    QVariantList array;
    while (reader.readNextStartElement()) {
        std::optional<QVariant> value = readValue(reader, depth + 1);
        if (!value)
            return std::nullopt;
        array.append(*value);
    }
    return array;
}

std::optional<QVariant> readScalar(QXmlStreamReader& reader)
{
    const QString type = reader.name().toString();
    if (type == u"true" || type == u"false") {
        reader.skipCurrentElement();
        return QVariant(type == u"true");
    }
    const QString text = reader.readElementText();
    bool ok = true;
    QVariant value;
    if (type == u"string")
        value = text;
    else if (type == u"integer")
        value = QVariant::fromValue(text.trimmed().toLongLong(&ok));
    else if (type == u"real")
        value = text.trimmed().toDouble(&ok);
    else if (type == u"data")
        value = QByteArray::fromBase64(text.toLatin1());
    else if (type == u"date")
        value = QDateTime::fromString(text.trimmed(), Qt::ISODate);
    else
        ok = false;
    return ok ? std::optional<QVariant>(value) : std::nullopt;
}

// The reader stands on the value's start element and is left on its end element.
std::optional<QVariant> readValue(QXmlStreamReader& reader, int depth)
{
    if (depth > maximumDepth)
        return std::nullopt;
    if (reader.name() == u"dict")
        return readDictionary(reader, depth);
    if (reader.name() == u"array")
        return readArray(reader, depth);
    return readScalar(reader);
}

} // namespace

namespace XmlPropertyList {

std::optional<QVariant> parse(const QByteArray& xml)
{
    QXmlStreamReader reader(xml);
    if (!reader.readNextStartElement() || reader.name() != u"plist" || !reader.readNextStartElement())
        return std::nullopt;
    std::optional<QVariant> root = readValue(reader, 0);
    // Nothing but the closing </plist> may follow the one root value.
    if (!root || reader.readNextStartElement())
        return std::nullopt;
    while (!reader.atEnd())
        reader.readNext();
    if (reader.hasError())
        return std::nullopt;
    return root;
}

} // namespace XmlPropertyList
