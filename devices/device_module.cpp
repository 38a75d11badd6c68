// The module's entry point: the sound output and the printer it makes.
#include "devices/device_module.h"

#include "devices/stream_sound_output.h"
#include "devices/printer_job.h"

#include <QtGlobal>

extern "C" Q_DECL_EXPORT const DeviceModule *tovemi_device_module()
{
    static const DeviceModule module {
        DeviceModuleVersion,
        &MakeStreamSoundOutput,
        &MakeQtWorksheetPrinter,
    };
    return &module;
}
