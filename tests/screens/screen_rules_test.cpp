#include "support/keys.h"
#include "support/fakes.h"
#include "support/notes.h"
#include "support/test_registry.h"

#include "core/app_loop.h"
#include "model/generators.h"
#include "model/localization.h"
#include "screens/app.h"
#include "widgets/control.h"
#include "screens/main_screen.h"
#include "screens/error_screen.h"
#include "screens/modal_screens.h"
#include "widgets/accuracy_ring.h"
#include "widgets/progress_chart.h"
#include "widgets/keyboard.h"
#include "widgets/palette.h"
#include "widgets/title_bar.h"

#include <QTest>

#include <set>

using namespace lirra;
using namespace lirra::test;

class ScreenRulesTest : public QObject {
    Q_OBJECT

private slots:
    void mainScreenAppliesOnlyWhatChanged()
    {
        QWidget window; // tips need a window around their anchor
        auto *screen = new MainScreen(&window);
        screen->resize(860, 340);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        KeyboardView *keyboard = screen->keyboardView();
        MainScreenState state;
        state.activeNotes = notes("C1 D1 E1 F1");
        state.isKeyboardEnabled = true;
        screen->setState(state);
        QCOMPARE(keyboard->key(note(u"D1"))->text(), std::optional(QStringLiteral("Re")));
        QVERIFY(keyboard->key(note(u"F1"))->isEnabled() && !keyboard->key(note(u"G1"))->isEnabled());

        // The same key and notes again: texts and scroll stay as they are; the highlight moves.
        keyboard->scroll(note(u"A1"), false);
        keyboard->key(note(u"D1"))->setText(QStringLiteral("mine"));
        state.highlightedNote = Highlight{note(u"E1"), PaletteColor::red};
        screen->setState(state);
        state.highlightedNote = Highlight{note(u"F1"), PaletteColor::green};
        screen->setState(state);
        QCOMPARE(keyboard->key(note(u"D1"))->text(), std::optional(QStringLiteral("mine")));
        QCOMPARE(keyboard->scrollPosition(), keyboard->key(note(u"A1"))->x());
        QVERIFY(!keyboard->key(note(u"E1"))->fillColor());
        QCOMPARE(keyboard->key(note(u"F1"))->fillColor(), std::optional(color(PaletteColor::green)));
        state.activeNotes = notes("D1 C1 E1 F1"); // another order redoes the layout
        screen->setState(state);
        QCOMPARE(keyboard->key(note(u"D1"))->text(), std::optional(QStringLiteral("Re")));

        // A keyboard tip is presented once, and taken away when the tour moves on.
        state.tip = Tip{Tip::Target::keyboard, "Keys", "Click them.", "Next"};
        screen->setState(state);
        TipView *tip = keyboard->tipView();
        QVERIFY(tip);
        screen->setState(state);
        QCOMPARE(keyboard->tipView(), tip);
        state.tip = Tip{Tip::Target::titleView, "Level", "Its name.", "Next"};
        screen->setState(state);
        QVERIFY(!keyboard->tipView());

        // A locked keyboard sends nothing.
        int presses = 0;
        screen->delegate = MainScreenDelegate{[&](Note) { ++presses; }, [](Note) {}, [] {}};
        state.isKeyboardEnabled = false;
        screen->setState(state);
        clickKey(keyboard, note(u"C1"));
        QCOMPARE(presses, 0);
    }

    void levelEditorKeepsDoneInStepWithTheSelection()
    {
        auto player = std::make_shared<JournalNotePlayer>();
        LevelEditorScreen editor(player);
        editor.resize(860, 340);
        editor.show();
        QVERIFY(QTest::qWaitForWindowExposed(&editor));
        std::vector<Note> confirmed;
        editor.delegate = LevelEditorScreenDelegate{[] {}, [&](std::vector<Note> n) { confirmed = n; }};
        const std::vector<Note> offered = notes("C1 D1 E1 F1");
        editor.setState(LevelEditorScreenState{NoteName::c, offered, offered});
        QCOMPARE(editor.keyboardView()->key(note(u"C1"))->fillColor(), std::optional(color(PaletteColor::teal)));
        QVERIFY(!editor.keyboardView()->key(note(u"G1"))->isEnabled());
        for (const Note &n : offered)
            clickKey(editor.keyboardView(), n);
        QVERIFY(editor.selectedNotes().empty());
        QVERIFY(!editor.titleBar()->doneButton()->pushButton()->isEnabled());
        QCOMPARE(player->played, offered);
        click(editor.titleBar()->cancelButton()->pushButton());

        // Opened again with notes ticked, done is on again.
        editor.setState(std::nullopt);
        editor.setState(LevelEditorScreenState{NoteName::c, offered, notes("E1 C1")});
        QVERIFY(editor.titleBar()->doneButton()->pushButton()->isEnabled());
        click(editor.titleBar()->doneButton()->pushButton());
        QCOMPARE(confirmed, notes("E1 C1"));
        click(editor.titleBar()->cancelButton()->pushButton()); // cancel clears the marks
        QVERIFY(!editor.keyboardView()->key(note(u"E1"))->fillColor());
    }

