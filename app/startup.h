// What the application sets up before its window exists: names, version, icon, fonts, Qt's
// Japanese texts.
#pragma once

class QApplication;

// The title "Tovemi" (caption of the program's own message boxes), version, and the
// substitution of the window's Japanese faces by the installed IPA fonts, the bird icon in all
// its sizes, and Qt's own texts in Japanese.
void prepareApplication(QApplication &app);
