// The sound output and the printer, which need Qt Multimedia, libsndfile and Qt Print Support.
// They live in a module of their own that the program loads at the first sound or print, so
// that starting the program loads none of those libraries: the window opens sooner and the
// program stays smaller until a sound or a print is asked for.
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
    // Audio streams the module's outputs hold now, and the most they ever held at once.
    int (*liveStreams)();
    int (*peakStreams)();
    std::unique_ptr<WorksheetPrinter> (*makeWorksheetPrinter)();
};

inline constexpr int DeviceModuleVersion = 1;

// The module's one entry point, looked up by this name.
#define TOVEMI_DEVICE_MODULE_ENTRY "tovemi_device_module"
