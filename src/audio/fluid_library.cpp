#include "audio/fluid_library.h"

#include <QString>

#include <dlfcn.h>

#include <mutex>

#if FLUIDSYNTH_VERSION_MAJOR != 2
#error "FluidSynth 2 installs libfluidsynth.so.3; another version names its file otherwise"
#endif

namespace lirra {

namespace {

constexpr const char *libraryFile = "libfluidsynth.so.3";

FluidLibrary table;
std::once_flag opened;
std::optional<Error> openingError;

std::optional<Error> open()
{
    const auto fail = [](const QString &why) {
        return Error{QStringLiteral("MIDINotePlayer"), 1,
                     QStringLiteral("The synthesizer's library could not be loaded: %1").arg(why)};
    };
    // Never closed: its threads and its log functions live as long as the app.
    void *handle = dlopen(libraryFile, RTLD_NOW | RTLD_LOCAL);
    if (!handle)
        return fail(QString::fromLocal8Bit(dlerror()));
    QStringList missing;
#define LIRRA_FLUID_FIND(name) \
    table.name = reinterpret_cast<decltype(table.name)>(dlsym(handle, #name)); \
    if (!table.name) \
        missing << QStringLiteral(#name);
    LIRRA_FLUID_FUNCTIONS(LIRRA_FLUID_FIND)
#undef LIRRA_FLUID_FIND
    if (!missing.isEmpty())
        return fail(QStringLiteral("%1 lacks %2").arg(QLatin1String(libraryFile), missing.join(QStringLiteral(", "))));
    return std::nullopt;
}

} // namespace

Result<void> openFluidLibrary()
{
    std::call_once(opened, [] { openingError = open(); });
    if (openingError)
        return std::unexpected(*openingError);
    return {};
}

const FluidLibrary &fluid()
{
    return table;
}

} // namespace lirra
