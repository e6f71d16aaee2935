#pragma once

#include <QByteArray>
#include <QVariant>

#include <optional>

// Reads an XML property list into Qt values: dict as QVariantMap, array as QVariantList,
// string as QString, integer as qint64, real as double, true and false as bool, data as
// QByteArray, date as QDateTime.
namespace XmlPropertyList {

// Nothing when the text is not a well-formed property list with exactly one root value.
std::optional<QVariant> parse(const QByteArray& xml);

} // namespace XmlPropertyList
