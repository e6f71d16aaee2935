#pragma once

#include <QString>
#include <QVariantList>
#include <QVariantMap>

#include <functional>
#include <memory>
#include <optional>

// The running counter as the commands reach it. The link over the session bus lives in a
// module loaded on the first command that asks (see sessionBus()), so a command that never
// asks, such as a status read while no counter holds the store, maps none of the bus
// libraries. This base class is the link when that module cannot be loaded: nobody runs. It
// is defined in this header alone, so that the module needs nothing of the command's code.
class InstanceLink {
public:
    // What a follower hears: the counter's bus name taken or given up, and its control
    // object's properties that changed.
    struct Watch {
        std::function<void()> started;
        std::function<void()> stopped;
        std::function<void(const QVariantMap& changed)> changed;
    };

    explicit InstanceLink(QString problem = {})
        : m_problem(std::move(problem))
    {}
    virtual ~InstanceLink() = default;
    InstanceLink(const InstanceLink&) = delete;
    InstanceLink& operator=(const InstanceLink&) = delete;

    // Whether some process owns the bus name; false too when there is no usable bus.
    virtual bool isInstanceRunning() const { return false; }
    // Calls a method; an empty string on success, else the reason.
    virtual QString call(const QString& /*method*/, const QVariantList& /*arguments*/ = {}) const
    {
        return m_problem;
    }
    // The control object's properties by name, or nothing when they cannot be read.
    virtual std::optional<QVariantMap> properties() const { return std::nullopt; }
    // Starts telling `watch` what happens, until the link is destroyed; false without a bus.
    virtual bool watch(Watch /*watch*/) { return false; }

    // The link over the session bus, from the module beside the panel's executable.
    static std::unique_ptr<InstanceLink> sessionBus();

private:
    QString m_problem;
};
