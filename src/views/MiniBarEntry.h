#pragma once

#include <QtGlobal>

// One day's column in the panel's mini chart.
struct MiniBarEntry {
    qint64 seconds = 0;
};
