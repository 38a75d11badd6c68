#include "devices/device_loader.h"

#include "devices/device_module.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibrary>

using namespace Qt::StringLiterals;

namespace {

struct LoadOutcome
{
    const DeviceModule *module = nullptr;
    QString whyNot;
    // Never unloaded: the objects the module made live until the program ends.
    QLibrary *library = nullptr;
};

LoadOutcome load()
{
    const QString path = DeviceModulePath();
    auto *library = new QLibrary(path);
    using Entry = const DeviceModule *(*)();
    const auto entry = reinterpret_cast<Entry>(library->resolve(TOVEMI_DEVICE_MODULE_ENTRY));
    if (!entry)
        return { nullptr, library->errorString(), library };
    const DeviceModule *module = entry();
    if (!module || module->version != DeviceModuleVersion)
        return { nullptr, u"%1 は別の版のものです"_s.arg(QDir::toNativeSeparators(path)), library };
    return { module, {}, library };
}

} // namespace

QString DeviceModulePath()
{
    const QString fromEnvironment = qEnvironmentVariable("TOVEMI_DEVICE_MODULE");
    if (!fromEnvironment.isEmpty())
        return fromEnvironment;
    return QDir(QCoreApplication::applicationDirPath())
            .filePath(QString::fromUtf8(TOVEMI_DEVICE_MODULE_FROM_PROGRAM));
}

const DeviceModule *Devices(QString *whyNot)
{
    static const LoadOutcome outcome = load();
    if (!outcome.module && whyNot)
        *whyNot = outcome.whyNot;
    return outcome.module;
}
