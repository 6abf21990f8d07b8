#include "support/app_window.h"
#include "support/fakes.h"
#include "support/files.h"
#include "support/keys.h"
#include "support/notes.h"
#include "support/test_registry.h"

#include "core/app_loop.h"
#include "model/localization.h"
#include "screens/app.h"
#include "screens/app_delegate.h"
#include "screens/error_screen.h"
#include "screens/main_screen.h"
#include "screens/modal_screens.h"
#include "storage/file_session_storage.h"
#include "storage/settings_preferences.h"
#include "widgets/accuracy_ring.h"
#include "widgets/control.h"
#include "widgets/keyboard.h"
#include "widgets/palette.h"
#include "widgets/title_bar.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

using namespace lirra;
using namespace lirra::test;

class AppEndToEndTest : public QObject, private AppWindowFixture {
    Q_OBJECT

private:
    // The mouse is this suite's only input.
    bool start()
    {
        return launch(withoutMidi());
    }
    KeyboardView *mainKeyboard() { return m_delegate->app()->main()->keyboardView(); }

private slots:
    void init() { newHome(); }
    void cleanup() { closeApp(); }

    void practiseThroughTheWindow()
    {
        SettingsPreferences(m_home->filePath(QStringLiteral("lirra.json"))).setBool(true, PreferenceKey::hasSeenOnboarding);
        QVERIFY(start());
        QMainWindow *window = m_delegate->window();
        QCOMPARE(window->windowTitle(), QStringLiteral("C major · lower half · diatonic — Lirra"));
        QCOMPARE(window->centralWidget()->size(), QSize(860, 340));
        QVERIFY(!state().currentTip && !m_delegate->scoreLabel()->isVisible());

        // Start with the toolbar button; the cadence and the note play, then the keys open.
        QVERIFY(button("startStopSessionButton")->isEnabled());
        click(button("startStopSessionButton"));
        QVERIFY(waitFor([](const AppState &s) { return s.question && s.isInteractionEnabled; }));
        QCOMPARE(button("startStopSessionButton")->toolTip(), localized("stopSession") + QStringLiteral(" (Space)"));
        QVERIFY(!button("nextLevelButton")->isEnabled() && button("repeatButton")->isEnabled());

        // A wrong key turns red and the question stays.
        const Question first = *state().question;
        const Note wrong = first.answer == note(u"C1") ? note(u"D1") : note(u"C1");
        clickKey(mainKeyboard(), wrong);
        QCOMPARE(mainKeyboard()->key(wrong)->fillColor(), std::optional(color(PaletteColor::red)));
        QVERIFY(waitFor([](const AppState &s) { return s.isInteractionEnabled; }));
        QCOMPARE(state().question, std::optional(first));

        // The right key: the resolution lights up green, one key at a time.
        std::vector<Note> litInTurn;
        const auto watch = connect(m_delegate.get(), &AppDelegate::stateShown, this, [&](const AppState &) {
            std::vector<Note> green;
            for (std::uint8_t octave : {1, 2}) {
                for (NoteName name : allNoteNames) {
                    if (mainKeyboard()->key(Note{name, octave})->fillColor() == color(PaletteColor::green))
                        green.push_back(Note{name, octave});
                }
            }
            QVERIFY(green.size() <= 1);
            if (!green.empty() && (litInTurn.empty() || litInTurn.back() != green.front()))
                litInTurn.push_back(green.front());
        });
        clickKey(mainKeyboard(), first.answer);
        QVERIFY(waitFor([&](const AppState &s) { return s.question && s.question->id != first.id && s.isInteractionEnabled; }));
        disconnect(watch);
        QCOMPARE(litInTurn, first.resolution);
        QVERIFY(m_delegate->scoreLabel()->isVisible());
        QVERIFY(m_delegate->scoreLabel()->text().contains(color(PaletteColor::red).name()));

        // The next one right at once: the score and the ring follow.
        const Question second = *state().question;
        clickKey(mainKeyboard(), second.answer);
        QVERIFY(waitFor([&](const AppState &s) { return s.question && s.question->id != second.id && s.isInteractionEnabled; }));
        QCOMPARE(m_delegate->scoreLabel()->toolTip(), QStringLiteral("1 right · 1 wrong · 2 questions"));
        QCOMPARE(m_delegate->accuracyRing()->text(), percentText(0.5f));
        QCOMPARE(m_delegate->accuracyRing()->toolTip(), localized("accuracyInSessionWithCTA") + QStringLiteral(" (I)"));

        // The ring opens the accuracy screen: the answered keys show their
        // percentages, and the first question's note what it was taken for.
        click(m_delegate->accuracyRing());
        QVERIFY(state().isAccuracyScreenVisible);
        AccuracyScreen *accuracy = m_delegate->app()->accuracy();
        QVERIFY(accuracy->isVisible());
        for (const auto &[n, value] : state().accuracyPerNote) {
            QString expected = localizedName(n.name) + QLatin1Char('\n') + percentText(float(value));
            if (n == first.answer)
                expected += QLatin1Char('\n') + localized("heardAs").arg(localizedName(wrong.name));
            QCOMPARE(accuracy->keyboardView()->key(n)->text(), std::optional(expected));
        }
        click(accuracy->titleBar()->doneButton()->pushButton());
        QVERIFY(!accuracy->isVisible());

        // Stop: the session is in the level's file.
        click(button("startStopSessionButton"));
        QVERIFY(waitFor([](const AppState &s) { return !s.isPracticing && s.level && !s.level->sessions.empty(); }));
        QVERIFY(!m_delegate->scoreLabel()->isVisible());
        QFile file(m_home->filePath(QStringLiteral("Documents/lirra_sessions/sessions_1.txt")));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll().count('\n'), 1);

