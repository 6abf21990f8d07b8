#include "support/notes.h"
#include "support/test_registry.h"

#include "core/screen_states.h"
#include "model/generators.h"

#include <QTest>

using namespace lirra;
using namespace lirra::test;

class ScreenStatesTest : public QObject {
    Q_OBJECT

private slots:
    void enablingRules_data()
    {
        QTest::addColumn<bool>("interaction");
        QTest::addColumn<bool>("practising");
        QTest::addColumn<bool>("editor");
        QTest::addColumn<bool>("accuracyScreen");
        // previous/next/configure, start/stop, repeat, ring, keyboard
        QTest::addColumn<QString>("enabled");
        QTest::newRow("free play") << true << false << false << false << "navigation startStop ring keyboard";
        QTest::newRow("practising") << true << true << false << false << "startStop repeat ring keyboard";
        QTest::newRow("busy, free play") << false << false << false << false << "";
        QTest::newRow("busy, practising") << false << true << false << false << "";
        QTest::newRow("editor open") << true << false << true << false << "keyboard";
        QTest::newRow("accuracy open while practising") << true << true << false << true << "keyboard";
        QTest::newRow("both open, busy") << false << false << true << true << "";
    }
    void enablingRules()
    {
        QFETCH(bool, interaction);
        QFETCH(bool, practising);
        QFETCH(bool, editor);
        QFETCH(bool, accuracyScreen);
        QFETCH(QString, enabled);
        AppState state;
        state.isInteractionEnabled = interaction;
        state.isPracticing = practising;
        state.isLevelEditorVisible = editor;
        state.isAccuracyScreenVisible = accuracyScreen;
        const MainScreenState main = mainScreenState(state);
        QStringList seen;
        if (main.isPreviousButtonEnabled) {
            QVERIFY(main.isNextButtonEnabled && main.isConfigureButtonEnabled);
            seen << QStringLiteral("navigation");
        } else {
            QVERIFY(!main.isNextButtonEnabled && !main.isConfigureButtonEnabled);
        }
        if (main.isStartStopButtonEnabled)
            seen << QStringLiteral("startStop");
        if (main.isRepeatButtonEnabled)
            seen << QStringLiteral("repeat");
        if (main.isAccuracyRingEnabled)
            seen << QStringLiteral("ring");
        if (main.isKeyboardEnabled)
            seen << QStringLiteral("keyboard");
        QCOMPARE(seen.join(QLatin1Char(' ')), enabled);
        QCOMPARE(main.startStopButtonMode,
                 practising ? MainScreenState::StartStopMode::stop : MainScreenState::StartStopMode::start);
        QCOMPARE(main.isScoreLabelHidden, !practising);

        const NavBarState bar = navBarState(main);
        QCOMPARE(bar.isPreviousButtonEnabled, main.isPreviousButtonEnabled);
        QCOMPARE(bar.isRepeatButtonEnabled, main.isRepeatButtonEnabled);
        QCOMPARE(bar.isAccuracyRingEnabled, main.isAccuracyRingEnabled);
        QCOMPARE(bar.startStopButtonMode, main.startStopButtonMode);
    }

    void scoreText_data()
    {
        QTest::addColumn<qint64>("right");
        QTest::addColumn<qint64>("total");
        QTest::addColumn<bool>("practising");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("sentence"); // empty: absent
        QTest::newRow("no question yet") << 0ll << 0ll << true << "" << "";
        QTest::newRow("three of five") << 3ll << 5ll << true << "3 · 2 · 5" << "3 of 5 right";
        QTest::newRow("after the session") << 3ll << 5ll << false << "3 · 2 · 5" << "";
        QTest::newRow("all wrong") << 0ll << 4ll << true << "0 · 4 · 4" << "0 of 4 right";
    }
    void scoreText()
    {
        QFETCH(qint64, right);
        QFETCH(qint64, total);
        QFETCH(bool, practising);
        QFETCH(QString, text);
        QFETCH(QString, sentence);
        AppState state;
        state.correctIdentifications = right;
        state.questionsCount = total;
        state.isPracticing = practising;
        const MainScreenState main = mainScreenState(state);
        QVERIFY(main.scoreText.has_value());
        QCOMPARE(plainText(*main.scoreText), text);
        if (total >= 1) {
            QCOMPARE(main.scoreText->size(), size_t(5));
            QCOMPARE(main.scoreText->at(0).color, std::optional(PaletteColor::green));
            QCOMPARE(main.scoreText->at(1).color, std::nullopt);
            QCOMPARE(main.scoreText->at(2).color, std::optional(PaletteColor::red));
            QCOMPARE(main.scoreText->at(4).color, std::optional(PaletteColor::teal));
        }
        QCOMPARE(main.scoreAccessibilityText.value_or(QString()), sentence);
        QCOMPARE(main.scoreAccessibilityText.has_value(), !sentence.isEmpty());
    }

    void withoutALevel()
    {
        const AppState state;
        const MainScreenState main = mainScreenState(state);
        QCOMPARE(main.key, NoteName::c);
        QVERIFY(main.activeNotes.empty());
        QCOMPARE(levelEditorScreenState(state), LevelEditorScreenState{});
        QCOMPARE(accuracyScreenState(state).context, AccuracyScreenState::Context::level);
        QVERIFY(accuracyScreenState(state).activeNotes.empty());
    }

    void overlayRecords()
    {
        AppState state;
        const Level base = DiatonicLevelGenerator::makeLevel(135, NoteName::g, true, false, NoteRange::entireOctave);
        Level custom = base;
        custom.isCustom = true;
        custom.notes = notes("B1 G1");
        state.baseLevel = base;
        state.level = custom;
        state.accuracyPerNote = {{note(u"G1"), 0.5}};
        state.highlightedNote = Highlight{note(u"B1"), PaletteColor::green};
        state.currentTip = Tip{Tip::Target::keyboard, QStringLiteral("t"), QStringLiteral("m"), QStringLiteral("a")};

        const LevelEditorScreenState editor = levelEditorScreenState(state);
        QCOMPARE(editor.key, NoteName::g);
        QCOMPARE(editor.allNotes, base.notes);
        QCOMPARE(editor.selectedNotes, notes("B1 G1"));

        AccuracyScreenState accuracy = accuracyScreenState(state);
        QCOMPARE(accuracy.context, AccuracyScreenState::Context::level);
        QCOMPARE(accuracy.activeNotes, notes("B1 G1"));
        QCOMPARE(accuracy.accuracyPerNote, state.accuracyPerNote);
        state.session = Session{};
        QCOMPARE(accuracyScreenState(state).context, AccuracyScreenState::Context::session);

        const MainScreenState main = mainScreenState(state);
        QCOMPARE(main.activeNotes, notes("B1 G1"));
        QCOMPARE(main.highlightedNote, state.highlightedNote);
        QCOMPARE(main.tip, state.currentTip);
    }
};

LIRRA_TEST(ScreenStatesTest)
#include "screen_states_test.moc"
