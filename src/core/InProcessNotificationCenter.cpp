#include "InProcessNotificationCenter.h"

void InProcessNotificationCenter::post(const QString& name)
{
    Q_EMIT posted(name);
}

QMetaObject::Connection InProcessNotificationCenter::observe(const QString& name, const QObject* context,
                                                             std::function<void()> handler)
{
    return connect(
        this, &InProcessNotificationCenter::posted, context,
        [name, handler = std::move(handler)](const QString& postedName) {
            if (postedName == name)
                handler();
        },
        Qt::QueuedConnection);
}
