#pragma once

// Playing the piano from outside the window: musical typing on the computer's
// keyboard, by the place of each key, wherever the focus is in the window;
// and every MIDI keyboard connected.

#include "input/chord_gathering.h"
#include "input/computer_keyboard.h"
#include "input/midi_input.h"
#include "model/note.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <functional>
#include <map>
#include <memory>

class QWidget;

namespace lirra {

class Logger;

class MusicalInput final : public QObject {
    Q_OBJECT
public:
    using NoteHandler = std::function<void(Note)>;
    // Keys typed in `window` press and release notes; installed on the
    // application to hear them wherever the focus is.
    MusicalInput(QWidget *window, NoteHandler press, NoteHandler release, QObject *parent = nullptr);
    ~MusicalInput() override;

    // Listens to MIDI keyboards; says in the log when there is no MIDI.
    void startMidi(const MidiInput::Options &options, Logger *logger);
    // MIDI input, once it has started.
    MidiInput *midi() const { return m_midi.get(); }

    // While chords are asked, `degreeNote` answers the root a number key 1–7
    // stands for (none while notes are asked: the keys then do nothing), and
    // MIDI keys struck together answer as one chord.
    using DegreeNote = std::function<std::optional<Note>(int degree)>;
    void answerChords(DegreeNote degreeNote) { m_degreeNote = std::move(degreeNote); }
    // A MIDI key pressed: at once, or gathered with others into a chord.
    void midiPressed(Note note);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QPointer<QWidget> m_window;
    NoteHandler m_press;
    NoteHandler m_release;
    TypingKeyboard m_typing;
    std::map<int, Note> m_typedNotes; // held keys and the notes they pressed
    std::unique_ptr<MidiInput> m_midi;
    DegreeNote m_degreeNote;
    ChordGathering m_gathering;
    QTimer m_gathered;
    QElapsedTimer m_clock;
};

} // namespace lirra
