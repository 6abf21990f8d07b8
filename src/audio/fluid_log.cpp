#include "fluid_log.h"

#include "audio/fluid_library.h"

#include <QtGlobal>

#include <mutex>

namespace lirra {

namespace {

// FluidSynth logs on the thread that called it.
thread_local QStringList *fluidLogCapture = nullptr;

void fluidLog(int level, const char *message, void *)
{
    const QString text = QString::fromLocal8Bit(message).trimmed();
    if (fluidLogCapture) {
        fluidLogCapture->append(text);
        return;
    }
    if (level <= FLUID_WARN)
        qWarning("fluidsynth: %s", qUtf8Printable(text));
}

} // namespace

void installFluidLog()
{
    static std::once_flag once;
    std::call_once(once, [] {
        for (int level : {FLUID_PANIC, FLUID_ERR, FLUID_WARN})
            fluid().fluid_set_log_function(level, fluidLog, nullptr);
        for (int level : {FLUID_INFO, FLUID_DBG})
            fluid().fluid_set_log_function(level, nullptr, nullptr);
    });
}

FluidLogCapture::FluidLogCapture()
{
    fluidLogCapture = &m_lines;
}

FluidLogCapture::~FluidLogCapture()
{
    fluidLogCapture = nullptr;
}

QString FluidLogCapture::take()
{
    QString joined = m_lines.join(QStringLiteral("; "));
    m_lines.clear();
    // FluidSynth quotes what it read from a file, control bytes and all.
    joined.removeIf([](QChar c) { return !c.isPrint(); });
    return joined;
}

} // namespace lirra
