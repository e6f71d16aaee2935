#include "UpdateAlerts.h"

#include "BundleInformation.h"

using namespace Qt::StringLiterals;

void UpdateAlerts::showUpToDate(const QVariantMap& bundleInformation)
{
    showMessage(u"You're up to date!"_s,
                BundleInformation::nameAndVersion(bundleInformation) + u" is the latest version."_s);
}
