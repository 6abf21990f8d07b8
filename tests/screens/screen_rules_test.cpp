#include "support/clicks.h"
#include "support/fakes.h"
#include "support/notes.h"
#include "support/test_registry.h"

#include "core/app_loop.h"
#include "model/localization.h"
#include "model/generators.h"
#include "screens/app.h"
#include "screens/main_screen.h"
#include "screens/modal_screens.h"
#include "widgets/accuracy_ring.h"
#include "widgets/keyboard.h"
#include "widgets/palette.h"
#include "widgets/title_bar.h"

#include <QTest>

#include <set>

using namespace lirra;
using namespace lirra::test;

namespace {

MainScreenState practiceState(const char *activeNotes)
{
    MainScreenState state;
    state.key = NoteName::c;
    state.activeNotes = notes(QString::fromLatin1(activeNotes));
    state.isKeyboardEnabled = true;
    return state;
}

QPointF keyPoint(Key *key)
{
    return isBlackKey(key->name()) ? QRectF(key->rect()).center() : QPointF(key->width() / 2.0, key->height() * 0.85);
}

} // namespace

class ScreenRulesTest : public QObject {
    Q_OBJECT

private slots:
    void mainScreenAppliesOnlyWhatChanged()
    {
        MainScreen screen;
        screen.resize(860, 340);
        screen.show();
        QVERIFY(QTest::qWaitForWindowExposed(&screen));
        KeyboardView *keyboard = screen.keyboardView();
        MainScreenState state = practiceState("C1 D1 E1 F1");
        screen.setState(state);
        QCOMPARE(keyboard->key(note(u"D1"))->text(), std::optional(QStringLiteral("Re")));
        QVERIFY(keyboard->key(note(u"F1"))->isEnabled());
        QVERIFY(!keyboard->key(note(u"G1"))->isEnabled());

        // The same key and notes again: enablement, texts and scroll stay as they are.
        QTRY_COMPARE(keyboard->scrollPosition(), 0);
        keyboard->scroll(note(u"A1"), false);
        keyboard->key(note(u"D1"))->setText(QStringLiteral("mine"));
        state.highlightedNote = Highlight{note(u"E1"), PaletteColor::amber};
        screen.setState(state);
        QCOMPARE(keyboard->key(note(u"D1"))->text(), std::optional(QStringLiteral("mine")));
        QCOMPARE(keyboard->scrollPosition(), keyboard->key(note(u"A1"))->x());
        QCOMPARE(keyboard->key(note(u"E1"))->fillColor(), std::optional(color(PaletteColor::amber)));

        // The highlight moves; the same note tinted again keeps its new colour.
        state.highlightedNote = Highlight{note(u"E1"), PaletteColor::red};
        screen.setState(state);
        QCOMPARE(keyboard->key(note(u"E1"))->fillColor(), std::optional(color(PaletteColor::red)));
        state.highlightedNote = Highlight{note(u"F1"), PaletteColor::green};
        screen.setState(state);
        QVERIFY(!keyboard->key(note(u"E1"))->fillColor());
        QCOMPARE(keyboard->key(note(u"F1"))->fillColor(), std::optional(color(PaletteColor::green)));

        // Another order of the same notes redoes the layout.
        state.activeNotes = notes("D1 C1 E1 F1");
        screen.setState(state);
        QCOMPARE(keyboard->key(note(u"D1"))->text(), std::optional(QStringLiteral("Re")));

        // A locked keyboard sends nothing.
        int presses = 0;
        screen.delegate = MainScreenDelegate{[&](Note) { ++presses; }, [](Note) {}, [] {}};
        state.isKeyboardEnabled = false;
        screen.setState(state);
        keyboard->scroll(note(u"C1"), false);
        click(keyboard->key(note(u"C1")), keyPoint(keyboard->key(note(u"C1"))));
        QCOMPARE(presses, 0);
        state.isKeyboardEnabled = true;
        screen.setState(state);
        click(keyboard->key(note(u"C1")), keyPoint(keyboard->key(note(u"C1"))));
        QCOMPARE(presses, 1);
    }

