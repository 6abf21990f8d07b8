#include "support/app_window.h"
#include "support/test_registry.h"

#include "audio/midi_note_player.h"
#include "practice/practice_settings.h"
#include "screens/app.h"
#include "screens/main_screen.h"
#include "screens/preferences_dialog.h"
#include "storage/settings_preferences.h"
#include "widgets/keyboard.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTest>

using namespace lirra;
using namespace lirra::test;

// The preferences, changed from the keyboard alone in the real window: each
// change is applied at once and kept in the settings file.
class PreferencesTest : public QObject, private AppWindowFixture {
    Q_OBJECT

private:
    QString settingsFile() const { return m_home->filePath(QStringLiteral("lirra.json")); }
    bool start()
    {
        SettingsPreferences(settingsFile()).setBool(true, PreferenceKey::hasSeenOnboarding);
        return launch(withoutMidi());
    }
    PreferencesDialog *dialog() { return m_delegate->app()->builtPreferencesDialog(); }
    MIDINotePlayer *player() { return static_cast<MIDINotePlayer *>(m_delegate->environment().notePlayer.get()); }
    void key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QWidget *target = QApplication::focusWidget();
        QTest::keyClick(target ? target : m_delegate->window(), Qt::Key(key), modifiers);
        drainEvents();
    }
    // What the next run will read.
    Settings stored()
    {
        drainEvents();
        return readSettings(SettingsPreferences(settingsFile()));
    }
    QStringList keyLabels()
    {
        QStringList labels;
        KeyboardView *keyboard = m_delegate->app()->main()->keyboardView();
        for (const Note &note : state().level->notes)
            labels << keyboard->key(note)->text().value_or(QString());
        return labels;
    }

