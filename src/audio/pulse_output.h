#pragma once

// The live output on a PulseAudio stream of the app's own, which PipeWire
// desktops serve too. FluidSynth's own PulseAudio driver asks the server for
// one period and hands it whole periods, so its stream must hold two of them
// to be safe; this one asks for a short buffer, refills it in small blocks
// as soon as there is room, and learns what the server granted. libpulse is
// opened at run time, as FluidSynth is (fluid_library.h says why).

#include "model/error.h"

#include <QString>

#include <memory>

namespace lirra {

class PulseOutput {
public:
    // FluidSynth's audio callback: fills `frames` frames of out[0] and
    // out[1]; it may wait while nothing is to sound.
    using Render = int (*)(void *data, int frames, int effects, float **effectOut, int outputs, float **out);

    struct Request {
        int sampleRate = 44100;
        // What the server should hold ahead of the speaker, and how much is
        // rendered and written at a time.
        int bufferFrames = 512;
        int blockFrames = 128;
    };

    // Connects to the server PULSE_SERVER names (or the desktop's), and
    // starts a thread that renders into the stream until destruction.
    static Result<std::unique_ptr<PulseOutput>> start(const Request &request, Render render, void *data);

    // Stops the thread: `render` must have been told to stop waiting first.
    ~PulseOutput();
    PulseOutput(const PulseOutput &) = delete;
    PulseOutput &operator=(const PulseOutput &) = delete;

    // The buffer the server granted, in frames; and, when it is not the
    // one asked for, a sentence saying so for the log.
    int bufferFrames() const;
    int blockFrames() const;
    QString grantNotice() const;

    struct State;

private:
    explicit PulseOutput(std::unique_ptr<State> state);
    std::unique_ptr<State> m_state;
};

} // namespace lirra
