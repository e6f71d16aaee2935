#pragma once

#include <QString>

// Starting the application when the user logs in. Asked what it can do rather than which
// desktop this is, so the settings window can hide the switch where nothing supports it.
class LoginItem {
public:
    virtual ~LoginItem() = default;

    virtual bool isSupported() const = 0;
    virtual bool isEnabled() const = 0;
    // Returns false, with a reason in `error`, when the change could not be made.
    virtual bool setEnabled(bool enabled, QString* error) = 0;
};
