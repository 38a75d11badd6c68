// Finding and loading the device module (devices/device_module.h).
#pragma once

#include <QString>

struct DeviceModule;

// The module, loaded at the first call and kept for the program's life. Null when it cannot
// be loaded, with the reason in *whyNot; the outcome is kept, so a missing module costs one
// look, not one per sound.
const DeviceModule *Devices(QString *whyNot = nullptr);

// Where the module is looked for: TOVEMI_DEVICE_MODULE when it is set (the build's tests run
// from folders of their own), else the installed place relative to the program.
QString DeviceModulePath();
