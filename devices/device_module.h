// The sound output and the printer, which need libsndfile, the sound server's and the sound
// card's libraries, and Qt Print Support. They live in a module of their own that the program
// loads once its window is on screen, or at the first print, so that starting the program
// loads none of those libraries: the window opens sooner and the program stays smaller.
#pragma once

#include <memory>

class SoundOutput;
class WorksheetPrinter;

// What the module hands the program. The program and the module are built together; the
// number only catches a module left over from another build.
struct DeviceModule
{
    int version;
    std::unique_ptr<SoundOutput> (*makeSoundOutput)();
    std::unique_ptr<WorksheetPrinter> (*makeWorksheetPrinter)();
};

inline constexpr int DeviceModuleVersion = 2;

// The module's one entry point, looked up by this name.
#define TOVEMI_DEVICE_MODULE_ENTRY "tovemi_device_module"
