#include "support/app_window.h"
#include "support/files.h"
#include "support/keys.h"
#include "support/memory_preferences.h"
#include "support/test_registry.h"

#include "core/app_loop.h"
#include "model/level_labels.h"
#include "model/localization.h"
#include "practice/practice_settings.h"
#include "screens/app.h"
#include "screens/error_screen.h"
#include "screens/main_screen.h"
#include "screens/modal_screens.h"
#include "screens/quit_guard.h"
#include "storage/file_session_storage.h"
#include "storage/saved_levels.h"
#include "storage/settings_preferences.h"
#include "widgets/control.h"
#include "widgets/keyboard.h"
#include "widgets/title_bar.h"

#include <QAccessible>
#include <QDir>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <csignal>
#include <unistd.h>

using namespace lirra;
using namespace lirra::test;

namespace {

// Preferences that cannot be kept: the first write tells the failure handler.
class UnkeptPreferences final : public Preferences {
public:
    std::optional<std::int64_t> integer(PreferenceKey key) const override { return memory.integer(key); }
    void setInteger(std::int64_t value, PreferenceKey key) override
    {
        memory.setInteger(value, key);
        fail();
    }
    bool boolean(PreferenceKey key) const override { return key == PreferenceKey::hasSeenOnboarding || memory.boolean(key); }
    void setBool(bool value, PreferenceKey key) override { memory.setBool(value, key); }
    std::optional<QString> text(PreferenceKey key) const override { return memory.text(key); }
    void setText(const QString &value, PreferenceKey key) override { memory.setText(value, key); }
    void setFailureHandler(std::function<void(const Error &)> handler) override { onFailure = std::move(handler); }

    MemoryPreferences memory;
    std::function<void(const Error &)> onFailure;
    int writes = 0;

private:
    void fail()
    {
        // Like the real store, it finds out after the caller has moved on.
        if (++writes == 1 && onFailure)
            QTimer::singleShot(0, [handler = onFailure]() {
                handler(Error{QStringLiteral("test"), 1, QStringLiteral("Could not save the settings file /x/lirra.json: no room.")});
            });
    }
};

} // namespace

// The ways a user's practice could be lost or the app could lock them out,
// tried through the window: each keeps every answer and leaves a way on.
class NothingLostTest : public QObject, private AppWindowFixture {
    Q_OBJECT

private:
    bool m_exited = false;
    std::vector<int> m_confirmations;
    bool m_confirm = false;
    QStringList m_askedAboutNarrowing;
    KeepNarrowing m_narrowingChoice = KeepNarrowing::cancel;

    bool start(const std::function<void(EnvironmentSetup &)> &adjust = {})
    {
        InputSetup input;
        input.midi = false;
        // As the app's own exit does, it ends the event loop if one runs,
        // rather than leave that to the last window's close, which did not
        // always end it here.
        input.exit = [this]() {
            m_exited = true;
            QCoreApplication::quit();
        };
        input.confirmLoss = [this](int sessions) {
            m_confirmations.push_back(sessions);
            return m_confirm;
        };
        input.askAboutNarrowing = [this](const QString &name) {
            m_askedAboutNarrowing << name;
            return m_narrowingChoice;
        };
        return launch(input, adjust);
    }
    void seenTheTour()
    {
        SettingsPreferences(m_home->filePath(QStringLiteral("lirra.json"))).setBool(true, PreferenceKey::hasSeenOnboarding);
    }
    QString levelFile(int id) const
    {
        return m_home->filePath(QStringLiteral("Documents/lirra_sessions/sessions_%1.txt").arg(id));
    }
    KeyboardView *mainKeyboard() { return m_delegate->app()->main()->keyboardView(); }
    ErrorScreen *errorScreen() { return m_delegate->app()->builtErrorScreen(); }
    // Answers the question on screen with its right key; true once the next
    // question is on.
    bool answerRight()
    {
        if (!waitFor([](const AppState &s) { return s.question && s.isInteractionEnabled; }))
            return false;
        const Question asked = *state().question;
        clickKey(mainKeyboard(), asked.answer);
        return waitFor([&](const AppState &s) { return s.question && s.question->id != asked.id; });
    }
    // The stop button, once the cadence has played and it can be pressed.
    bool stop()
    {
        if (!waitFor([](const AppState &s) { return s.isInteractionEnabled; }))
            return false;
        click(button("startStopSessionButton"));
        return true;
    }

