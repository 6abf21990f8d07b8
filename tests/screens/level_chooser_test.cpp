#include "support/app_window.h"
#include "support/files.h"
#include "support/keys.h"
#include "support/test_registry.h"

#include "model/generators.h"
#include "model/level_labels.h"
#include "screens/app.h"
#include "screens/level_chooser.h"
#include "screens/main_screen.h"
#include "screens/modal_screens.h"
#include "screens/save_level_bar.h"
#include "storage/saved_levels.h"
#include "storage/settings_preferences.h"
#include "widgets/control.h"
#include "widgets/keyboard.h"

#include <QAccessible>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeView>

using namespace lirra;
using namespace lirra::test;

// The list of every level and the levels of the user's own, driven from the
// keyboard in the real window.
class LevelChooserTest : public QObject, private AppWindowFixture {
    Q_OBJECT

private:
    bool start()
    {
        SettingsPreferences(m_home->filePath(QStringLiteral("lirra.json"))).setBool(true, PreferenceKey::hasSeenOnboarding);
        if (!launch(withoutMidi()))
            return false;
        m_delegate->app()->askLevelName = [this](const QString &suggested) {
            m_suggested = suggested;
            return std::optional(m_nextName);
        };
        return true;
    }
    void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        // To the window, as a user's keys reach it once the list is closed
        // and the window is active again (which the platform makes so later).
        if (!chooserOpen())
            spinUntil([&] { return QApplication::activeWindow() == m_delegate->window(); }, 5000);
        QWidget *target = QApplication::focusWidget();
        if (!target || target->window() != m_delegate->window())
            target = m_delegate->window();
        QTest::keyClick(target, Qt::Key(key), modifiers);
        drainEvents();
    }
    LevelChooser *chooser() { return m_delegate->app()->builtLevelChooser(); }
    bool chooserOpen() { return chooser() && chooser()->isVisible(); }
    QString sessions() const { return m_home->filePath(QStringLiteral("Documents/lirra_sessions")); }
    // Answers the question asked with its own note.
    bool answerRightly()
    {
        if (!waitFor([](const AppState &s) { return s.question && s.isInteractionEnabled; }))
            return false;
        const Note answer = state().question->answer;
        m_delegate->app()->pressNote(answer);
        m_delegate->app()->releaseNote(answer);
        return waitFor([](const AppState &s) { return s.questionsCount >= 1 && !s.pendingAnswer; });
    }

    QString m_suggested;
    QString m_nextName;

