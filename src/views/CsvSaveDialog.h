#pragma once

#include "CsvFileChooser.h"

#include <QPointer>
#include <QWidget>

// The desktop's save dialog for the CSV export: proposes the suggested name, offers only .csv
// files (adding the extension when the user leaves it out) and lets the user make a new folder.
// Modal over `parent` while it is open, or over the active window when no parent is given.
class CsvSaveDialog : public CsvFileChooser {
public:
    explicit CsvSaveDialog(QWidget* parent = nullptr);

    std::optional<QString> chooseSaveLocation(const QString& suggestedName) override;

private:
    QPointer<QWidget> m_parent;
};
