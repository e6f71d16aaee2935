#pragma once

#include <QString>

#include <optional>

// Asks the user where to save an export. Kept behind an interface so the export logic runs
// without a window system and tests can answer in place of the user.
class CsvFileChooser {
public:
    virtual ~CsvFileChooser() = default;

    // The chosen file path, or nothing when the user cancels or gives no location.
    virtual std::optional<QString> chooseSaveLocation(const QString& suggestedName) = 0;
};
