// How fast the desktop repeats a held key, for the keys that the program repeats itself.
#pragma once

// The X server's repeat switch, delay and interval, read through XKB (on Windows the control
// panel's keyboard delay and speed), or the defaults where there is no X server or it has no
// keyboard extension.
struct KeyRepeatPace
{
    bool repeats = true; // a desktop may have switched key repeat off altogether
    int delayMs = 660; // from the press to the first repeat
    int intervalMs = 40; // between repeats: 25 a second
};

// Asks the desktop at each call, on the application's own connection to the X server.
KeyRepeatPace desktopKeyRepeat();
