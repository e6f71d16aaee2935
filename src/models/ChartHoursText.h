#pragma once

#include <QString>

// The hours a history bar stands for, as its annotation and its accessible value read:
// "45m" below an hour (minutes truncated), "3h" on a whole hour, otherwise one decimal, "2.5h".
QString chartHoursText(qint64 seconds);

// The text above a bar: the hours text, or nothing for a bar below one second, which has no
// height to carry a label.
QString chartAnnotationText(qint64 seconds);
