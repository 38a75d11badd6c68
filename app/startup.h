// What the application sets up before its window exists: names, version, fonts.
#pragma once

class QApplication;

// The title "Tovemi" (caption of the program's own message boxes), version, and the
// substitution of the window's Japanese faces by the installed IPA fonts.
void PrepareApplication(QApplication &app);
