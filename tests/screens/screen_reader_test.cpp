#include "support/app_window.h"
#include "support/notes.h"
#include "support/test_registry.h"

#include "model/localization.h"
#include "model/note_naming.h"
#include "practice/practice_settings.h"
#include "screens/app.h"
#include "screens/main_screen.h"
#include "screens/modal_screens.h"
#include "screens/preferences_dialog.h"
#include "storage/settings_preferences.h"
#include "widgets/accuracy_ring.h"
#include "widgets/announcer.h"
#include "widgets/melody_slots.h"
#include "widgets/keyboard.h"
#include "widgets/title_bar.h"

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

using namespace lirra;
using namespace lirra::test;

// The window from the keyboard alone, as a blind musician uses it: where
// the focus starts and goes, what is said and shown at each answer.
class ScreenReaderTest : public QObject, private AppWindowFixture {
    Q_OBJECT

private:
    QStringList m_said;
    QList<KeyMark> m_marks;

    bool start(const Settings &settings = {})
    {
        SettingsPreferences preferences(m_home->filePath(QStringLiteral("lirra.json")));
        preferences.setBool(true, PreferenceKey::hasSeenOnboarding);
        storeSettings(preferences, settings, Settings{});
        preferences.sync();
        if (!launch(withoutMidi()))
            return false;
        // What the announcer says and the marks the keys show, as each
        // state is shown.
        connect(m_delegate.get(), &AppDelegate::stateShown, this, [this](const AppState &s) {
            if (Announcer *announcer = m_delegate->announcer(); announcer && (m_said.isEmpty() || m_said.back() != announcer->text()))
                m_said << announcer->text();
            if (s.highlightedNote) {
                const KeyMark mark = keyboard()->key(s.highlightedNote->note)->mark();
                if (mark != KeyMark::none && (m_marks.isEmpty() || m_marks.back() != mark))
                    m_marks << mark;
            }
        });
        return true;
    }
    KeyboardView *keyboard() { return m_delegate->app()->main()->keyboardView(); }
    QWidget *focus() const { return QApplication::focusWidget(); }
    void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(focus() ? focus() : m_delegate->window(), Qt::Key(key), modifiers);
        drainEvents();
    }
    // Tabs until the focus is on a widget the predicate accepts; false
    // after a whole round without one.
    bool tabTo(const std::function<bool(QWidget *)> &accepts, bool backwards = false)
    {
        for (int i = 0; i < 40; ++i) {
            if (focus() && accepts(focus()))
                return true;
            press(backwards ? Qt::Key_Backtab : Qt::Key_Tab, backwards ? Qt::ShiftModifier : Qt::NoModifier);
        }
        return false;
    }

    // Walks the focused key left or right to the note's name.
    bool focusKey(NoteName name)
    {
        for (int i = 0; i < 30 && qobject_cast<Key *>(focus()) && qobject_cast<Key *>(focus())->name() != name; ++i)
            press(qobject_cast<Key *>(focus())->name() < name ? Qt::Key_Right : Qt::Key_Left);
        return qobject_cast<Key *>(focus()) && qobject_cast<Key *>(focus())->name() == name;
    }

