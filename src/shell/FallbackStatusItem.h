#pragma once

#include "StatusItemBackend.h"

#include <QImage>
#include <QString>
#include <QTimer>

#include <chrono>
#include <functional>
#include <memory>

// The status item the application draws through: the preferred item (a StatusNotifierItem)
// and, when no host has shown it after a grace period, a fallback (a plain tray icon) that
// starts with everything drawn so far. When neither can show anything it says so once through
// `nothingCanShow`, so the user learns why no counter appears. If the preferred item's host
// turns up later (panels restart), the fallback goes away again.
class FallbackStatusItem : public StatusItemBackend {
    Q_OBJECT
public:
    using Factory = std::function<std::unique_ptr<StatusItemBackend>()>;

    static constexpr std::chrono::milliseconds defaultGracePeriod{5000};

    // makeFallback returns null where no fallback can be shown.
    FallbackStatusItem(std::unique_ptr<StatusItemBackend> preferred, Factory makeFallback,
                       std::chrono::milliseconds gracePeriod = defaultGracePeriod, QObject* parent = nullptr);
    ~FallbackStatusItem() override;

    void setLabel(const QString& text, const QString& guide) override;
    void setIcon(const QImage& icon) override;
    void setToolTip(const QString& text) override;
    void setMenuPaused(bool paused) override;
    void setMenuFigures(const QStringList& rows) override;
    bool start() override;
    bool isShown() const override;
    bool showsLabel() const override;

    bool isUsingFallback() const { return m_fallback != nullptr; }

Q_SIGNALS:
    void nothingCanShow();

private:
    void forwardSignals(StatusItemBackend& backend);
    void onPreferredShownChanged(bool shown);
    void fallBack();
    void replayInto(StatusItemBackend& backend) const;
    StatusItemBackend& active() const;

    std::unique_ptr<StatusItemBackend> m_preferred;
    Factory m_makeFallback;
    std::unique_ptr<StatusItemBackend> m_fallback;
    QTimer m_graceTimer;
    bool m_toldNothingCanShow = false;
    QString m_label;
    QString m_guide;
    QImage m_icon;
    QString m_toolTip;
    bool m_paused = false;
    QStringList m_figures;
};