    // A key of the level that is not the answer to the question on show.
    Note wrongKey() const
    {
        const Note answer = m_delegate->loop()->state().question->answer;
        for (const Note &note : m_delegate->loop()->state().level->notes) {
            if (note != answer)
                return note;
        }
        return answer;
    }
    // Ends the app the way `how` says, at once.
    void quitBy(const QString &how)
    {
        if (how == QLatin1String("window"))
            m_delegate->window()->close();
        else if (how == QLatin1String("Ctrl+Q"))
            QTest::keyClick(m_delegate->window(), Qt::Key_Q, Qt::ControlModifier);
        else if (how == QLatin1String("loop ends")) {
            QTimer::singleShot(0, qApp, []() { QCoreApplication::quit(); });
            QCoreApplication::exec();
            m_exited = true;
        } else {
            const int number = how == QLatin1String("SIGTERM") ? SIGTERM : how == QLatin1String("SIGINT") ? SIGINT : SIGHUP;
            ::kill(::getpid(), number);
        }
    }

private slots:
    void initTestCase() { QVERIFY(QuitGuard::catchSignals()); }

    void init()
    {
        newHome();
        m_exited = false;
        m_confirmations.clear();
        m_confirm = false;
        m_askedAboutNarrowing.clear();
        m_narrowingChoice = KeepNarrowing::cancel;
    }
    void cleanup() { closeApp(); }