    void keyboardTipIsShownOnceAndTakenAwayWhenTheTourMovesOn()
    {
        MainScreen screen;
        screen.resize(860, 340);
        screen.show();
        QVERIFY(QTest::qWaitForWindowExposed(&screen));
        QWidget host; // tips need a window around their anchor
        MainScreenState state = practiceState("C1 D1 E1 F1");
        state.tip = Tip{Tip::Target::keyboard, QStringLiteral("Keys"), QStringLiteral("Click them."), QStringLiteral("Next")};
        screen.setState(state);
        TipView *first = screen.keyboardView()->tipView();
        QVERIFY(first);
        screen.setState(state);
        QCOMPARE(screen.keyboardView()->tipView(), first);
        state.tip = Tip{Tip::Target::titleView, QStringLiteral("Level"), QStringLiteral("Its name."), QStringLiteral("Next")};
        screen.setState(state);
        QVERIFY(!screen.keyboardView()->tipView());
    }

    void levelEditorKeepsDoneInStepWithTheSelection()
    {
        auto player = std::make_shared<JournalNotePlayer>();
        LevelEditorScreen editor(player);
        editor.resize(860, 340);
        editor.show();
        QVERIFY(QTest::qWaitForWindowExposed(&editor));
        std::vector<std::vector<Note>> confirmed;
        int cancelled = 0;
        editor.delegate = LevelEditorScreenDelegate{[&] { ++cancelled; }, [&](std::vector<Note> n) { confirmed.push_back(n); }};
        const Level level = DiatonicLevelGenerator().generateLevels()[0];
        editor.setState(LevelEditorScreenState{NoteName::c, level.notes, level.notes});
        QVERIFY(editor.titleBar()->doneButton()->pushButton()->isEnabled());
        QVERIFY(!editor.keyboardView()->key(note(u"G1"))->isEnabled());
        QCOMPARE(editor.keyboardView()->key(note(u"C1"))->fillColor(), std::optional(color(PaletteColor::teal)));

        // Clicking every selected key empties the selection and disables done.
        for (const Note &n : level.notes) {
            editor.keyboardView()->scroll(n, false);
            click(editor.keyboardView()->key(n), keyPoint(editor.keyboardView()->key(n)));
        }
        QVERIFY(editor.selectedNotes().empty());
        QVERIFY(!editor.titleBar()->doneButton()->pushButton()->isEnabled());
        QCOMPARE(player->played, level.notes);
        click(editor.titleBar()->cancelButton()->pushButton());
        QCOMPARE(cancelled, 1);

        // Opened again with notes ticked, done is on again.
        editor.setState(std::nullopt);
        editor.setState(LevelEditorScreenState{NoteName::c, level.notes, notes("E1 C1")});
        QVERIFY(editor.titleBar()->doneButton()->pushButton()->isEnabled());
        click(editor.titleBar()->doneButton()->pushButton());
        QCOMPARE(confirmed, std::vector<std::vector<Note>>{notes("E1 C1")});

        // Cancel clears the marks before it reports.
        click(editor.titleBar()->cancelButton()->pushButton());
        QVERIFY(!editor.keyboardView()->key(note(u"E1"))->fillColor());
    }

    void appStacksAndRefreshesTheScreens()
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
        QWidget *view = app.view();
        view->resize(860, 340);
        view->show();
        QVERIFY(QTest::qWaitForWindowExposed(view));

        Level level = DiatonicLevelGenerator().generateLevels()[0];
        level.sessions = {Session{1, {{note(u"C1"), Score{1, 1}}}}};
        loop.send(actions::didLoadLevel{level});
        QVERIFY(app.main()->isVisible() && !app.accuracy()->isVisible());

