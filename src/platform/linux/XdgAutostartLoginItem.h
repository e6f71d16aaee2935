#pragma once

#include "LoginItem.h"

#include <QString>

// Launch at login through a desktop entry in the user's XDG autostart directory, which the
// session starts at login (and which overrides a same-named entry in /etc/xdg/autostart).
class XdgAutostartLoginItem : public LoginItem {
public:
    // `executablePath` is the absolute path of the binary the entry starts.
    explicit XdgAutostartLoginItem(QString executablePath);

    // $XDG_CONFIG_HOME/autostart/lumatick.desktop
    static QString entryPath();
    // The path as an Exec value: quoted when it holds reserved characters, escaped for the file.
    static QString execValue(const QString& executablePath);

    bool isSupported() const override { return true; }
    bool isEnabled() const override;
    bool setEnabled(bool enabled, QString* error) override;

private:
    bool writeEntry(QString* error) const;
    static bool removeEntry(QString* error);
    QByteArray entryContent() const;

    QString m_executablePath;
};
