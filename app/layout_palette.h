// The window's own colours, which no desktop theme changes.
#pragma once

#include <QPalette>

// Black text on the layout's light grey faces and white boxes, in every colour group: a dark
// desktop theme would otherwise leave the labels' black text on a near-black window.
QPalette layoutPalette();
