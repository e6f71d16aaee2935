#pragma once

#include <QDateTime>

#include <functional>

// Where all logic takes the current time from. Production passes QDateTime::currentDateTimeUtc
// (cheap to compare; local time is derived only where a calendar day is needed); tests pass a
// clock they step by hand, so midnight, DST and clock jumps can be replayed.
using Clock = std::function<QDateTime()>;
