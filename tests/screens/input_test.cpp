#include "support/app_window.h"
#include "support/fakes.h"
#include "support/files.h"
#include "support/keys.h"
#include "support/test_registry.h"

#include "core/app_loop.h"
#include "model/localization.h"
#include "screens/app.h"
#include "screens/app_delegate.h"
#include "screens/main_screen.h"
#include "screens/modal_screens.h"
#include "storage/settings_preferences.h"
#include "widgets/keyboard.h"
#include "widgets/title_bar.h"

#include <QAction>
#include <QFileInfo>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <RtMidi.h>
#include <jack/jack.h>

#include <algorithm>

using namespace lirra;
using namespace lirra::test;

namespace {

void quiet(const char *) {}

// A JACK server of this test's own on the dummy back end: no sound card.
class JackServer {
public:
    JackServer()
        : m_name(QStringLiteral("lirra-test-%1").arg(QCoreApplication::applicationPid()))
    {
        const QString jackd = QStandardPaths::findExecutable(QStringLiteral("jackd"));
        if (jackd.isEmpty())
            return;
        qputenv("JACK_DEFAULT_SERVER", m_name.toUtf8());
        m_server.setStandardOutputFile(QProcess::nullDevice());
        m_server.setStandardErrorFile(QProcess::nullDevice());
        // A generous client timeout: a loaded test machine must not drop clients.
        m_server.start(jackd, {QStringLiteral("--no-realtime"), QStringLiteral("-t"), QStringLiteral("10000"),
                               QStringLiteral("-n"), m_name, QStringLiteral("-d"),
                               QStringLiteral("dummy"), QStringLiteral("-r"), QStringLiteral("44100"),
                               QStringLiteral("-p"), QStringLiteral("256")});
        jack_set_error_function(&quiet);
        jack_set_info_function(&quiet);
        m_running = spinUntil([] {
            jack_status_t status{};
            jack_client_t *probe = jack_client_open("lirra-test-probe", JackNoStartServer, &status);
            if (probe)
                jack_client_close(probe);
            return probe != nullptr;
        }, 10000);
    }
    ~JackServer()
    {
        m_server.terminate();
        m_server.waitForFinished(5000);
        qunsetenv("JACK_DEFAULT_SERVER");
    }
    bool isRunning() const { return m_running; }

private:
    QString m_name;
    QProcess m_server;
    bool m_running = false;
};

// The computer key that types the note, after Z or X has set the typed octave.
std::pair<int, int> typedKeys(Note note)
{
    static const int letters[] = {Qt::Key_A, Qt::Key_W, Qt::Key_S, Qt::Key_E, Qt::Key_D, Qt::Key_F, Qt::Key_T,
                                  Qt::Key_G, Qt::Key_Y, Qt::Key_H, Qt::Key_U, Qt::Key_J};
    if (note.octave == 2 && note.name == NoteName::c)
        return {Qt::Key_Z, Qt::Key_K};
    return {note.octave == 1 ? Qt::Key_Z : Qt::Key_X, letters[index(note.name)]};
}

} // namespace

class InputTest : public QObject, private AppWindowFixture {
    Q_OBJECT

private:
    std::unique_ptr<JackServer> m_jack; // stops after the app's clients have closed

    // With the tour already seen.
    bool start(InputSetup input, QuestionKind kind = QuestionKind::note)
    {
        SettingsPreferences preferences(m_home->filePath(QStringLiteral("lirra.json")));
        preferences.setBool(true, PreferenceKey::hasSeenOnboarding);
        if (kind == QuestionKind::chord)
            preferences.setText(kindText(kind), PreferenceKey::questionKind);
        preferences.sync();
        return launch(input);
    }
    QWindow *window() { return m_delegate->window()->windowHandle(); }

private slots:
    void init() { newHome(); }
    void cleanup()
    {
        closeApp();
        m_jack.reset();
    }