private slots:
    void init()
    {
        newHome();
        m_said.clear();
        m_marks.clear();
    }
    void cleanup() { closeApp(); }

    // Melodies of three from the keyboard: each note asked by its place,
    // found notes in the slots above the keys and marked on their keys, a
    // wrong one said and marked and the place kept.
    void aMelodyFromTheKeyboard()
    {
        Settings settings;
        settings.melodyLength = 3;
        QVERIFY(start(settings));
        QVERIFY(m_delegate->subtitleLabel()->text().endsWith(QStringLiteral(" · melodies of 3")));
        press(Qt::Key_Space);
        QVERIFY(waitFor([](const AppState &s) { return s.question && s.isInteractionEnabled; }));
        QCOMPARE(m_said, (QStringList{localized("stopSession"), QStringLiteral("Note 1 of 3: your answer?")}));
        MelodySlotsView *slotsView = m_delegate->app()->main()->melodySlots();
        QVERIFY(slotsView && slotsView->isVisible());
        QCOMPARE(slotsView->accessibleName(), QStringLiteral("Melody of 3 notes: note 1 waiting"));
        const Question melody = *state().question;
        QVERIFY(tabTo([](QWidget *w) { return qobject_cast<Key *>(w) != nullptr; }));

        // A wrong note first: said, marked, and the first place still waits.
        const NoteName first = melody.noteAt(0).name;
        QVERIFY(focusKey(first == NoteName::c ? NoteName::d : NoteName::c));
        press(Qt::Key_Space);
        QVERIFY(waitFor([](const AppState &s) { return s.isInteractionEnabled && !s.pendingAnswer; }));
        QCOMPARE(m_said.back(), QStringLiteral("Wrong, try again."));
        QCOMPARE(m_marks, QList<KeyMark>{KeyMark::wrong});
        QCOMPARE(slotsView->waiting(), size_t(0));
        for (std::size_t k = 0; k < 3; ++k) {
            QVERIFY(focusKey(melody.noteAt(k).name));
            press(Qt::Key_Return);
            if (k < 2) {
                QVERIFY(waitFor([&](const AppState &s) { return s.isInteractionEnabled && s.melodyPosition == k + 1; }));
                QCOMPARE(m_said.back(), QStringLiteral("Right. Note %1 of 3: your answer?").arg(k + 2));
                QCOMPARE(keyboard()->key(melody.noteAt(k))->mark(), KeyMark::right);
                QCOMPARE(slotsView->found().size(), k + 1);
                QVERIFY(slotsView->accessibleName().startsWith(QStringLiteral("Melody: note %1 of 3 waiting; found ").arg(k + 2)));
            }
        }
        QVERIFY(waitFor([&](const AppState &s) { return s.question && s.question->id != melody.id && s.isInteractionEnabled; }));
        QCOMPARE(m_said.mid(m_said.size() - 2), (QStringList{QStringLiteral("Right."), QStringLiteral("Note 1 of 3: your answer?")}));
        QCOMPARE(m_marks, (QList<KeyMark>{KeyMark::wrong, KeyMark::right}));
        QCOMPARE(state().questionsCount, 3);
        QCOMPARE(state().correctIdentifications, 2);

        // The length waits for the session's end, and says so.
        press(Qt::Key_M, Qt::ControlModifier);
        QCOMPARE(state().settings.melodyLength, 3);
        QVERIFY(waitFor([](const AppState &s) { return s.notice.has_value(); }));
        QCOMPARE(m_said.back(), QStringLiteral("Stop the session to change the question length."));
        QVERIFY(tabTo([&](QWidget *w) { return w == button("startStopSessionButton"); }, true));
        press(Qt::Key_Return);
        QVERIFY(waitFor([](const AppState &s) { return !s.isPracticing && s.isInteractionEnabled; }));
        QVERIFY(!slotsView->isVisible());
        QVERIFY(QFile::exists(m_home->filePath(QStringLiteral("Documents/lirra_sessions/sessions_1_n3.txt"))));
        // After it, Ctrl+M moves on to melodies of four, with their own history.
        press(Qt::Key_M, Qt::ControlModifier);
        QVERIFY(waitFor([](const AppState &s) { return s.level && s.level->questionLength == 4; }));
        QVERIFY(state().level->sessions.empty());
        QVERIFY(m_delegate->subtitleLabel()->text().endsWith(QStringLiteral(" · melodies of 4")));
    }

    // Chords from the keyboard: Ctrl+K asks chords, the keys show and say
    // their numerals, Ctrl+M makes progressions of two; the number row
    // names a chord by its degree, a key by its root; the kind waits for
    // the session's end.
    void chordsFromTheKeyboard()
    {
        QVERIFY(start());
        press(Qt::Key_K, Qt::ControlModifier);
        QVERIFY(waitFor([](const AppState &s) { return s.level && s.level->questionKind == QuestionKind::chord; }));
        QVERIFY(m_delegate->subtitleLabel()->text().endsWith(QStringLiteral(" · chords")));
        QCOMPARE(keyboard()->key(note(u"C1"))->text(), std::optional(QStringLiteral("I\nDo")));
        QCOMPARE(keyboard()->key(note(u"F1"))->text(), std::optional(QStringLiteral("IV\nFa")));
        QAccessibleInterface *f = QAccessible::queryAccessibleInterface(keyboard()->key(note(u"F1")));
        QVERIFY(f);
        QCOMPARE(f->text(QAccessible::Name), QStringLiteral("IV, F major chord"));
        QCOMPARE(QAccessible::queryAccessibleInterface(keyboard()->key(note(u"D1")))->text(QAccessible::Name),
                 QStringLiteral("ii, D minor chord"));
        press(Qt::Key_M, Qt::ControlModifier);
        QVERIFY(waitFor([](const AppState &s) { return s.level && s.level->questionLength == 2; }));
        QVERIFY(m_delegate->subtitleLabel()->text().endsWith(QStringLiteral(" · progressions of 2 chords")));

        press(Qt::Key_Space);
        QVERIFY(waitFor([](const AppState &s) { return s.question && s.isInteractionEnabled; }));
        QCOMPARE(m_said.back(), QStringLiteral("Chord 1 of 2: your answer?"));
        const Question progression = *state().question;
        QCOMPARE(progression.kind, QuestionKind::chord);
        // C major's degrees: C D E F are 1 2 3 4.
        const auto degree = [](NoteName root) {
            return root == NoteName::c ? 1 : root == NoteName::d ? 2 : root == NoteName::e ? 3 : 4;
        };
        press(Qt::Key_1 + degree(progression.noteAt(0).name) - 1);
        QVERIFY(waitFor([](const AppState &s) { return s.isInteractionEnabled && s.melodyPosition == 1; }));
        QCOMPARE(m_said.back(), QStringLiteral("Right. Chord 2 of 2: your answer?"));

        // The kind waits for the session's end, and says so.
        press(Qt::Key_K, Qt::ControlModifier);
        QCOMPARE(state().settings.questionKind, QuestionKind::chord);
        QCOMPARE(m_said.back(), QStringLiteral("Stop the session to change between notes and chords."));
        QVERIFY(tabTo([](QWidget *w) { return qobject_cast<Key *>(w) != nullptr; }));
        QVERIFY(focusKey(progression.noteAt(1).name));
        press(Qt::Key_Return);
        QVERIFY(waitFor([&](const AppState &s) { return s.question && s.question->id != progression.id && s.isInteractionEnabled; }));
        QCOMPARE(state().correctIdentifications, 2);
        QVERIFY(tabTo([&](QWidget *w) { return w == button("startStopSessionButton"); }, true));
        press(Qt::Key_Return);
        QVERIFY(waitFor([](const AppState &s) { return !s.isPracticing && s.isInteractionEnabled; }));
        QVERIFY(QFile::exists(m_home->filePath(QStringLiteral("Documents/lirra_sessions/chords_1_n2.txt"))));
        QVERIFY(!QFile::exists(m_home->filePath(QStringLiteral("Documents/lirra_sessions/sessions_1_n2.txt"))));
        // Notes again: the keys show their names alone, and the key that
        // has the focus keeps it.
        QVERIFY(tabTo([](QWidget *w) { return qobject_cast<Key *>(w) != nullptr; }));
        QVERIFY(focusKey(NoteName::f));
        press(Qt::Key_K, Qt::ControlModifier);
        QVERIFY(waitFor([](const AppState &s) { return s.level && s.level->questionKind == QuestionKind::note; }));
        QCOMPARE(focus(), keyboard()->key(note(u"F1")));
        QCOMPARE(keyboard()->key(note(u"F1"))->text(), std::optional(QStringLiteral("Fa")));
        QCOMPARE(QAccessible::queryAccessibleInterface(keyboard()->key(note(u"F1")))->text(QAccessible::Name), QStringLiteral("Fa"));
    }

    void practiseFromTheKeyboard()
    {
        QVERIFY(start());
        // The focus starts on Start a session, which Space presses.
        QToolButton *startStop = button("startStopSessionButton");
        QCOMPARE(focus(), startStop);
        press(Qt::Key_Space);
        QVERIFY(waitFor([](const AppState &s) { return s.question && s.isInteractionEnabled; }));
        // Start turned into Stop under the focus: said, then the question.
        QCOMPARE(m_said, (QStringList{localized("stopSession"), QStringLiteral("Your answer?")}));
        const Note answer = state().question->answer;
        const int level = int(state().level->id);

        // Tab reaches the piano through the toolbar; one key is its stop.
        QVERIFY(tabTo([](QWidget *w) { return qobject_cast<Key *>(w) != nullptr; }));
        QCOMPARE(focus(), keyboard()->keyFocus()->tabStop());
        // The arrows walk the keys without changing the level, to a wrong
        // key first, then to the right one.
        Key *wrong = nullptr;
        for (int i = 0; i < 30 && !wrong; ++i) {
            auto *k = qobject_cast<Key *>(focus());
            if (k->name() != answer.name)
                wrong = k;
            else
                press(Qt::Key_Right);
        }
        QVERIFY(wrong);
        press(Qt::Key_Space);
        QVERIFY(waitFor([](const AppState &s) { return s.isInteractionEnabled && !s.pendingAnswer; }));
        QCOMPARE(m_said.back(), QStringLiteral("Wrong, try again."));
        QCOMPARE(m_marks, QList<KeyMark>{KeyMark::wrong});
        for (int i = 0; i < 30 && qobject_cast<Key *>(focus())->name() != answer.name; ++i)
            press(qobject_cast<Key *>(focus())->name() < answer.name ? Qt::Key_Right : Qt::Key_Left);
        QCOMPARE(qobject_cast<Key *>(focus())->name(), answer.name);
        QCOMPARE(int(state().level->id), level);
        const QUuid first = state().question->id;
        press(Qt::Key_Return);
        QVERIFY(waitFor([&](const AppState &s) { return s.question && s.question->id != first && s.isInteractionEnabled; }));
        QCOMPARE(m_said.mid(2), (QStringList{QStringLiteral("Wrong, try again."), QStringLiteral("Right."), QStringLiteral("Your answer?")}));
        QCOMPARE(m_marks, (QList<KeyMark>{KeyMark::wrong, KeyMark::right}));
        // The focus stays on the key through the next question.
        QCOMPARE(qobject_cast<Key *>(focus())->name(), answer.name);

        // Back to the stop button; Return stops and the save is said.
        QVERIFY(tabTo([&](QWidget *w) { return w == startStop; }, true));
        press(Qt::Key_Return);
        QVERIFY(waitFor([](const AppState &s) { return !s.isPracticing && s.isInteractionEnabled; }));
        QVERIFY(m_said.contains(localized("announce.sessionSaved").arg(0).arg(1)));
        // The focus comes back to Start/Stop after the save (a screen
        // reader says it as it does), never on to the next control.
        QCOMPARE(focus(), startStop);

        // The accuracy screen reads each key's name, then its accuracy; as
        // it opens, it is said what it shows.
        press(Qt::Key_I);
        QVERIFY(state().isAccuracyScreenVisible);
        QVERIFY2(m_said.back().startsWith(localized("levelAccuracy") + QStringLiteral(". C major, lower half, diatonic")),
                 qPrintable(m_said.back()));
        Key *scored = m_delegate->app()->accuracy()->keyboardView()->key(answer);
        QAccessibleInterface *face = QAccessible::queryAccessibleInterface(scored);
        const QString name = face->text(QAccessible::Name);
        QVERIFY(!name.isEmpty());
        QVERIFY(!name.contains(QLatin1Char('%')));
        // Wrong at first, right at last: 0 %, and taken for the key pressed.
        const QString heard = localized("heardAs").arg(
            noteLabel(wrong->name(), NoteName::c, true, state().settings.noteNames, NamePlace::noteLists));
        // The name is not said again in the description.
        QCOMPARE(face->text(QAccessible::Description),
                 localized("accuracy.spokenRight").arg(percentText(0.0f)) + QStringLiteral(", ") + heard);
        // The title is a heading.
        QAccessibleInterface *title =
            QAccessible::queryAccessibleInterface(m_delegate->app()->accuracy()->titleBar()->label());
        QCOMPARE(title->role(), QAccessible::Heading);
        QCOMPARE(title->text(QAccessible::Name), localized("levelAccuracy"));
    }

    // Tab goes along the toolbar, left to right, then to the screen's
    // buttons and the piano's one stop, and round again; Shift+Tab goes back.
    void tabOrder_data()
    {
        QTest::addColumn<QString>("screen");
        QTest::addColumn<QStringList>("stops"); // one round
        QTest::newRow("main") << "main"
                              << QStringList{"chooseLevelButton", "firstLevelButton", "randomLevelButton",
                                             "previousLevelButton", "nextLevelButton", "configureLevelButton",
                                             "startStopSessionButton", "lirra::AccuracyRing", "preferencesButton", "key"};
        // The toolbar waits while the screen is up.
        QTest::newRow("accuracy") << "accuracy" << QStringList{"confusionsButton", "doneButton", "key"};
    }
    void tabOrder()
    {
        QFETCH(QString, screen);
        QFETCH(QStringList, stops);
        QVERIFY(start());
        if (screen == QLatin1String("accuracy")) {
            press(Qt::Key_I);
            QVERIFY(waitFor([](const AppState &s) { return s.isAccuracyScreenVisible; }));
            // The screen's keys have the focus as it opens, so that the
            // arrows walk them at once.
            QCOMPARE(focus(), m_delegate->app()->accuracy()->keyboardView()->keyFocus()->tabStop());
        } else {
            QCOMPARE(focus(), button("startStopSessionButton"));
        }
        const auto name = [](QWidget *w) {
            if (!w)
                return QStringLiteral("nothing");
            if (qobject_cast<Key *>(w))
                return QStringLiteral("key");
            // A title bar's button is named by the control around it.
            if (qobject_cast<QPushButton *>(w) && w->objectName().isEmpty() && w->parentWidget())
                w = w->parentWidget();
            return w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className()) : w->objectName();
        };
        // One round from where the focus is.
        const qsizetype from = stops.indexOf(name(focus()));
        QVERIFY(from >= 0);
        QStringList expected;
        for (qsizetype i = 1; i <= stops.size(); ++i)
            expected << stops[(from + i) % stops.size()];
        QStringList forward;
        for (qsizetype i = 0; i < expected.size(); ++i) {
            press(Qt::Key_Tab);
            forward << name(focus());
        }
        QVERIFY2(forward == expected, qPrintable(forward.join(u',')));
        press(Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(name(focus()), expected[expected.size() - 2]);
        press(Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(name(focus()), expected[expected.size() - 3]);
        // Every stop is named for a screen reader.
        for (qsizetype i = 0; i < expected.size(); ++i) {
            press(Qt::Key_Tab);
            QVERIFY2(!QAccessible::queryAccessibleInterface(focus())->text(QAccessible::Name).isEmpty(), qPrintable(name(focus())));
        }
        if (screen != QLatin1String("accuracy"))
            return;
        // The confusion table opens from the keyboard too: C, as its tooltip says.
        QPushButton *confusions = m_delegate->app()->accuracy()->titleBar()->cancelButton()->pushButton();
        QVERIFY2(confusions->toolTip().endsWith(QStringLiteral(" (C)")), qPrintable(confusions->toolTip()));
        QTest::keyClick(m_delegate->window(), Qt::Key_C);
        QVERIFY(waitFor([](const AppState &s) { return s.isConfusionViewVisible; }));
    }

    // Each bubble of the tour is said as it appears, title first.
    void theTourIsSaid()
    {
        QVERIFY(launch(withoutMidi()));
        QVERIFY(waitFor([](const AppState &s) { return s.currentTip.has_value(); }));
        const Tip first = *state().currentTip;
        QVERIFY(m_delegate->announcer());
        QCOMPARE(m_delegate->announcer()->text(), first.title + QStringLiteral(". ") + first.message);
        QTest::keyClick(m_delegate->window(), Qt::Key_Return);
        QVERIFY(waitFor([&](const AppState &s) { return s.currentTip && s.currentTip != first; }));
        QCOMPARE(m_delegate->announcer()->text(), state().currentTip->title + QStringLiteral(". ") + state().currentTip->message);
    }

    // The pause for speech from the keyboard, in the preferences, kept.
    void speechPauseInPreferences()
    {
        QVERIFY(start());
        press(Qt::Key_Comma, Qt::ControlModifier);
        QVERIFY(spinUntil([] { return qobject_cast<PreferencesDialog *>(QApplication::activeModalWidget()) != nullptr; }));
        auto *dialog = qobject_cast<PreferencesDialog *>(QApplication::activeModalWidget());
        QComboBox *pause = dialog->speechPauseBox();
        // Automatic out of the box: a beat while a screen reader runs.
        QCOMPARE(pause->currentData().toInt(), Settings::automaticPause);
        // Read with its value, which Qt 6.4 does not give a screen reader.
        QCOMPARE(pause->accessibleName(), localized("preferences.valueName")
                                              .arg(localized("preferences.speechPause").remove(QLatin1Char(':')).trimmed(),
                                                   pause->currentText()));
        QCOMPARE(QAccessible::queryAccessibleInterface(pause)->role(), QAccessible::ComboBox);
        pause->setFocus();
        QTest::keyClick(pause, Qt::Key_Down);
        QTest::keyClick(pause, Qt::Key_Down);
        QTest::keyClick(pause, Qt::Key_Down);
        QCOMPARE(pause->currentData().toInt(), 2);
        QCOMPARE(state().settings.speechPause, 2);
        // The new value is said, and read with the box.
        QVERIFY(pause->accessibleName().endsWith(pause->currentText()));
        QTest::keyClick(dialog, Qt::Key_Escape);
        closeApp();
        SettingsPreferences stored(m_home->filePath(QStringLiteral("lirra.json")));
        QCOMPARE(readSettings(stored).speechPause, 2);
    }
};

LIRRA_TEST(ScreenReaderTest)
#include "screen_reader_test.moc"