        // The level editor: take one note away, confirm, and the level is custom.
        click(button("configureLevelButton"));
        LevelEditorScreen *editor = m_delegate->app()->levelEditor();
        QVERIFY(editor->isVisible());
        clickKey(editor->keyboardView(), note(u"F1"));
        QCOMPARE(editor->selectedNotes(), notes("C1 D1 E1"));
        click(editor->titleBar()->doneButton()->pushButton());
        QVERIFY(waitFor([](const AppState &s) { return s.level && s.level->isCustom; }));
        QVERIFY(!editor->isVisible());
        QCOMPARE(window->windowTitle(), QStringLiteral("C major * · C D E — Lirra"));
        QVERIFY(!mainKeyboard()->key(note(u"F1"))->isEnabled());

        // The session files cannot be reached: the error screen comes to the top, still playable.
        const QString folder = m_home->filePath(QStringLiteral("Documents/lirra_sessions"));
        QVERIFY(QDir(folder).removeRecursively());
        QFile blocker(folder);
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        click(button("nextLevelButton"));
        QVERIFY(waitFor([](const AppState &s) { return s.hasError; }));
        ErrorScreen *error = m_delegate->app()->errorScreen();
        QVERIFY(error->isVisible() && !m_delegate->app()->main()->isVisible());
        QCOMPARE(error->titleBar()->title(), std::optional(localized("anErrorOccurred")));
        Key *key = error->keyboardView()->key(note(u"G1"));
        error->keyboardView()->scroll(note(u"G1"), false);
        press(key, keyPoint(key));
        QVERIFY(key->fillColor().has_value());
        QCOMPARE(key->text(), std::optional(QStringLiteral("G")));
        release(key, keyPoint(key));
        QVERIFY(!key->fillColor() && !key->text());
    }

    void aFailedSaveIsKeptThroughTheWindow()
    {
        SettingsPreferences(m_home->filePath(QStringLiteral("lirra.json"))).setBool(true, PreferenceKey::hasSeenOnboarding);
        QVERIFY(start());
        const auto answerOne = [this]() {
            // A failed stop leaves its last question in the state until the next one loads.
            const QUuid asked = state().question ? state().question->id : QUuid();
            click(button("startStopSessionButton"));
            QVERIFY(waitFor([&](const AppState &s) { return s.question && s.question->id != asked && s.isInteractionEnabled; }));
            const Question question = *state().question;
            clickKey(mainKeyboard(), question.answer);
            QVERIFY(waitFor([&](const AppState &s) { return s.question && s.question->id != question.id && s.isInteractionEnabled; }));
        };
        answerOne();
        const Session first = *state().session;

        // The level's file cannot be opened: the error screen says so, and says the session is kept.
        const QString file = m_home->filePath(QStringLiteral("Documents/lirra_sessions/sessions_1.txt"));
        QVERIFY(QDir().mkpath(file));
        click(button("startStopSessionButton"));
        QVERIFY(waitFor([](const AppState &s) { return s.hasError; }));
        ErrorScreen *error = m_delegate->app()->errorScreen();
        Label *message = error->messageLabel();
        QVERIFY(error->isVisible() && message->isVisible());
        QCOMPARE(message->text(), QStringLiteral("Could not write to %1: Is a directory. %2").arg(file, localized("sessionKept")));
        // Under the title bar, above the keyboard, tall enough for its wrapped lines.
        QCOMPARE(message->y(), error->titleBar()->geometry().bottom() + 1);
        QCOMPARE(error->keyboardView()->y(), message->geometry().bottom() + 1);
        QVERIFY(message->height() >= message->heightForWidth(message->width()));
        QCOMPARE(error->keyboardView()->geometry().bottom(), error->height() - 1);

        // The next session of the level is saved after the kept one.
        QVERIFY(QDir().rmdir(file));
        answerOne();
        QVERIFY(!state().hasError && !error->isVisible());
        const Session second = *state().session;
        click(button("startStopSessionButton"));
        QVERIFY(waitFor([](const AppState &s) { return !s.isPracticing && s.level && s.level->sessions.size() == 2; }));
        QCOMPARE(readAll(file), FileSessionStorage::formatLine(first) + FileSessionStorage::formatLine(second));
    }

    void theTourRunsOnceToItsEnd()
    {
        QVERIFY(start());
        int shown = 0;
        while (state().currentTip) {
            const Tip tip = *state().currentTip;
            // The tour holds the controls; its bubble is the way on.
            QVERIFY(!button("startStopSessionButton")->isEnabled());
            QVERIFY(!mainKeyboard()->acceptsInteraction());
            TipView *bubble = tip.target == Tip::Target::keyboard ? mainKeyboard()->tipView() : m_delegate->toolbarTip();
            QVERIFY2(bubble && bubble->isVisible(), qPrintable(tip.title));
            QCOMPARE(bubble->title(), tip.title);
            QVERIFY2(QRectF(m_delegate->window()->rect()).contains(bubble->bubbleRect()), qPrintable(tip.title));
            if (tip.target == Tip::Target::accuracyRing) {
                const QRect ring(m_delegate->accuracyRing()->mapTo(m_delegate->window(), QPoint(0, 0)),
                                 m_delegate->accuracyRing()->size());
                QVERIFY(std::abs(bubble->frame().top() - (ring.bottom() + 1 + 8)) <= 1);
            }
            click(bubble->button()->pushButton());
            ++shown;
            QVERIFY(shown <= 12);
        }
        QCOMPARE(shown, 12);
        QVERIFY(state().isInteractionEnabled && button("startStopSessionButton")->isEnabled());
        QVERIFY(!m_delegate->toolbarTip());
        QVERIFY(SettingsPreferences(m_home->filePath(QStringLiteral("lirra.json"))).boolean(PreferenceKey::hasSeenOnboarding));

        // The next start shows no tour.
        m_delegate.reset();
        QVERIFY(start());
        QVERIFY(!state().currentTip && !m_delegate->toolbarTip());
        QVERIFY(button("startStopSessionButton")->isEnabled());
    }
};

LIRRA_TEST(AppEndToEndTest)
#include "app_end_to_end_test.moc"