private slots:
    void init() { newHome(); }
    void cleanup() { closeApp(); }

    void everySettingByKeyboard()
    {
        QVERIFY(start());
        const QStringList solfege = keyLabels();
        QCOMPARE(solfege, (QStringList{"Do", "Re", "Mi", "Fa"}));
        // Ctrl+, opens it over the window, the search field in focus.
        key(Qt::Key_Comma, Qt::ControlModifier);
        QVERIFY(dialog() && dialog()->isVisible());
        QVERIFY(state().isPreferencesVisible);
        QCOMPARE(QApplication::focusWidget(), dialog()->instrumentFilter());

        // Instrument: typed, then chosen with ↓; heard at once.
        QTest::keyClicks(dialog()->instrumentFilter(), QStringLiteral("flute"));
        const std::int64_t before = player()->recordedFrames();
        key(Qt::Key_Down);
        QVERIFY(waitFor([](const AppState &s) { return s.settings.instrument != Preset{}; }));
        const Preset flute = state().settings.instrument;
        QVERIFY(dialog()->instrumentList()->currentIndex().data().toString().contains(QStringLiteral("Flute"), Qt::CaseInsensitive));
        QCOMPARE(player()->presetOn(MIDINotePlayer::instrumentChannel), std::optional(flute));
        QVERIFY(spinUntil([&] { return player()->recordedFrames() > before; }, 5000)); // the preview
        QCOMPARE(stored().instrument, flute);

        // Tab reaches every control in turn.
        const auto next = [this](QWidget *expected) {
            key(Qt::Key_Tab);
            return QApplication::focusWidget() == expected;
        };
        QVERIFY(next(dialog()->instrumentList()));
        QVERIFY(next(dialog()->tempoBox()));
        key(Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(dialog()->tempoBox(), QStringLiteral("72"));
        drainEvents();
        QCOMPARE(state().settings.tempo, 72);
        QVERIFY(next(dialog()->cadenceBox()));
        key(Qt::Key_Down);
        key(Qt::Key_Down);
        QCOMPARE(state().settings.cadenceEvery, 3);
        QVERIFY(next(dialog()->droneBox()));
        key(Qt::Key_Space);
        QVERIFY(state().settings.drone);
        QVERIFY(next(dialog()->beatsBox()));
        key(Qt::Key_Down);
        QCOMPARE(state().settings.questionBeats, 2);
        QVERIFY(next(dialog()->emphasisBox()));
        for (int i = 0; i < 6; ++i)
            key(Qt::Key_Up);
        QCOMPARE(state().settings.questionEmphasis, 6);
        QVERIFY(next(dialog()->volumeSlider()));
        key(Qt::Key_PageDown);
        key(Qt::Key_PageDown);
        QCOMPARE(state().settings.volume, 80);
        QVERIFY(next(dialog()->namingBox()));
        key(Qt::Key_Down);
        key(Qt::Key_Down);
        QCOMPARE(state().settings.noteNames, NoteNaming::lettersForKey);
        // The keys of the practice screen are renamed at once.
        QCOMPARE(keyLabels(), (QStringList{"C", "D", "E", "F"}));

        const Settings changed = state().settings;
        QCOMPARE(stored(), changed);
        // Escape closes; nothing changes with it.
        key(Qt::Key_Escape);
        QVERIFY(!dialog()->isVisible());
        QVERIFY(waitFor([](const AppState &s) { return !s.isPreferencesVisible; }));
        QCOMPARE(state().settings, changed);

        // The next run starts with them: the player too.
        closeApp();
        QVERIFY(launch(withoutMidi()));
        QCOMPARE(state().settings, changed);
        QCOMPARE(keyLabels(), (QStringList{"C", "D", "E", "F"}));
        QCOMPARE(player()->presetOn(MIDINotePlayer::questionChannel), std::optional(flute));

        // Restore Defaults asks first; declined, nothing changes; then it
        // brings back the app as it comes, stored at once.
        key(Qt::Key_Comma, Qt::ControlModifier);
        QVERIFY(dialog()->isVisible());
        int asked = 0;
        bool restore = false;
        dialog()->confirmRestore = [&]() {
            ++asked;
            return restore;
        };
        dialog()->defaultsButton()->click();
        drainEvents();
        QCOMPARE(asked, 1);
        QCOMPARE(state().settings, changed);
        restore = true;
        dialog()->defaultsButton()->click();
        drainEvents();
        QCOMPARE(asked, 2);
        QCOMPARE(state().settings, Settings{});
        QCOMPARE(stored(), Settings{});
        QCOMPARE(keyLabels(), solfege);
        key(Qt::Key_Return); // Close is the default button
        QVERIFY(!dialog()->isVisible());
    }

    // Each control is announced by what it sets, with its role.
    void everyControlIsNamed()
    {
        QVERIFY(start());
        QWidget *preferences = m_delegate->toolbarItem(QStringLiteral("preferencesButton"));
        QVERIFY(preferences && preferences->isEnabled());
        QCOMPARE(preferences->toolTip(), QStringLiteral("Preferences (Ctrl+,)"));
        key(Qt::Key_Comma, Qt::ControlModifier);
        QVERIFY(dialog()->isVisible());
        const std::pair<QWidget *, QAccessible::Role> controls[] = {
            {preferences, QAccessible::Button},
            {dialog()->instrumentFilter(), QAccessible::EditableText},
            {dialog()->instrumentList(), QAccessible::List},
            {dialog()->tempoBox(), QAccessible::SpinBox},
            {dialog()->cadenceBox(), QAccessible::ComboBox},
            {dialog()->droneBox(), QAccessible::CheckBox},
            {dialog()->beatsBox(), QAccessible::ComboBox},
            {dialog()->emphasisBox(), QAccessible::SpinBox},
            {dialog()->volumeSlider(), QAccessible::Slider},
            {dialog()->namingBox(), QAccessible::ComboBox},
            {dialog()->questionKindBox(), QAccessible::ComboBox},
            {dialog()->questionLengthBox(), QAccessible::ComboBox},
            {dialog()->melodyLeapBox(), QAccessible::ComboBox},
            {dialog()->chordsRepeatBox(), QAccessible::CheckBox},
            {dialog()->defaultsButton(), QAccessible::Button},
            {dialog()->closeButton(), QAccessible::Button},
        };
        QStringList names;
        for (const auto &[widget, role] : controls) {
            QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(widget);
            QVERIFY(accessible);
            QCOMPARE(accessible->role(), role);
            QString name = accessible->text(QAccessible::Name);
            // A combo box's name is its choice; a screen reader reads what
            // it sets from the label of the relation, which carries the
            // choice too ("Cadence: Before every question").
            if (role == QAccessible::ComboBox) {
                const auto labels = accessible->relations(QAccessible::Label);
                QCOMPARE(labels.size(), 1);
                const QString labelName = labels.front().first->text(QAccessible::Name);
                name = labelName.left(labelName.indexOf(QStringLiteral(": ")));
                QCOMPARE(labelName, name + QStringLiteral(": ") + accessible->text(QAccessible::Value));
            }
            QVERIFY2(!name.isEmpty() && !name.endsWith(QLatin1Char(':')), qPrintable(name));
            names << name;
        }
        QCOMPARE(names.mid(3, 11), (QStringList{"Tempo", "Cadence", "Play a soft tonic drone under the questions",
                                                "Question note", "Question note louder by", "Volume", "Note names",
                                                "Question kind", "Question", "Melody moves", "May repeat a chord"}));
        // The question length's shortcut is in its tooltip; the leap waits
        // for melodies.
        QVERIFY2(dialog()->questionLengthBox()->toolTip().endsWith(QStringLiteral("(Ctrl+M)")),
                 qPrintable(dialog()->questionLengthBox()->toolTip()));
        QCOMPARE(dialog()->questionLengthBox()->count(), 5);
        QVERIFY(!dialog()->melodyLeapBox()->isEnabled());
        // The kind's shortcut likewise; chords make the lengths chords'
        // and let progressions repeat a chord, not move by a leap.
        QComboBox *kind = dialog()->questionKindBox();
        QVERIFY2(kind->toolTip().endsWith(QStringLiteral("(Ctrl+K)")), qPrintable(kind->toolTip()));
        QCOMPARE(kind->currentText(), QStringLiteral("a note"));
        QVERIFY(!dialog()->chordsRepeatBox()->isEnabled());
        kind->setFocus();
        key(Qt::Key_Down);
        QVERIFY(waitFor([](const AppState &s) { return s.settings.questionKind == QuestionKind::chord; }));
        QCOMPARE(dialog()->questionLengthBox()->itemText(0), QStringLiteral("one chord"));
        QCOMPARE(dialog()->questionLengthBox()->itemText(2), QStringLiteral("a progression of 3 chords"));
        dialog()->questionLengthBox()->setFocus();
        key(Qt::Key_Down);
        QVERIFY(waitFor([](const AppState &s) { return s.settings.melodyLength == 2; }));
        QVERIFY(dialog()->chordsRepeatBox()->isEnabled() && !dialog()->melodyLeapBox()->isEnabled());
        dialog()->chordsRepeatBox()->setFocus();
        key(Qt::Key_Space);
        QVERIFY(waitFor([](const AppState &s) { return s.settings.chordsRepeat; }));
        // A new choice is in the label's name at once.
        QComboBox *pause = dialog()->speechPauseBox();
        pause->setCurrentIndex(pause->currentIndex() == 0 ? 1 : 0);
        const auto pauseLabel = QAccessible::queryAccessibleInterface(pause)->relations(QAccessible::Label);
        QVERIFY(!pauseLabel.isEmpty() && pauseLabel.front().first->text(QAccessible::Name).endsWith(pause->currentText()));
        // The window's own controls wait while it is open.
        QVERIFY(!m_delegate->toolbarItem(QStringLiteral("startStopSessionButton"))->isEnabled());
        key(Qt::Key_Escape);
        QVERIFY(waitFor([](const AppState &s) { return !s.isPreferencesVisible && s.isInteractionEnabled; }));
        QVERIFY(m_delegate->toolbarItem(QStringLiteral("startStopSessionButton"))->isEnabled());
    }

    // A session's next question follows a change made during it; the
    // list of instruments is the bank's.
    void changedDuringASession()
    {
        QVERIFY(start());
        key(Qt::Key_Space);
        QVERIFY(waitFor([](const AppState &s) { return s.question && s.isInteractionEnabled; }));
        key(Qt::Key_Comma, Qt::ControlModifier);
        QVERIFY(dialog()->isVisible());
        QVERIFY(dialog()->instrumentList()->model()->rowCount() >= 128);
        dialog()->tempoBox()->setFocus();
        key(Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(dialog()->tempoBox(), QStringLiteral("200"));
        drainEvents();
        QCOMPARE(state().settings.tempo, 200);
        QVERIFY(state().isPracticing);
        key(Qt::Key_Escape);
        QVERIFY(waitFor([](const AppState &s) { return !s.isPreferencesVisible; }));
        // The repeat button plays the cadence at the new tempo: 0.5 s and
        // 4.75 beats until the answer is awaited again.
        m_delegate->window()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_delegate->window()));
        const std::int64_t from = player()->recordedFrames();
        QTest::keyClick(m_delegate->window(), Qt::Key_R);
        QVERIFY(waitFor([](const AppState &s) { return !s.isInteractionEnabled; }));
        QVERIFY(waitFor([](const AppState &s) { return s.isInteractionEnabled; }));
        const double expected = 0.5 * 44100 + MIDINotePlayer::secondsForBeats(4.75, 200) * 44100;
        QVERIFY2(std::fabs(double(player()->recordedFrames() - from) - expected) < 2,
                 qPrintable(QString::number(player()->recordedFrames() - from)));
    }
};

LIRRA_TEST(PreferencesTest)
#include "preferences_test.moc"