    void closingKeepsTheAnswers_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("the window's close button") << "close";
        QTest::newRow("Ctrl+Q") << "shortcut";
    }
    void closingKeepsTheAnswers()
    {
        QFETCH(QString, how);
        seenTheTour();
        QVERIFY(start());
        click(button("startStopSessionButton"));
        QVERIFY(answerRight());
        QVERIFY(answerRight());
        // The next question's cadence is playing: nothing can be pressed.
        if (how == QLatin1String("close"))
            m_delegate->window()->close();
        else
            QTest::keyClick(m_delegate->window(), Qt::Key_Q, Qt::ControlModifier);
        QVERIFY(spinUntil([this] { return m_exited; }));
        QVERIFY(!m_delegate->window()->isVisible());
        QVERIFY(m_confirmations.empty());
        const QList<QByteArray> lines = readAll(levelFile(1)).split('\n');
        QCOMPARE(lines.size(), 2); // one line, then nothing after its line feed
        const auto saved = FileSessionStorage::parseLine(QByteArrayView(lines.front()));
        QVERIFY(saved);
        QCOMPARE(saved->statistics().correctCount, 2);
        QCOMPARE(saved->statistics().wrongCount, 0);
    }

    // Every way of ending the app at every moment of a session writes the
    // session once, with every answer (the one whose sound the quit cuts
    // short included), and its confusions once.
    void quitAtAnyMoment_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("moment");
        for (const char *how : {"window", "Ctrl+Q", "SIGTERM", "SIGINT", "SIGHUP", "loop ends"}) {
            for (const char *moment : {"cadence", "awaiting the answer", "a wrong key sounding", "a resolution",
                                       "a contrast", "a listening block", "a stop saving", "a melody's second note",
                                       "a progression's second chord"})
                QTest::addRow("%s, %s", how, moment) << QString::fromLatin1(how) << QString::fromLatin1(moment);
        }
    }
    void quitAtAnyMoment()
    {
        QFETCH(QString, how);
        QFETCH(QString, moment);
        {
            SettingsPreferences preferences(m_home->filePath(QStringLiteral("lirra.json")));
            preferences.setBool(true, PreferenceKey::hasSeenOnboarding);
            Settings adaptive;
            adaptive.mode = PracticeMode::adaptive;
            if (moment == QLatin1String("a contrast") || moment == QLatin1String("a listening block"))
                storeSettings(preferences, adaptive, Settings{});
            const bool chords = moment == QLatin1String("a progression's second chord");
            if (moment == QLatin1String("a melody's second note") || chords)
                preferences.setInteger(3, PreferenceKey::melodyLength);
            if (chords)
                preferences.setText(QStringLiteral("chord"), PreferenceKey::questionKind);
        }
        QVERIFY(start());
        if (moment == QLatin1String("a melody's second note") || moment == QLatin1String("a progression's second chord")) {
            // Chords keep to files of their own, as melodies do.
            const bool chords = moment.contains(QLatin1String("chord"));
            QCOMPARE(state().settings.questionKind, chords ? QuestionKind::chord : QuestionKind::note);
            const QString sessions = chords ? QStringLiteral("chords_1_n3.txt") : QStringLiteral("sessions_1_n3.txt");
            const QString confusions = chords ? QStringLiteral("chord_confusions_1_n3.txt") : QStringLiteral("confusions_1_n3.txt");
            // The first note taken for another, then found; the second found
            // as the quit cuts its sound short: both count, in the melodies' file.
            click(button("startStopSessionButton"));
            QVERIFY(waitFor([](const AppState &s) { return s.question && s.isInteractionEnabled; }));
            const Question melody = *state().question;
            const Note first = melody.noteAt(0);
            clickKey(mainKeyboard(), first == state().level->notes.front() ? state().level->notes.back() : state().level->notes.front());
            QVERIFY(waitFor([](const AppState &s) { return s.isInteractionEnabled && !s.pendingAnswer; }));
            clickKey(mainKeyboard(), first);
            QVERIFY(waitFor([](const AppState &s) { return s.melodyPosition == 1 && s.isInteractionEnabled; }));
            clickKey(mainKeyboard(), melody.noteAt(1));
            // Its sound may be cut short or over: it counts either way.
            QVERIFY(state().pendingAnswer || state().melodyPosition == 2);
            quitBy(how);
            QVERIFY(spinUntil([this] { return m_exited; }));
            QVERIFY(m_confirmations.empty());
            const QList<QByteArray> lines =
                readAll(m_home->filePath(QStringLiteral("Documents/lirra_sessions/") + sessions)).split('\n');
            QCOMPARE(lines.size(), 2);
            const SessionStatistics counted = FileSessionStorage::parseLine(QByteArrayView(lines.front()))->statistics();
            QCOMPARE(counted.correctCount, 1);
            QCOMPARE(counted.wrongCount, 1);
            QCOMPARE(readAll(m_home->filePath(QStringLiteral("Documents/lirra_sessions/") + confusions)).count('\n'), 1);
            QVERIFY(!QFile::exists(levelFile(1)));
            return;
        }
        click(button("startStopSessionButton"));
        // The first question taken for another note, then found: a confusion.
        QVERIFY(waitFor([](const AppState &s) { return s.question && s.isInteractionEnabled; }));
        clickKey(mainKeyboard(), wrongKey());
        QVERIFY(waitFor([](const AppState &s) { return s.questionsCount == 1 && s.isInteractionEnabled; }));
        if (moment == QLatin1String("a contrast")) {
            clickKey(mainKeyboard(), state().question->answer);
            QVERIFY(waitFor([](const AppState &s) { return s.hearing && s.hearing->kind == Hearing::Kind::contrast; }));
        } else {
            QVERIFY(answerRight());
        }
        if (moment == QLatin1String("a listening block")) {
            // The twelfth question answered is followed by notes to hear.
            while (state().questionsCount < 11)
                QVERIFY(answerRight());
            QVERIFY(waitFor([](const AppState &s) { return s.question && s.isInteractionEnabled; }));
            clickKey(mainKeyboard(), state().question->answer);
            QVERIFY(waitFor([](const AppState &s) { return s.hearing && s.hearing->kind == Hearing::Kind::listening; }));
        }
        if (moment == QLatin1String("cadence"))
            QVERIFY(waitFor([](const AppState &s) { return s.question && !s.isInteractionEnabled && !s.pendingAnswer; }));
        if (moment == QLatin1String("awaiting the answer"))
            QVERIFY(waitFor([](const AppState &s) { return s.question && s.isInteractionEnabled; }));
        // A press on a question not answered yet counts, whether its sound
        // has ended or the quit cuts it short.
        std::int64_t expected = state().questionsCount;
        if (moment == QLatin1String("a wrong key sounding") || moment == QLatin1String("a resolution")) {
            QVERIFY(waitFor([](const AppState &s) { return s.question && s.isInteractionEnabled; }));
            expected = state().questionsCount + 1;
            const bool right = moment == QLatin1String("a resolution");
            clickKey(mainKeyboard(), right ? state().question->answer : wrongKey());
            if (right)
                QVERIFY(state().pendingAnswer);
        }
        if (moment == QLatin1String("a stop saving")) {
            QVERIFY(stop());
            QVERIFY(m_delegate->loop()->stopsInFlight() == 1);
        }
        quitBy(how);
        QVERIFY(spinUntil([this] { return m_exited; }));
        QVERIFY(m_confirmations.empty());
        const QList<QByteArray> lines = readAll(levelFile(1)).split('\n');
        QCOMPARE(lines.size(), 2); // one line, then nothing after its line feed
        const auto saved = FileSessionStorage::parseLine(QByteArrayView(lines.front()));
        QVERIFY(saved);
        const SessionStatistics counted = saved->statistics();
        QCOMPARE(counted.correctCount + counted.wrongCount, expected);
        QCOMPARE(readAll(m_home->filePath(QStringLiteral("Documents/lirra_sessions/confusions_1.txt"))).count('\n'), 1);
    }

    // Practice on notes chosen and never saved is not dropped in silence: a
    // quit or a move from the window asks (save, discard or stay); a quit
    // that cannot ask saves it, and the next start says so.
    void unsavedNarrowingIsNeverDroppedSilently_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<KeepNarrowing>("choice");
        QTest::newRow("the window, saved") << "window" << KeepNarrowing::save;
        QTest::newRow("Ctrl+Q, discarded") << "Ctrl+Q" << KeepNarrowing::discard;
        QTest::newRow("the window, cancelled") << "window" << KeepNarrowing::cancel;
        QTest::newRow("SIGTERM: saved without asking") << "SIGTERM" << KeepNarrowing::save;
        QTest::newRow("the next level, saved") << "next" << KeepNarrowing::save;
        QTest::newRow("the next level, discarded") << "next" << KeepNarrowing::discard;
        QTest::newRow("the next level, cancelled") << "next" << KeepNarrowing::cancel;
    }
    void unsavedNarrowingIsNeverDroppedSilently()
    {
        QFETCH(QString, how);
        QFETCH(KeepNarrowing, choice);
        seenTheTour();
        QVERIFY(start());
        const std::vector<Note> chosen(state().level->notes.begin(), state().level->notes.begin() + 2);
        m_delegate->loop()->send(actions::didSelectNotes{chosen});
        QVERIFY(waitFor([](const AppState &s) { return s.level && s.level->isCustom && s.isInteractionEnabled; }));
        const QString offered = suggestedName(*state().level);
        click(button("startStopSessionButton"));
        QVERIFY(answerRight());
        QVERIFY(stop());
        QVERIFY(waitFor([](const AppState &s) { return s.offersToSaveLevel; }));
        m_delegate->loop()->send(actions::didDeclineSavingLevel{}); // "Not now"
        m_narrowingChoice = choice;
        const bool byUser = how == QLatin1String("window") || how == QLatin1String("Ctrl+Q") || how == QLatin1String("next");
        if (how == QLatin1String("next"))
            click(button("nextLevelButton"));
        else
            quitBy(how);
        if (choice == KeepNarrowing::cancel) {
            QVERIFY(spinUntil([this] { return !m_askedAboutNarrowing.isEmpty(); }));
            drainEvents();
            QVERIFY(!m_exited && state().level->isCustom && !state().level->sessions.empty());
            QVERIFY(!QFile::exists(m_home->filePath(QStringLiteral("Documents/lirra_sessions/my_levels.json"))));
            return;
        }
        if (how == QLatin1String("next"))
            QVERIFY(waitFor([](const AppState &s) { return s.level && s.level->id == 2 && s.isInteractionEnabled; }));
        else
            QVERIFY(spinUntil([this] { return m_exited; }));
        QCOMPARE(m_askedAboutNarrowing, byUser ? QStringList{offered} : QStringList{});
        const QString folder = m_home->filePath(QStringLiteral("Documents/lirra_sessions"));
        const SavedLevelStore::Read kept = SavedLevelStore::parse(readAll(folder + QStringLiteral("/my_levels.json")));
        if (choice == KeepNarrowing::discard) {
            QVERIFY(kept.levels.empty());
            QVERIFY(QDir(folder).entryList({QStringLiteral("my_*.txt")}).isEmpty());
            return;
        }
        QCOMPARE(kept.levels.size(), size_t(1));
        QCOMPARE(kept.levels.front().name, offered);
        QCOMPARE(readAll(folder + QLatin1Char('/') + HistoryFile::of(kept.levels.front()).fileName()).count('\n'), 1);
        if (byUser)
            return;
        // The next start opens it and says what happened.
        closeApp();
        m_exited = false;
        QVERIFY(start());
        QCOMPARE(state().level->name, offered);
        QVERIFY(state().notice && state().notice->contains(offered));
        QCOMPARE(mainScreenState(state()).caption, state().notice);
        QCOMPARE(state().announcement->kind, Announcement::Kind::notice);
        closeApp();
        QVERIFY(start());
        QVERIFY(!state().notice); // once
    }

    // What a replace cut short by a kill -9 left beside its file (a
    // settings write, a save of the user's levels, a journal's rewrite, the
    // window's placement) is gone after the next start; the files stay.
    void leftoversGoAtTheNextStart()
    {
        seenTheTour();
        const QString levels = m_home->filePath(QStringLiteral("Documents/lirra_sessions/my_levels.json"));
        const QString placement = m_home->filePath(QStringLiteral("config/window.json"));
        QVERIFY(QDir().mkpath(QFileInfo(levels).absolutePath()) && QDir().mkpath(QFileInfo(placement).absolutePath())
                && QDir().mkpath(m_home->filePath(QStringLiteral("data"))));
        const QStringList leftovers{levels + QStringLiteral(".new"), m_home->filePath(QStringLiteral("lirra.json.new")),
                                    m_home->filePath(QStringLiteral("data/kept_sessions.txt.new")),
                                    placement + QStringLiteral(".new")};
        for (const QString &leftover : leftovers)
            writeAll(leftover, "{\"half\": ");
        InputSetup input;
        input.midi = false;
        input.exit = [this]() { m_exited = true; };
        input.windowPlacementFile = placement;
        QVERIFY(launch(input));
        for (const QString &leftover : leftovers)
            QVERIFY2(!QFile::exists(leftover), qPrintable(leftover));
        QVERIFY(state().level && !state().hasError);
    }

    // With no sound output the level and its history are there; Space
    // starts no session and says why again, in the user's language.
    void withoutSoundNoSessionStarts()
    {
        seenTheTour();
        QVERIFY(start([](EnvironmentSetup &setup) {
            setup.player.output = MIDINotePlayer::Output::live;
            setup.player.drivers = {QStringLiteral("no-such-driver")};
        }));
        QVERIFY(waitFor([](const AppState &s) { return s.level && s.hasError && s.soundError; }));
        QCOMPARE(state().level->id, std::int64_t(1));
        QVERIFY(errorScreen()->messageLabel()->text().startsWith(localized("soundOutputFailed")));
        m_delegate->shortcut(Command::cancel)->trigger(); // Close: back to the level
        QVERIFY(waitFor([](const AppState &s) { return !s.hasError; }));
        QTest::keyClick(m_delegate->window(), Qt::Key_Space);
        drainEvents();
        QVERIFY(!state().isPracticing && state().hasError);
        QCOMPARE(button("startStopSessionButton")->accessibleName(), localized("startSession"));
        QVERIFY(errorScreen()->messageLabel()->text().startsWith(localized("soundOutputFailed")));
        QVERIFY(!QFile::exists(levelFile(1)));
    }

    // However the event loop comes to an end (the desktop session quitting
    // the app, say), a running session is saved on the way out.
    void theEventLoopEndingKeepsTheAnswers()
    {
        seenTheTour();
        QVERIFY(start());
        click(button("startStopSessionButton"));
        QVERIFY(answerRight());
        QTimer::singleShot(0, qApp, []() { QCoreApplication::quit(); });
        QCoreApplication::exec();
        QCOMPARE(readAll(levelFile(1)).count('\n'), 1);
    }

    void anUnloadableFirstLevelLeavesAWayOn()
    {
        seenTheTour();
        QVERIFY(QDir().mkpath(levelFile(1)));
        QVERIFY(start());
        QVERIFY(state().hasError && !state().level);
        QVERIFY(errorScreen() && errorScreen()->isVisible());
        QCOMPARE(errorScreen()->messageLabel()->text(), QStringLiteral("Could not read %1: Is a directory").arg(levelFile(1)));

        // Another level: the navigation works under the error.
        QVERIFY(button("nextLevelButton")->isEnabled());
        click(button("nextLevelButton"));
        QVERIFY(waitFor([](const AppState &s) { return s.level && s.level->id == 2 && !s.hasError; }));
        QVERIFY(!errorScreen()->isVisible());
        click(button("startStopSessionButton"));
        QVERIFY(answerRight());
        QVERIFY(stop());
        QVERIFY(waitFor([](const AppState &s) { return !s.isPracticing && s.level && s.level->sessions.size() == 1; }));
        QCOMPARE(readAll(levelFile(2)).count('\n'), 1);

        // Back to the first: it fails again; once it is put right, Return tries again.
        click(button("previousLevelButton"));
        QVERIFY(waitFor([](const AppState &s) { return s.hasError && s.isInteractionEnabled; }));
        QPushButton *tryAgain = errorScreen()->tryAgainButton()->pushButton();
        QVERIFY(tryAgain->isVisible() && tryAgain->isEnabled());
        QCOMPARE(tryAgain->text(), localized("tryAgain"));
        QCOMPARE(tryAgain->toolTip(), localized("tryAgain") + QStringLiteral(" (Return)"));
        // A screen reader finds it as a button named by what it does.
        QAccessibleInterface *told = QAccessible::queryAccessibleInterface(tryAgain);
        QVERIFY(told);
        QCOMPARE(told->role(), QAccessible::Button);
        QCOMPARE(told->text(QAccessible::Name), localized("tryAgain"));
        QVERIFY(QDir().rmdir(levelFile(1)));
        QTest::keyClick(m_delegate->window(), Qt::Key_Return);
        QVERIFY(waitFor([](const AppState &s) { return s.level && s.level->id == 1 && !s.hasError; }));
        QVERIFY(!errorScreen()->isVisible());
    }

    // With neither the level's file nor the journal writable, the session
    // lives in memory: the error says it will be lost, and closing asks once;
    // a close after the folder is put right saves it and asks nothing.
    void closingAsksBeforeLosingASession()
    {
        seenTheTour();
        QVERIFY(start());
        QVERIFY(QDir().mkpath(levelFile(1)));
        writeAll(m_home->filePath(QStringLiteral("data")), "where the journal's folder goes");
        click(button("startStopSessionButton"));
        QVERIFY(answerRight());
        QVERIFY(stop());
        QVERIFY(waitFor([](const AppState &s) { return s.hasError; }));
        const QString message = errorScreen()->messageLabel()->text();
        QVERIFY2(message.endsWith(localized("sessionKeptInMemory").arg(
                     QStringLiteral("Could not create the folder %1: a file stands where the folder belongs.").arg(m_home->filePath(QStringLiteral("data"))))),
                 qPrintable(message));

        m_delegate->window()->close();
        QVERIFY(spinUntil([this] { return !m_confirmations.empty(); }));
        QCOMPARE(m_confirmations, std::vector<int>{1});
        drainEvents();
        QVERIFY(!m_exited && m_delegate->window()->isVisible());

        QVERIFY(QDir().rmdir(levelFile(1)));
        m_delegate->window()->close();
        QVERIFY(spinUntil([this] { return m_exited; }));
        QCOMPARE(m_confirmations, std::vector<int>{1});
        QCOMPARE(readAll(levelFile(1)).count('\n'), 1);
    }

    void aFailedPreferencesWriteIsShownOnce()
    {
        auto preferences = std::make_shared<UnkeptPreferences>();
        QVERIFY(start([preferences](EnvironmentSetup &setup) { setup.preferences = preferences; }));
        QVERIFY(waitFor([](const AppState &s) { return s.hasError; }));
        const QString shown = localized("preferencesNotSaved").arg(QStringLiteral("Could not save the settings file /x/lirra.json: no room."));
        QCOMPARE(errorScreen()->messageLabel()->text(), shown);
        QCOMPARE(m_logger->linesAt(LogLevel::error), QStringList{shown});
        // Practice goes on; the next writes fail quietly.
        click(button("nextLevelButton"));
        QVERIFY(waitFor([](const AppState &s) { return s.level && s.level->id == 2 && !s.hasError; }));
        QVERIFY(preferences->writes >= 2);
        QCOMPARE(m_logger->linesAt(LogLevel::error).size(), 1);
    }

    void aMissingInstrumentIsShown()
    {
        seenTheTour();
        QVERIFY(start([](EnvironmentSetup &setup) {
            setup.player.soundFont = QStringLiteral("/nonexistent/sound_font.sf2");
            setup.player.fallbackSoundFonts = {QStringLiteral("/nonexistent/default.sf2")};
        }));
        QVERIFY(state().hasError);
        // One plain sentence; the files and what is wrong with them behind "Details".
        QCOMPARE(errorScreen()->messageLabel()->text(), localized("instrumentFailed"));
        QVERIFY(errorScreen()->detailsButton()->isVisible() && !errorScreen()->detailsLabel()->isVisible());
        // Close is a button; Details a toggle a screen reader says is open or not.
        QAccessibleInterface *close = QAccessible::queryAccessibleInterface(errorScreen()->closeButton()->pushButton());
        QVERIFY(close && close->role() == QAccessible::Button);
        QCOMPARE(close->text(QAccessible::Name), localized("closeError"));
        QAccessibleInterface *details = QAccessible::queryAccessibleInterface(errorScreen()->detailsButton());
        QVERIFY(details && details->role() == QAccessible::CheckBox && !details->state().checked);
        QCOMPARE(QAccessible::queryAccessibleInterface(errorScreen()->detailsButton())->text(QAccessible::Name),
                 localized("showDetails"));
        errorScreen()->detailsButton()->click();
        QVERIFY(errorScreen()->detailsLabel()->isVisible());
        QVERIFY2(errorScreen()->detailsLabel()->text().contains(QLatin1String("/nonexistent/sound_font.sf2: there is no such file")),
                 qPrintable(errorScreen()->detailsLabel()->text()));
        QVERIFY(errorScreen()->detailsLabel()->geometry().bottom() < errorScreen()->keyboardView()->geometry().top() + 1);
        // A level can still be chosen, and a key that cannot sound says so again.
        click(button("nextLevelButton"));
        QVERIFY(waitFor([](const AppState &s) { return s.level && !s.hasError; }));
        clickKey(mainKeyboard(), state().level->notes.front());
        QVERIFY(waitFor([](const AppState &s) { return s.hasError; }));
        // Escape closes it: back to the level, which stays as it was.
        QVERIFY(errorScreen()->closeButton()->isVisible());
        const QString level = state().level->title();
        QVERIFY(m_delegate->shortcut(Command::cancel)->isEnabled());
        m_delegate->shortcut(Command::cancel)->trigger();
        QVERIFY(waitFor([](const AppState &s) { return !s.hasError; }));
        QCOMPARE(state().level->title(), level);
        QVERIFY(!errorScreen()->isVisible() && m_delegate->app()->main()->isVisible());
    }
};

LIRRA_TEST(NothingLostTest)
#include "nothing_lost_test.moc"
