#pragma once

#include <QString>
#include <QStringList>

namespace lirra {

// Sends FluidSynth's warnings and errors to Qt's log instead of its own
// standard error printing. Once per process; safe to call again.
void installFluidLog();

// While one lives, FluidSynth's messages on this thread are gathered here
// instead of logged, so that a failure can be told in FluidSynth's words.
class FluidLogCapture {
public:
    FluidLogCapture();
    ~FluidLogCapture();
    FluidLogCapture(const FluidLogCapture &) = delete;
    FluidLogCapture &operator=(const FluidLogCapture &) = delete;

    // What was gathered since the last call, joined, without control bytes.
    QString take();

private:
    QStringList m_lines;
};

} // namespace lirra
