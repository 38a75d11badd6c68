// The window's Japanese faces where the system offers none (the browser): added at start-up.
#pragma once

void addBundledFaces();
