#pragma once

#include "CsvFileChooser.h"

#include <QStringList>

// Stands in for the user at the save dialog: gives `answer` and remembers the names offered.
class AnsweringChooser : public CsvFileChooser {
public:
    std::optional<QString> chooseSaveLocation(const QString& suggestedName) override
    {
        offered.append(suggestedName);
        return answer;
    }
    std::optional<QString> answer;
    QStringList offered;
};
