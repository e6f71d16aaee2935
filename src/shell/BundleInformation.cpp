#include "BundleInformation.h"

#include "BuildConfiguration.h"

using namespace Qt::StringLiterals;

namespace BundleInformation {

QVariantMap builtIn()
{
    QVariantMap information{
        {nameKey, QString::fromUtf8(BuildConfiguration::applicationName)},
        {shortVersionKey, QString::fromUtf8(BuildConfiguration::version)},
    };
    const QString feed = QString::fromUtf8(BuildConfiguration::feedUrl);
    if (!feed.isEmpty())
        information.insert(feedUrlKey, feed);
    return information;
}

QString nameAndVersion(const QVariantMap& information)
{
    const QVariant name = information.value(nameKey);
    const QVariant version = information.value(shortVersionKey);
    const bool nameIsText = name.typeId() == QMetaType::QString;
    const bool versionIsText = version.typeId() == QMetaType::QString;
    return (nameIsText ? name.toString() : u"This app"_s) + u' ' +
           (versionIsText ? version.toString() : u"1.0"_s);
}

} // namespace BundleInformation