    void appRefreshesAVisibleOverlayAndAlwaysClosesTheEditor()
    {
        AppEnvironment env;
        env.preferences = std::make_shared<MemoryPreferences>();
        env.preferences->setBool(true, PreferenceKey::hasSeenOnboarding);
        env.tipProvider = std::make_shared<ListTipProvider>();
        env.notePlayer = std::make_shared<JournalNotePlayer>();
        auto handler = std::make_shared<ScriptedEffectHandler>();
        AppLoop loop(env, AppState{}, [handler](const AppEnvironment &) { return handler; });
        App app(env, &loop);
        loop.delegate = AppLoopDelegate{[&app](const AppState &s) { app.update(s); }};
        app.view()->resize(860, 340);
        app.view()->show();
        QVERIFY(QTest::qWaitForWindowExposed(app.view()));

        Level level = DiatonicLevelGenerator().generateLevels()[0];
        level.sessions = {Session{1, {{note(u"C1"), Score{1, 1}}}}};
        loop.send(actions::didLoadLevel{level});
        loop.send(actions::didPressAccuracyRing{});
        QVERIFY(app.accuracy()->isVisible() && !app.main()->isVisible());
        Key *c1 = app.accuracy()->keyboardView()->key(note(u"C1"));
        QCOMPARE(c1->text(), std::optional(QStringLiteral("C\n") + percentText(0.5f)));
        // The level's name, set in from the window's edge.
        const Label *heading = app.accuracy()->messageLabel();
        QVERIFY(heading->isVisible() && !heading->text().isEmpty());
        QVERIFY(heading->contentsRect().left() >= 8 && heading->contentsRect().top() >= 4);
        // The level's history above the keys.
        ProgressChart *chart = app.accuracy()->progressChart();
        QVERIFY(chart->isVisible());
        QCOMPARE(chart->points(), (std::vector<ProgressPoint>{{1, 0.5, 1, 2}}));
        QCOMPARE(app.accuracy()->keyboardView()->y(), chart->geometry().bottom() + 1);
        loop.send(actions::didPressStartStopLevelButton{});
        loop.send(actions::didStartSession{Session{2, {{note(u"C1"), Score{3, 0}}}}});
        QCOMPARE(c1->text(), std::optional(QStringLiteral("C\n") + percentText(1.0f)));
        QCOMPARE(app.accuracy()->titleBar()->title(), std::optional(localized("sessionAccuracy")));
        // A session has no history: the keys come right under the level's name.
        QVERIFY(!chart->isVisible());
        QCOMPARE(app.accuracy()->messageLabel()->text(), QStringLiteral("C major · lower half · diatonic"));
        QCOMPARE(app.accuracy()->keyboardView()->y(), app.accuracy()->messageLabel()->geometry().bottom() + 1);

        // The error screen lies above an open overlay.
        loop.send(actions::errorOccurred{Error{{}, 0, QStringLiteral("broken")}});
        QWidget *top = app.view()->childAt(QPoint(430, 200));
        QVERIFY(app.errorScreen()->isAncestorOf(top) && app.accuracy()->isVisible());
        loop.send(actions::didDismissAccuracyScreen{});
        loop.send(actions::didPressStartStopLevelButton{});
        loop.send(actions::didLoadLevel{level});
        QVERIFY(!app.errorScreen()->isVisible() && app.main()->isVisible());

        // Confirming the editor closes it, even with the same notes.
        loop.send(actions::didPressConfigureLevelButton{});
        click(app.levelEditor()->titleBar()->doneButton()->pushButton());
        QVERIFY(!app.levelEditor()->isVisible() && !loop.state().isLevelEditorVisible);
        drainEvents();
    }

    void errorScreenKeysLightUpWhileHeld()
    {
        auto player = std::make_shared<JournalNotePlayer>();
        ErrorScreen screen(player);
        screen.resize(860, 340);
        screen.show();
        QVERIFY(QTest::qWaitForWindowExposed(&screen));
        std::set<QRgb> palette;
        for (PaletteColor c : ErrorScreen::colors())
            palette.insert(color(c).rgb());
        QCOMPARE(palette.size(), ErrorScreen::colors().size()); // no colour twice

        Key *c1 = screen.keyboardView()->key(note(u"C1"));
        Key *e1 = screen.keyboardView()->key(note(u"E1"));
        press(c1, keyPoint(c1));
        QVERIFY(palette.contains(c1->fillColor()->rgb()));
        QCOMPARE(c1->text(), std::optional(QStringLiteral("C")));
        const QColor held = *c1->fillColor();
        // A second key held meanwhile keeps its own colour and name.
        QTest::mousePress(e1, Qt::LeftButton, {}, keyPoint(e1).toPoint());
        QCOMPARE(*c1->fillColor(), held);
        release(c1, keyPoint(c1));
        QVERIFY(!c1->fillColor() && !c1->text() && e1->text());
        QCOMPARE(player->played, notes("C1 E1"));
    }
};

LIRRA_TEST(ScreenRulesTest)
#include "screen_rules_test.moc"
