#pragma once

#include <QLoggingCategory>

// Log lines reach the journal under this category; persistence failures are errors here.
Q_DECLARE_LOGGING_CATEGORY(lcScreenTime)
