#pragma once

#include "StatusItemBackend.h"

#include <QImage>
#include <QString>

// Keeps what the application last drew into the status item; whether a host shows it is set
// by the test.
class FakeStatusItem : public StatusItemBackend {
    Q_OBJECT
public:
    using StatusItemBackend::StatusItemBackend;

    void setLabel(const QString& text, const QString& guide) override;
    void setIcon(const QImage& icon) override { m_icon = icon; }
    void setToolTip(const QString& text) override { m_toolTip = text; }
    void setMenuPaused(bool paused) override { m_menuPaused = paused; }
    void setMenuFigures(const QStringList& rows) override { m_menuFigures = rows; }
    bool start() override;
    bool isShown() const override { return m_started && m_shown; }

    void setShown(bool shown);

    QString label() const { return m_label; }
    int labelUpdates() const { return m_labelUpdates; }
    QImage icon() const { return m_icon; }
    QString toolTip() const { return m_toolTip; }
    bool menuPaused() const { return m_menuPaused; }
    QStringList menuFigures() const { return m_menuFigures; }
    bool isStarted() const { return m_started; }

private:
    QString m_label;
    int m_labelUpdates = 0;
    QImage m_icon;
    QString m_toolTip;
    bool m_menuPaused = false;
    QStringList m_menuFigures;
    bool m_started = false;
    bool m_shown = true;
};