        // A visible accuracy screen is redrawn on every state.
        loop.send(actions::didPressAccuracyRing{});
        QVERIFY(app.accuracy()->isVisible() && !app.main()->isVisible());
        KeyboardView *keys = app.accuracy()->keyboardView();
        QCOMPARE(keys->key(note(u"C1"))->text(), std::optional(QStringLiteral("C ") + percentText(0.5f)));
        loop.send(actions::didPressStartStopLevelButton{});
        loop.send(actions::didStartSession{Session{2, {{note(u"C1"), Score{3, 0}}}}});
        QCOMPARE(keys->key(note(u"C1"))->text(), std::optional(QStringLiteral("C ") + percentText(1.0f)));
        QCOMPARE(app.accuracy()->titleBar()->title(), std::optional(localized("sessionAccuracy")));

        // The error screen covers everything while an error stands.
        loop.send(actions::errorOccurred{Error{{}, 0, QStringLiteral("broken")}});
        QVERIFY(app.errorScreen()->isVisible() && app.accuracy()->isVisible() && !app.main()->isVisible());
        QCOMPARE(view->childAt(view->rect().center())->window(), view);
        QWidget *top = view->childAt(QPoint(430, 200));
        QVERIFY(top == app.errorScreen() || app.errorScreen()->isAncestorOf(top));
        click(app.accuracy()->titleBar()->doneButton()->pushButton()); // hidden beneath: not reachable
        loop.send(actions::didDismissAccuracyScreen{});
        loop.send(actions::didLoadLevel{level});
        QVERIFY(!app.errorScreen()->isVisible() && app.main()->isVisible());

        // Confirming the editor always closes it, even with the same notes.
        loop.send(actions::didPressStartStopLevelButton{});
        loop.send(actions::didPressConfigureLevelButton{});
        QVERIFY(app.levelEditor()->isVisible());
        click(app.levelEditor()->titleBar()->doneButton()->pushButton());
        QVERIFY(!app.levelEditor()->isVisible());
        QVERIFY(!loop.state().isLevelEditorVisible);
        drainEvents();
    }

    void errorScreenKeysLightUpWhileHeld()
    {
        auto player = std::make_shared<JournalNotePlayer>();
        ErrorScreen screen(player);
        screen.resize(860, 340);
        screen.show();
        QVERIFY(QTest::qWaitForWindowExposed(&screen));
        screen.setError(std::nullopt);
        QVERIFY(!screen.titleBar()->title());
        screen.setError(Error{{}, 0, QStringLiteral("x")});
        QCOMPARE(screen.titleBar()->title(), std::optional(localized("anErrorOccurred")));
        QVERIFY(!screen.titleBar()->cancelButton()->isVisible() && !screen.titleBar()->doneButton()->isVisible());

        std::set<QRgb> palette;
        for (PaletteColor c : ErrorScreen::colors())
            palette.insert(color(c).rgb());
        QCOMPARE(palette.size(), ErrorScreen::colors().size()); // no colour twice

        KeyboardView *keys = screen.keyboardView();
        Key *c1 = keys->key(note(u"C1"));
        Key *e1 = keys->key(note(u"E1"));
        press(c1, keyPoint(c1));
        QVERIFY(palette.contains(c1->fillColor()->rgb()));
        QCOMPARE(c1->text(), std::optional(QStringLiteral("C")));
        const QColor held = *c1->fillColor();
        // A second key held meanwhile keeps its own colour and name.
        QTest::mousePress(e1, Qt::LeftButton, {}, keyPoint(e1).toPoint());
        QCOMPARE(e1->text(), std::optional(QStringLiteral("E")));
        QCOMPARE(*c1->fillColor(), held);
        release(c1, keyPoint(c1));
        QVERIFY(!c1->fillColor() && !c1->text());
        QVERIFY(e1->fillColor());
        QCOMPARE(player->played, notes("C1 E1"));
    }
};

LIRRA_TEST(ScreenRulesTest)
#include "screen_rules_test.moc"