    // A whole question with the computer keyboard and nothing else.
    void practiseWithKeysOnly()
    {
        InputSetup input;
        input.midi = false;
        QVERIFY(start(input));
        const Level level = *state().level;
        QCOMPARE(button("startStopSessionButton")->toolTip(), localized("startSession") + QStringLiteral(" (Space)"));

        QTest::keyClick(window(), Qt::Key_Space);
        QVERIFY(waitFor([](const AppState &s) { return s.question && s.isInteractionEnabled; }));
        QVERIFY(state().isPracticing);

        // In a session the level cannot change: its shortcuts are off with their buttons.
        QVERIFY(!button("nextLevelButton")->isEnabled());
        QVERIFY(!m_delegate->shortcut(Command::nextLevel)->isEnabled());
        QTest::keyClick(window(), Qt::Key_Right);
        QTest::keyClick(window(), Qt::Key_Home);
        drainEvents();
        QCOMPARE(state().level->id, level.id);
        QVERIFY(state().isPracticing);

        // The answer typed in the other octave: its key there is not in the
        // level, so the level's key of that name answers, and the resolution
        // lights up and plays.
        const Question question = *state().question;
        QCOMPARE(question.answer.octave, 1);
        const auto [octaveKey, noteKey] = typedKeys(Note{question.answer.name, 2});
        QVERIFY(!m_delegate->app()->main()->keyboardView()->key(Note{question.answer.name, 2})->isEnabled());
        QTest::keyClick(window(), octaveKey);
        QTest::keyPress(window(), noteKey);
        QVERIFY(waitFor([](const AppState &s) {
            return s.highlightedNote && s.highlightedNote->color == PaletteColor::green && !s.isInteractionEnabled;
        }));
        QTest::keyRelease(window(), noteKey);
        QVERIFY(waitFor([&](const AppState &s) { return s.question && s.question->id != question.id && s.isInteractionEnabled; }));
        QCOMPARE(state().correctIdentifications, 1);

        QTest::keyClick(window(), Qt::Key_Space);
        QVERIFY(waitFor([](const AppState &s) { return !s.isPracticing && s.level && s.level->sessions.size() == 1; }));
        const QList<QByteArray> lines =
            readAll(m_home->filePath(QStringLiteral("Documents/lirra_sessions/sessions_%1.txt").arg(level.id))).split('\n');
        QCOMPARE(lines.size(), 2);
    }

    // The level editor and the accuracy screen answer Return and Escape, and
    // keys typed there act on their keyboards.
    void modalScreensByKeys()
    {
        InputSetup input;
        input.midi = false;
        QVERIFY(start(input));
        LevelEditorScreen *editor = m_delegate->app()->levelEditor();
        QTest::keyClick(window(), Qt::Key_L);
        QVERIFY(editor->isVisible());
        QVERIFY(!m_delegate->shortcut(Command::configureLevel)->isEnabled()); // its button is off too
        QCOMPARE(editor->titleBar()->doneButton()->pushButton()->toolTip(), localized("done") + QStringLiteral(" (Return)"));

        // Taking every note away leaves nothing to confirm: Return does nothing.
        const std::vector<Note> all = editor->selectedNotes();
        for (const Note &note : all) {
            const auto [octaveKey, noteKey] = typedKeys(note);
            QTest::keyClick(window(), octaveKey);
            QTest::keyClick(window(), noteKey);
        }
        QVERIFY(editor->selectedNotes().empty());
        QVERIFY(!m_delegate->shortcut(Command::confirm)->isEnabled());
        QTest::keyClick(window(), Qt::Key_Return);
        QVERIFY(editor->isVisible());
        // Escape cancels.
        QTest::keyClick(window(), Qt::Key_Escape);
        QVERIFY(!editor->isVisible() && !state().isLevelEditorVisible);
        QVERIFY(!state().level->isCustom);

        // The accuracy screen: I opens it, Return closes it.
        QTest::keyClick(window(), Qt::Key_I);
        QVERIFY(state().isAccuracyScreenVisible);
        QTest::keyClick(window(), Qt::Key_Return);
        QVERIFY(!state().isAccuracyScreenVisible);
    }

    // The tour's bubble answers Return, one tip after another.
    void theTourByReturn()
    {
        InputSetup input;
        input.midi = false;
        QFile::remove(m_home->filePath(QStringLiteral("lirra.json")));
        QVERIFY(launch(input));
        QVERIFY(waitFor([](const AppState &s) { return s.currentTip.has_value(); }));
        int tips = 0;
        while (state().currentTip && tips <= 12) {
            QTest::keyClick(window(), Qt::Key_Return);
            ++tips;
        }
        QCOMPARE(tips, 12);
        QVERIFY(state().isInteractionEnabled);
    }

