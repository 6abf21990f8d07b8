#include "musical_input.h"

#include "model/logger.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QWidget>

namespace lirra {

MusicalInput::MusicalInput(QWidget *window, NoteHandler press, NoteHandler release, QObject *parent)
    : QObject(parent)
    , m_window(window)
    , m_press(std::move(press))
    , m_release(std::move(release))
{
    QCoreApplication::instance()->installEventFilter(this);
    m_clock.start();
    m_gathered.setSingleShot(true);
    m_gathered.setTimerType(Qt::PreciseTimer);
    connect(&m_gathered, &QTimer::timeout, this, [this]() {
        if (const std::optional<Note> chord = m_gathering.take())
            m_press(*chord);
    });
}

void MusicalInput::midiPressed(Note note)
{
    const bool chords = m_degreeNote && m_degreeNote(1).has_value();
    if (!chords) {
        if (const std::optional<Note> before = m_gathering.take())
            m_press(*before);
        m_press(note);
        return;
    }
    const std::int64_t now = m_clock.elapsed();
    if (const std::optional<Note> before = m_gathering.press(note, now))
        m_press(*before);
    if (const std::optional<std::int64_t> due = m_gathering.dueAt())
        m_gathered.start(int(std::max<std::int64_t>(0, *due - now)));
}

MusicalInput::~MusicalInput()
{
    if (QCoreApplication::instance())
        QCoreApplication::instance()->removeEventFilter(this);
}

void MusicalInput::startMidi(const MidiInput::Options &options, Logger *logger)
{
    m_midi = std::make_unique<MidiInput>(options);
    connect(m_midi.get(), &MidiInput::notePressed, this, [this](Note note) { midiPressed(note); });
    connect(m_midi.get(), &MidiInput::noteReleased, this, [this](Note note) { m_release(note); });
    if (!m_midi->start() && logger && logger->isEnabled(LogLevel::warning))
        logger->write(LogLevel::warning,
                      QStringLiteral("⚠️ No MIDI input: neither an ALSA sequencer nor a JACK server could be reached"));
}

bool MusicalInput::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease)
        return false;
    auto *widget = qobject_cast<QWidget *>(watched);
    if (!m_window || !widget || widget->window() != m_window)
        return false;
    auto *key = static_cast<QKeyEvent *>(event);
    if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    // The number row names a chord by its degree while chords are asked.
    if (const std::optional<int> degree = degreeKey(key->nativeScanCode(), key->key()); degree && m_degreeNote) {
        const int code = 100 + *degree;
        if (event->type() == QEvent::KeyRelease) {
            if (const auto held = m_typedNotes.find(code); held != m_typedNotes.end() && !key->isAutoRepeat()) {
                m_release(held->second);
                m_typedNotes.erase(held);
                return true;
            }
            return m_typedNotes.count(code) > 0;
        }
        if (const std::optional<Note> root = m_degreeNote(*degree)) {
            if (!key->isAutoRepeat()) {
                m_typedNotes[code] = *root;
                m_press(*root);
            }
            return true;
        }
    }
    // By its place on the keyboard, whatever the layout prints on it.
    const std::optional<TypingKey> typed = typingKey(key->nativeScanCode(), key->key());
    const int code = typed ? int(*typed) : -1;
    const bool isTyping = typed.has_value() || m_typedNotes.count(code) > 0;
    if (key->isAutoRepeat() || !isTyping)
        return isTyping; // a held key plays once
    if (event->type() == QEvent::KeyPress) {
        if (m_typing.moveOctave(*typed))
            return true;
        const std::optional<Note> note = m_typing.note(*typed);
        if (!note)
            return true; // beyond the keyboard's octaves
        m_typedNotes[code] = *note;
        m_press(*note);
        return true;
    }
    // The note the key pressed, whatever octave is typed now.
    if (const auto held = m_typedNotes.find(code); held != m_typedNotes.end()) {
        m_release(held->second);
        m_typedNotes.erase(held);
    }
    return true;
}

} // namespace lirra
