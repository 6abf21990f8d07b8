#include "audio/pulse_output.h"

#include <pulse/context.h>
#include <pulse/error.h>
#include <pulse/stream.h>
#include <pulse/thread-mainloop.h>

#include <dlfcn.h>
#include <pthread.h>

#include <mutex>
#include <thread>
#include <vector>

namespace lirra {

namespace {

#define LIRRA_PULSE_FUNCTIONS(X) \
    X(pa_threaded_mainloop_new) \
    X(pa_threaded_mainloop_free) \
    X(pa_threaded_mainloop_start) \
    X(pa_threaded_mainloop_stop) \
    X(pa_threaded_mainloop_lock) \
    X(pa_threaded_mainloop_unlock) \
    X(pa_threaded_mainloop_wait) \
    X(pa_threaded_mainloop_signal) \
    X(pa_threaded_mainloop_get_api) \
    X(pa_context_new) \
    X(pa_context_set_state_callback) \
    X(pa_context_connect) \
    X(pa_context_get_state) \
    X(pa_context_errno) \
    X(pa_context_disconnect) \
    X(pa_context_unref) \
    X(pa_stream_new) \
    X(pa_stream_set_state_callback) \
    X(pa_stream_set_write_callback) \
    X(pa_stream_connect_playback) \
    X(pa_stream_get_state) \
    X(pa_stream_writable_size) \
    X(pa_stream_write) \
    X(pa_stream_get_buffer_attr) \
    X(pa_stream_disconnect) \
    X(pa_stream_unref) \
    X(pa_strerror)

struct PulseLibrary {
#define LIRRA_PULSE_POINTER(name) decltype(&::name) name = nullptr;
    LIRRA_PULSE_FUNCTIONS(LIRRA_PULSE_POINTER)
#undef LIRRA_PULSE_POINTER
};

constexpr const char *libraryFile = "libpulse.so.0";
constexpr int bytesPerFrame = 2 * sizeof(float);

// Opened once, never closed; nullptr with the reason when it cannot be.
const PulseLibrary *pulseLibrary(QString *why)
{
    static PulseLibrary table;
    static QString problem;
    static std::once_flag opened;
    std::call_once(opened, [] {
        void *handle = dlopen(libraryFile, RTLD_NOW | RTLD_LOCAL);
        if (!handle) {
            problem = QString::fromLocal8Bit(dlerror());
            return;
        }
        QStringList missing;
#define LIRRA_PULSE_FIND(name) \
    table.name = reinterpret_cast<decltype(table.name)>(dlsym(handle, #name)); \
    if (!table.name) \
        missing << QStringLiteral(#name);
        LIRRA_PULSE_FUNCTIONS(LIRRA_PULSE_FIND)
#undef LIRRA_PULSE_FIND
        if (!missing.isEmpty())
            problem = QStringLiteral("%1 lacks %2").arg(QLatin1String(libraryFile), missing.join(QStringLiteral(", ")));
    });
    if (!problem.isEmpty()) {
        *why = problem;
        return nullptr;
    }
    return &table;
}

} // namespace

struct PulseOutput::State {
    const PulseLibrary *pa = nullptr;
    pa_threaded_mainloop *mainloop = nullptr;
    pa_context *context = nullptr;
    pa_stream *stream = nullptr;
    Render render = nullptr;
    void *data = nullptr;
    int blockFrames = 128;
    int grantedFrames = 0;
    QString notice;
    // Under the main loop's lock.
    bool running = false;
    std::thread thread;

    static void wake(void *self) { auto *s = static_cast<State *>(self); s->pa->pa_threaded_mainloop_signal(s->mainloop, 0); }
    static void contextChanged(pa_context *, void *self) { wake(self); }
    static void streamChanged(pa_stream *, void *self) { wake(self); }
    static void roomFor(pa_stream *, size_t, void *self) { wake(self); }

    QString lastError() const { return QString::fromUtf8(pa->pa_strerror(pa->pa_context_errno(context))); }

    // Renders a block, then waits outside the renderer until the stream has
    // room for it: the stream never holds more than the server granted.
    void run()
    {
        // As FluidSynth's drivers do; a user without the right keeps the
        // normal priority.
        sched_param priority{};
        priority.sched_priority = 60;
        pthread_setschedparam(pthread_self(), SCHED_FIFO, &priority);
        const auto frames = std::size_t(blockFrames);
        std::vector<float> left(frames), right(frames), both(2 * frames);
        float *out[2] = {left.data(), right.data()};
        const std::size_t bytes = both.size() * sizeof(float);
        for (;;) {
            render(data, blockFrames, 0, nullptr, 2, out);
            for (std::size_t i = 0; i < frames; ++i) {
                both[2 * i] = left[i];
                both[2 * i + 1] = right[i];
            }
            pa->pa_threaded_mainloop_lock(mainloop);
            while (running && pa->pa_stream_get_state(stream) == PA_STREAM_READY
                   && pa->pa_stream_writable_size(stream) < bytes)
                pa->pa_threaded_mainloop_wait(mainloop);
            const bool written = running && pa->pa_stream_get_state(stream) == PA_STREAM_READY
                && pa->pa_stream_write(stream, both.data(), bytes, nullptr, 0, PA_SEEK_RELATIVE) == 0;
            pa->pa_threaded_mainloop_unlock(mainloop);
            if (!written)
                return;
        }
    }

    // Reverse order of creation; safe on a half-built output.
    ~State()
    {
        if (!mainloop)
            return;
        pa->pa_threaded_mainloop_lock(mainloop);
        running = false;
        pa->pa_threaded_mainloop_signal(mainloop, 0);
        pa->pa_threaded_mainloop_unlock(mainloop);
        if (thread.joinable())
            thread.join();
        pa->pa_threaded_mainloop_lock(mainloop);
        if (stream) {
            pa->pa_stream_disconnect(stream);
            pa->pa_stream_unref(stream);
        }
        if (context) {
            pa->pa_context_disconnect(context);
            pa->pa_context_unref(context);
        }
        pa->pa_threaded_mainloop_unlock(mainloop);
        pa->pa_threaded_mainloop_stop(mainloop);
        pa->pa_threaded_mainloop_free(mainloop);
    }
};

Result<std::unique_ptr<PulseOutput>> PulseOutput::start(const Request &request, Render render, void *data)
{
    const auto fail = [](const QString &why) { return failure(QStringLiteral("PulseOutput"), 1, why); };
    QString why;
    auto state = std::make_unique<State>();
    state->pa = pulseLibrary(&why);
    if (!state->pa)
        return fail(why);
    const PulseLibrary &pa = *state->pa;
    state->render = render;
    state->data = data;
    state->blockFrames = request.blockFrames;
    state->mainloop = pa.pa_threaded_mainloop_new();
    if (!state->mainloop)
        return fail(QStringLiteral("no main loop"));
    // The client's name, icon and media role come from the PULSE_PROP_*
    // variables the app sets at its start.
    state->context = pa.pa_context_new(pa.pa_threaded_mainloop_get_api(state->mainloop), "Lirra");
    if (!state->context)
        return fail(QStringLiteral("no context"));
    pa.pa_context_set_state_callback(state->context, &State::contextChanged, state.get());
    if (pa.pa_context_connect(state->context, nullptr, PA_CONTEXT_NOFLAGS, nullptr) < 0)
        return fail(state->lastError());
    pa.pa_threaded_mainloop_lock(state->mainloop);
    if (pa.pa_threaded_mainloop_start(state->mainloop) < 0) {
        pa.pa_threaded_mainloop_unlock(state->mainloop);
        return fail(QStringLiteral("the main loop did not start"));
    }
    // Every failure below returns with the lock let go, before the state's
    // teardown takes it again.
    const auto failLocked = [&](const QString &what) {
        pa.pa_threaded_mainloop_unlock(state->mainloop);
        return fail(what);
    };
    for (;;) {
        const pa_context_state_t now = pa.pa_context_get_state(state->context);
        if (now == PA_CONTEXT_READY)
            break;
        if (!PA_CONTEXT_IS_GOOD(now))
            return failLocked(state->lastError());
        pa.pa_threaded_mainloop_wait(state->mainloop);
    }
    const pa_sample_spec spec{PA_SAMPLE_FLOAT32NE, std::uint32_t(request.sampleRate), 2};
    state->stream = pa.pa_stream_new(state->context, "Lirra", &spec, nullptr);
    if (!state->stream)
        return failLocked(state->lastError());
    pa.pa_stream_set_state_callback(state->stream, &State::streamChanged, state.get());
    pa.pa_stream_set_write_callback(state->stream, &State::roomFor, state.get());
    const auto bytes = [](int frames) { return std::uint32_t(frames * bytesPerFrame); };
    pa_buffer_attr asked{};
    asked.maxlength = std::uint32_t(-1);
    asked.tlength = bytes(request.bufferFrames);
    asked.prebuf = std::uint32_t(-1);
    asked.minreq = bytes(request.blockFrames);
    asked.fragsize = std::uint32_t(-1);
    const auto flags = pa_stream_flags_t(PA_STREAM_INTERPOLATE_TIMING | PA_STREAM_ADJUST_LATENCY | PA_STREAM_AUTO_TIMING_UPDATE);
    if (pa.pa_stream_connect_playback(state->stream, nullptr, &asked, flags, nullptr, nullptr) < 0)
        return failLocked(state->lastError());
    for (;;) {
        const pa_stream_state_t now = pa.pa_stream_get_state(state->stream);
        if (now == PA_STREAM_READY)
            break;
        if (!PA_STREAM_IS_GOOD(now))
            return failLocked(state->lastError());
        pa.pa_threaded_mainloop_wait(state->mainloop);
    }
    const pa_buffer_attr *granted = pa.pa_stream_get_buffer_attr(state->stream);
    state->grantedFrames = granted ? int(granted->tlength / bytesPerFrame) : request.bufferFrames;
    if (state->grantedFrames != request.bufferFrames) {
        state->notice = QStringLiteral("🔈 The sound server granted the output a buffer of %1 frames (%2 ms), not the %3 asked for")
                            .arg(state->grantedFrames)
                            .arg(1000.0 * state->grantedFrames / request.sampleRate, 0, 'f', 1)
                            .arg(request.bufferFrames);
    }
    state->running = true;
    pa.pa_threaded_mainloop_unlock(state->mainloop);
    State *running = state.get();
    state->thread = std::thread([running] { running->run(); });
    return std::unique_ptr<PulseOutput>(new PulseOutput(std::move(state)));
}

PulseOutput::PulseOutput(std::unique_ptr<State> state)
    : m_state(std::move(state))
{
}

PulseOutput::~PulseOutput() = default;

int PulseOutput::bufferFrames() const
{
    return m_state->grantedFrames;
}

int PulseOutput::blockFrames() const
{
    return m_state->blockFrames;
}

QString PulseOutput::grantNotice() const
{
    return m_state->notice;
}

} // namespace lirra