    void aMidiKeyboardAnswers_data()
    {
        QTest::addColumn<int>("api");
        QTest::addColumn<bool>("chords");
        QTest::newRow("JACK") << int(MidiInput::Api::jack) << false;
        QTest::newRow("ALSA sequencer") << int(MidiInput::Api::alsa) << false;
        QTest::newRow("JACK, a chord struck") << int(MidiInput::Api::jack) << true;
    }
    // A real MIDI client on a real MIDI system, plugged in while the app runs:
    // it is connected within seconds, its note-on answers the question (two
    // octaves above the keyboard, it folds onto it), and unplugging it is
    // harmless.
    void aMidiKeyboardAnswers()
    {
        QFETCH(int, api);
        QFETCH(bool, chords);
        const bool jack = api == int(MidiInput::Api::jack);
        if (jack) {
            m_jack = std::make_unique<JackServer>();
            if (!m_jack->isRunning())
                QSKIP("no JACK server could be started (Debian's jackd2 runs one on its dummy back end)");
        } else if (!QFileInfo::exists(QStringLiteral("/dev/snd/seq"))) {
            QSKIP("this machine has no ALSA sequencer (/dev/snd/seq)");
        }
        InputSetup input;
        input.midiOptions.api = MidiInput::Api(api);
        input.midiOptions.scanIntervalMs = 200;
        input.midiDelayMs = 0;
        QVERIFY(start(input, chords ? QuestionKind::chord : QuestionKind::note));
        QVERIFY(spinUntil([&] { return m_delegate->midiInput() && !m_delegate->midiInput()->apiName().isEmpty(); }));
        QCOMPARE(m_delegate->midiInput()->apiName(), QLatin1String(jack ? "jack" : "alsa"));

        auto keyboard = std::make_unique<RtMidiOut>(jack ? RtMidi::UNIX_JACK : RtMidi::LINUX_ALSA, "lirra-test-keyboard");
        keyboard->openVirtualPort("keys");
        QVERIFY(spinUntil([&] {
            return m_delegate->midiInput()->connectedPorts().join(QLatin1Char(' ')).contains(QLatin1String("lirra-test-keyboard"));
        }, 5000));

        click(button("startStopSessionButton"));
        QVERIFY(waitFor([](const AppState &s) { return s.question && s.isInteractionEnabled; }));
        const Question question = *state().question;
        const auto key = static_cast<unsigned char>(MIDINotePlayer::keyNumber(question.answer) + 24);
        const std::vector<unsigned char> noteOn{0x90, key, 100};
        QSignalSpy pressed(m_delegate->midiInput(), &MidiInput::notePressed);
        if (chords) {
            // The chord in its second inversion, its fifth lowest, struck a
            // few milliseconds apart: one answer, its root.
            QCOMPARE(question.kind, QuestionKind::chord);
            const Chord chord = chordOf(question.answer.name, state().level->key, state().level->isMajor);
            const int root = 48 + index(chord.root);
            for (const int played : {root + semitones(chord.notes()[2], chord.root) - 12, root, root + semitones(chord.notes()[1], chord.root)}) {
                const std::vector<unsigned char> struck{0x90, static_cast<unsigned char>(played), 90};
                keyboard->sendMessage(&struck);
                QTest::qSleep(8);
            }
        } else {
            keyboard->sendMessage(&noteOn);
        }
        // The offline player plays the resolution in virtual time, possibly
        // all within one turn of the event loop: what stays is the count and
        // the log.
        const bool answered = waitFor([&](const AppState &s) {
            return s.correctIdentifications == 1 &&
                   std::any_of(m_logger->lines.begin(), m_logger->lines.end(), [](const auto &line) {
                       return line.second.contains(QLatin1String("didPlayNoteInResolution"));
                   });
        }, 10000);
        if (!answered) {
            QStringList tail;
            for (size_t i = m_logger->lines.size() > 8 ? m_logger->lines.size() - 8 : 0; i < m_logger->lines.size(); ++i)
                tail << m_logger->lines[i].second;
            const QString why = QStringLiteral("%1 note(s) arrived from MIDI for key %2; the log ends: %3")
                                    .arg(pressed.size()).arg(int(key)).arg(tail.join(QLatin1String(" | ")));
            QFAIL(qPrintable(why));
        }
        // One answer, right at once, however many keys made it.
        QCOMPARE(state().questionsCount, 1);
        const std::vector<unsigned char> noteOff{0x90, key, 0}; // a note-on with velocity 0 releases
        keyboard->sendMessage(&noteOff);
        QVERIFY(waitFor([&](const AppState &s) { return s.question && s.question->id != question.id; }));

        keyboard.reset();
        QVERIFY(spinUntil([&] { return m_delegate->midiInput()->connectedPorts().isEmpty(); }, 5000));
        QVERIFY(!state().hasError);
    }
};

LIRRA_TEST(InputTest)
#include "input_test.moc"
