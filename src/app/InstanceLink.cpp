#include "InstanceLink.h"

#include "PanelLauncher.h"

#include <QLibrary>

namespace {
const QString moduleName = QStringLiteral("lumatick-bus.so");
const char* const factoryName = "lumatickSessionBusLink";
} // namespace

// The module stays loaded once resolved: the link's code lives in it.
std::unique_ptr<InstanceLink> InstanceLink::sessionBus()
{
    const QString path = PanelLauncher::privateFilePath(moduleName);
    QLibrary module(path);
    using Factory = InstanceLink* (*)();
    const auto create = path.isEmpty() ? nullptr : reinterpret_cast<Factory>(module.resolve(factoryName));
    if (create)
        return std::unique_ptr<InstanceLink>(create());
    const QString problem =
        path.isEmpty() ? moduleName + QStringLiteral(" is missing") : module.errorString();
    qWarning("The session bus cannot be reached: %s", qPrintable(problem));
    return std::make_unique<InstanceLink>(problem);
}
