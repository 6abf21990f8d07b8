#pragma once

#include "input/midi_translator.h"

#include <QObject>
#include <QStringList>
#include <QTimer>

#include <map>
#include <memory>
#include <vector>

class RtMidiIn;

namespace lirra {

// Every MIDI keyboard connected to the computer, as key presses on the
// on-screen keyboard. Connects to every input port but its own and the
// system's, and looks for ports plugged in or taken away every few seconds.
// MIDI arrives on the library's threads; presses are handed to the main
// thread and signalled there.
class MidiInput final : public QObject {
    Q_OBJECT
public:
    enum class Api { automatic, alsa, jack };

    struct Options {
        // Automatic: the ALSA sequencer where there is one, else JACK.
        Api api = Api::automatic;
        // Our own name as a MIDI client; its ports are never connected.
        QString clientName = QStringLiteral("Lirra");
        int scanIntervalMs = 2000;
    };

    explicit MidiInput(Options options, QObject *parent = nullptr);
    ~MidiInput() override;

    // Connects to the ports there are, then keeps looking. False when no
    // MIDI system could be reached; the app then simply has no MIDI input.
    bool start();
    // "alsa" or "jack" once started; empty when neither could be reached.
    QString apiName() const;
    // The ports connected now, by name.
    QStringList connectedPorts() const;

signals:
    void notePressed(lirra::Note note);
    void noteReleased(lirra::Note note);
    void portsChanged(const QStringList &ports);

private:
    struct Source;

    // Called on MIDI's threads with one message of one source.
    static void received(double, std::vector<unsigned char> *message, void *source);
    void scan();
    void deliver(int source, const std::vector<std::uint8_t> &bytes);

    Options m_options;
    int m_api = 0; // RtMidi::Api
    std::unique_ptr<RtMidiIn> m_scanner;
    std::map<int, std::unique_ptr<Source>> m_sources;
    int m_nextSource = 0;
    QTimer m_scanTimer;
};

} // namespace lirra
