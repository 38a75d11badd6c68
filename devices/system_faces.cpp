#include "devices/bundled_faces.h"

// On the desktop the faces are the system's own (Debian's fonts-ipafont-gothic, Windows's).
void addBundledFaces() {}