private slots:
    void init() { newHome(); }
    void cleanup() { closeApp(); }

    // Ctrl+G, a few letters, Return: the level is loaded through the loop.
    // The list shows the history of the question length practised: a
    // level's melodies and its single notes each have their own figures.
    void figuresOfTheLengthPractised()
    {
        QDir().mkpath(sessions());
        writeAll(sessions() + QStringLiteral("/sessions_1.txt"), "1733472000;c:1:4:0\n");
        writeAll(sessions() + QStringLiteral("/sessions_1_n3.txt"), "1733472100;c:1:1:3\n");
        writeAll(sessions() + QStringLiteral("/chords_1.txt"), "1733472200;c:1:3:2\n");
        SettingsPreferences preferences(m_home->filePath(QStringLiteral("lirra.json")));
        preferences.setInteger(3, PreferenceKey::melodyLength);
        preferences.sync();
        QVERIFY(start());
        QCOMPARE(state().level->questionLength, 3);
        const auto figureOfLevelOne = [&]() {
            press(Qt::Key_G, Qt::ControlModifier);
            if (!spinUntil([&] { return chooserOpen(); }, 5000))
                return QStringList();
            const QModelIndex row = chooser()->model()->index(*chooser()->model()->rowOf(1), 0);
            const QStringList seen{row.data(Qt::AccessibleTextRole).toString(),
                                   row.siblingAtColumn(LevelListModel::accuracyColumn).data(Qt::AccessibleTextRole).toString()};
            chooser()->reject();
            waitFor([](const AppState &s) { return !s.isLevelChooserVisible; });
            return seen;
        };
        QStringList melodies = figureOfLevelOne();
        QCOMPARE(melodies.value(0), QStringLiteral("C major · lower half · diatonic · melodies of 3"));
        QVERIFY2(melodies.value(1).contains(QStringLiteral("25")), qPrintable(melodies.join(" | ")));
        for (int i = 0; i < 3; ++i) // 4, 5, then one note
            press(Qt::Key_M, Qt::ControlModifier);
        QVERIFY(waitFor([](const AppState &s) { return s.level && s.level->questionLength == 1 && s.isInteractionEnabled; }));
        QStringList single = figureOfLevelOne();
        QCOMPARE(single.value(0), QStringLiteral("C major · lower half · diatonic"));
        QVERIFY2(single.value(1).contains(QStringLiteral("100")), qPrintable(single.join(" | ")));
        // Chords: their own figures, 3 of 5.
        press(Qt::Key_K, Qt::ControlModifier);
        QVERIFY(waitFor([](const AppState &s) { return s.level && s.level->questionKind == QuestionKind::chord && s.isInteractionEnabled; }));
        QStringList chords = figureOfLevelOne();
        QCOMPARE(chords.value(0), QStringLiteral("C major · lower half · diatonic · chords"));
        QVERIFY2(chords.value(1).contains(QStringLiteral("60")), qPrintable(chords.join(" | ")));
    }

    void chooseByTyping()
    {
        QVERIFY(start());
        QCOMPARE(state().level->id, std::int64_t(1));
        QWidget *button = m_delegate->toolbarItem(QStringLiteral("chooseLevelButton"));
        QVERIFY(button && button->isEnabled());
        QAccessibleInterface *told = QAccessible::queryAccessibleInterface(button);
        QVERIFY(told && told->role() == QAccessible::Button);
        QCOMPARE(told->text(QAccessible::Name), QStringLiteral("Choose a level"));
        QVERIFY(button->toolTip().contains(QKeySequence(Qt::CTRL | Qt::Key_G).toString(QKeySequence::NativeText)));
        press(Qt::Key_G, Qt::ControlModifier);
        QVERIFY(waitFor([](const AppState &s) { return s.isLevelChooserVisible; }));
        QVERIFY(spinUntil([&] { return chooserOpen(); }, 5000));
        // It opens on the current level, the filter ready for typing.
        QCOMPARE(chooser()->selectedLevelId(), std::optional<std::int64_t>(1));
        QVERIFY(spinUntil([&] { return chooser()->filterField()->hasFocus(); }, 5000));
        QVERIFY(!button->isEnabled());
        for (QWidget *control : std::initializer_list<QWidget *>{chooser()->filterField(), chooser()->list()}) {
            QAccessibleInterface *seen = QAccessible::queryAccessibleInterface(control);
            QVERIFY(seen && !seen->text(QAccessible::Name).isEmpty());
        }

        // Every list of notes fits whole: a whole chromatic octave too.
        const int notesWidth = chooser()->list()->header()->sectionSize(LevelListModel::notesColumn);
        for (const Level &level : DiatonicLevelGenerator().generateLevels())
            QVERIFY(chooser()->list()->fontMetrics().horizontalAdvance(notesText(level)) < notesWidth);
        // Home and End from the filter go to the first and the last level.
        QTest::keyClick(chooser()->filterField(), Qt::Key_End);
        QCOMPARE(chooser()->selectedLevelId(), std::optional<std::int64_t>(144));
        QTest::keyClick(chooser()->filterField(), Qt::Key_Home);
        QCOMPARE(chooser()->selectedLevelId(), std::optional<std::int64_t>(1));
        // Nothing found: said, with how the words were read.
        QTest::keyClicks(chooser()->filterField(), QStringLiteral("f sharp dorian"));
        QCOMPARE(chooser()->model()->levelCount(), 0);
        QVERIFY(chooser()->nothingFoundLabel()->isVisible());
        QVERIFY2(chooser()->nothingFoundLabel()->text().contains(QStringLiteral("F♯, dorian")),
                 qPrintable(chooser()->nothingFoundLabel()->text()));
        QCOMPARE(QAccessible::queryAccessibleInterface(chooser()->filterField())->text(QAccessible::Description),
                 chooser()->nothingFoundLabel()->text());
        chooser()->filterField()->clear();
        QVERIFY(!chooser()->nothingFoundLabel()->isVisible());

        QTest::keyClicks(chooser()->filterField(), QStringLiteral("a minor upper"));
        QCOMPARE(chooser()->model()->levelCount(), 2);
        // A row reads out whole: key, mode, range, kind; its figures too.
        const QModelIndex row = chooser()->model()->index(*chooser()->model()->rowOf(*chooser()->selectedLevelId()), 0);
        QCOMPARE(row.data(Qt::AccessibleTextRole).toString(), QStringLiteral("A minor · upper half · diatonic"));
        QCOMPARE(row.siblingAtColumn(LevelListModel::accuracyColumn).data(Qt::AccessibleTextRole).toString(),
                 QStringLiteral("no answers yet"));
        QVERIFY(chooser()->selectedLevelId()); // the first found
        const std::int64_t first = *chooser()->selectedLevelId();
        QTest::keyClick(chooser()->filterField(), Qt::Key_Down);
        const std::int64_t second = *chooser()->selectedLevelId();
        QVERIFY(second != first);
        QTest::keyClick(chooser()->filterField(), Qt::Key_Return);
        QVERIFY(waitFor([&](const AppState &s) { return s.level && s.level->id == second; }));
        QVERIFY(!chooserOpen());
        const Level chosen = *state().level;
        QCOMPARE(chosen.key, NoteName::a);
        QVERIFY(!chosen.isMajor && chosen.isChromatic && chosen.range == NoteRange::secondHalfOfOctave);
        QVERIFY(m_logger->linesAt(LogLevel::standard).contains(QStringLiteral("👆 didChooseLevel - %1").arg(second)));
        QCOMPARE(m_delegate->subtitleLabel()->text(), QStringLiteral("A minor · upper half · chromatic"));
        QCOMPARE(m_delegate->window()->windowTitle(), QStringLiteral("A minor · upper half · chromatic — Lirra"));

        // Escape closes it and changes nothing; ←/→ go on from the chosen level.
        press(Qt::Key_G, Qt::ControlModifier);
        QVERIFY(spinUntil([&] { return chooserOpen(); }, 5000));
        QCOMPARE(chooser()->selectedLevelId(), std::optional(second));
        QTest::keyClick(chooser()->filterField(), Qt::Key_Escape);
        QVERIFY(waitFor([](const AppState &s) { return !s.isLevelChooserVisible; }));
        QCOMPARE(state().level->id, second);
        press(Qt::Key_Right);
        QVERIFY(waitFor([&](const AppState &s) { return s.level->id == second + 1; }));

        // Not during a session, like the other navigation.
        press(Qt::Key_Space);
        QVERIFY(waitFor([](const AppState &s) { return s.isPracticing; }));
        QVERIFY(!button->isEnabled());
        press(Qt::Key_G, Qt::ControlModifier);
        QVERIFY(!state().isLevelChooserVisible && !chooserOpen());
    }

    // Notes saved from the editor and after a session, found again in the
    // list, renamed, deleted; the app reopens the saved level it left on.
    void levelsOfYourOwn()
    {
        QVERIFY(start());
        // From the editor: C and E of the first level.
        press(Qt::Key_L);
        LevelEditorScreen *editor = m_delegate->app()->levelEditor();
        QVERIFY(editor->isVisible());
        QPushButton *save = editor->saveLevelBar()->saveButton();
        QVERIFY(save->isEnabled() && save->toolTip().contains(QStringLiteral("Ctrl+S")));
        for (const Note &note : std::vector<Note>(editor->selectedNotes())) {
            if (note.name != NoteName::c && note.name != NoteName::e)
                clickKey(editor->keyboardView(), note);
        }
        m_nextName = QStringLiteral("Thirds");
        press(Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(m_suggested, QStringLiteral("C major: C E"));
        QVERIFY(waitFor([](const AppState &s) { return s.level && s.level->isSaved(); }));
        QVERIFY(!editor->isVisible());
        QCOMPARE(m_delegate->subtitleLabel()->text(), QStringLiteral("Thirds · C major · my level"));
        const std::int64_t thirds = state().level->id;

        // A narrowing practised, then kept with its session from the offer.
        press(Qt::Key_Right);
        QVERIFY(waitFor([](const AppState &s) { return s.level && !s.level->isSaved(); }));
        press(Qt::Key_L);
        for (const Note &note : std::vector<Note>(editor->selectedNotes())) {
            if (note.name != editor->selectedNotes().front().name)
                clickKey(editor->keyboardView(), note);
        }
        press(Qt::Key_Return);
        QVERIFY(waitFor([](const AppState &s) { return s.level && s.level->isCustom; }));
        press(Qt::Key_Space);
        QVERIFY(answerRightly());
        press(Qt::Key_Space);
        QVERIFY(waitFor([](const AppState &s) { return !s.isPracticing && s.offersToSaveLevel; }));
        SaveLevelBar *offer = m_delegate->app()->main()->saveLevelBar();
        QVERIFY(offer && offer->isVisible() && offer->declineButton()->isVisible());
        QAccessibleInterface *seen = QAccessible::queryAccessibleInterface(offer->saveButton());
        QVERIFY(seen && seen->role() == QAccessible::Button && !seen->text(QAccessible::Name).isEmpty());
        // Escape waves it away, as its tooltip says; the narrowing stays.
        QCOMPARE(offer->declineButton()->toolTip(), offer->declineButton()->text() + QStringLiteral(" (Esc)"));
        press(Qt::Key_Escape);
        QVERIFY(waitFor([](const AppState &s) { return !s.offersToSaveLevel && s.level->isCustom; }));
        QVERIFY(!offer->isVisible());
        // Practised again, offered again.
        press(Qt::Key_Space);
        QVERIFY(answerRightly());
        press(Qt::Key_Space);
        QVERIFY(waitFor([](const AppState &s) { return !s.isPracticing && s.offersToSaveLevel; }));
        m_nextName = QStringLiteral("Drill");
        press(Qt::Key_S, Qt::ControlModifier);
        QVERIFY(waitFor([](const AppState &s) { return s.level && s.level->isSaved() && !s.offersToSaveLevel; }));
        // Both sessions on the narrowing go with it, the one waved away too.
        QCOMPARE(state().level->sessions.size(), size_t(2));
        const Level drill = *state().level;
        const QString drillFile = sessions() + QLatin1Char('/') + HistoryFile::of(drill).fileName();
        QCOMPARE(readAll(drillFile).count('\n'), 2);

        // Both in the list, under "My levels"; found by name.
        press(Qt::Key_G, Qt::ControlModifier);
        QVERIFY(spinUntil([&] { return chooserOpen(); }, 5000));
        QCOMPARE(chooser()->selectedLevelId(), std::optional(drill.id));
        QVERIFY(chooser()->renameButton()->isEnabled() && chooser()->deleteButton()->isEnabled());
        // Renamed, a level keeps its figures in the list.
        const auto accuracyShown = [&](std::int64_t id) {
            const std::optional<int> row = chooser()->model()->rowOf(id);
            return row ? chooser()->model()->data(chooser()->model()->index(*row, LevelListModel::accuracyColumn), Qt::DisplayRole).toString()
                       : QString();
        };
        const QString drillAccuracy = accuracyShown(drill.id);
        QVERIFY2(drillAccuracy.endsWith(QLatin1Char('%')), qPrintable(drillAccuracy));
        chooser()->askName = [](const Level &) { return std::optional(QStringLiteral("Drill again")); };
        QTest::keyClick(chooser()->filterField(), Qt::Key_F2);
        QVERIFY(spinUntil([&] { return chooser()->model()->levelAt(*chooser()->model()->rowOf(drill.id))->name
                                       == QStringLiteral("Drill again"); }, 10000));
        QCOMPARE(accuracyShown(drill.id), drillAccuracy);
        QTest::keyClicks(chooser()->filterField(), QStringLiteral("thirds"));
        QCOMPARE(chooser()->model()->levelCount(), 1);
        chooser()->askName = [](const Level &) { return std::optional(QStringLiteral("Major thirds")); };
        QTest::keyClick(chooser()->filterField(), Qt::Key_F2);
        QVERIFY(spinUntil([&] { return chooser()->model()->levelAt(*chooser()->model()->rowOf(thirds))->name
                                       == QStringLiteral("Major thirds"); }, 10000));
        QTest::keyClick(chooser()->filterField(), Qt::Key_Return);
        QVERIFY(waitFor([&](const AppState &s) { return s.level && s.level->id == thirds; }));
        QCOMPARE(state().level->name, QStringLiteral("Major thirds"));
        closeApp();

        // The next start reopens it; deleting it keeps its history aside.
        QVERIFY(start());
        QCOMPARE(state().level->id, thirds);
        press(Qt::Key_G, Qt::ControlModifier);
        QVERIFY(spinUntil([&] { return chooserOpen(); }, 5000));
        int asked = 0;
        chooser()->confirmDelete = [&](const Level &level) {
            ++asked;
            return level.id == thirds;
        };
        chooser()->list()->setFocus();
        QTest::keyClick(chooser()->list(), Qt::Key_Delete);
        QCOMPARE(asked, 1);
        QVERIFY(waitFor([&](const AppState &s) { return s.level && !s.level->isSaved(); }));
        QVERIFY(spinUntil([&] { return !chooser()->model()->rowOf(thirds); }, 10000));
        // The selection stays where the deleted level was: on its neighbour.
        QCOMPARE(chooser()->selectedLevelId(), std::optional(drill.id));
        QVERIFY(chooser()->model()->rowOf(drill.id).has_value());
        QVERIFY(QFile::exists(drillFile));
        QCOMPARE(SavedLevelStore::parse(readAll(sessions() + QStringLiteral("/my_levels.json"))).levels.size(), size_t(1));
    }
};

LIRRA_TEST(LevelChooserTest)
#include "level_chooser_test.moc"
