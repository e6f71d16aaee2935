#pragma once

class Preferences;

// The idle threshold, in seconds, that the preferences ask for. Switched off, it is the largest
// finite double, so no pause in input ever reaches it; a timeout below one minute counts as the
// default of five.
double idleThresholdSeconds(const Preferences& preferences);
