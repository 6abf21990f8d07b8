#include "support/app_window.h"
#include "support/await.h"
#include "support/clicks.h"
#include "support/keys.h"
#include "support/notes.h"
#include "support/test_registry.h"

#include "model/generators.h"
#include "model/localization.h"
#include "model/note_naming.h"
#include "practice/practice_settings.h"
#include "screens/app.h"
#include "screens/confusion_dialog.h"
#include "screens/history_exporter.h"
#include "screens/main_screen.h"
#include "screens/modal_screens.h"
#include "screens/preferences_dialog.h"
#include "storage/file_session_storage.h"
#include "storage/settings_preferences.h"
#include "widgets/control.h"
#include "widgets/keyboard.h"
#include "widgets/title_bar.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

using namespace lirra;
using namespace lirra::test;

// The confusion view, adaptive practice and the export, in the real window.
class AdaptiveScreensTest : public QObject, private AppWindowFixture {
    Q_OBJECT

private:
    QString settingsFile() const { return m_home->filePath(QStringLiteral("lirra.json")); }
    QString documents() const { return m_home->filePath(QStringLiteral("Documents")); }
    bool start(const Settings &settings = {})
    {
        SettingsPreferences preferences(settingsFile());
        preferences.setBool(true, PreferenceKey::hasSeenOnboarding);
        storeSettings(preferences, settings, Settings{});
        preferences.sync();
        return launch(withoutMidi());
    }
    void key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QWidget *target = QApplication::focusWidget();
        QTest::keyClick(target ? target : m_delegate->window(), Qt::Key(key), modifiers);
        drainEvents();
    }
    // Sessions of C major written as the app writes them, oldest first: the
    // asked note, first answered as another note, so many times each.
    void storeSessions(const QList<std::pair<const char16_t *, int>> &confusions, QuestionKind kind = QuestionKind::note)
    {
        Level cMajor = DiatonicLevelGenerator().generateLevels()[0];
        cMajor.questionKind = kind;
        QDir().mkpath(documents());
        FileSessionStorage storage([dir = documents()]() -> Result<QString> { return dir; });
        double timestamp = 1733472000;
        for (const auto &[answered, times] : confusions) {
            Session session{timestamp, {{note(u"E1"), Score{2, times}}, {note(u"C1"), Score{3, 0}}}};
            session.confusions[Confusion{note(u"E1"), note(answered)}] = times;
            QVERIFY(awaitTask(storage.saveSession(session, cMajor)).has_value());
            timestamp += 3600;
        }
    }
    ConfusionDialog *confusions() { return m_delegate->app()->builtConfusionDialog(); }
    // The cell's count, what a screen reader says of it, and how strong its shade is.
    std::tuple<QString, QString, double> cell(int row, int column)
    {
        QTableWidgetItem *item = confusions()->table()->item(row, column);
        return {item->text(), item->data(Qt::AccessibleTextRole).toString(), item->background().color().alphaF()};
    }

private slots:
    void init() { newHome(); }
    void cleanup() { closeApp(); }

    // From the accuracy screen's button: the table of the level's sessions,
    // the last five or all, counts and shading in each cell and said in
    // words; Escape closes it, and a second Escape the accuracy screen.
    // Chords have a table of their own, named by numeral.
    void confusionView_data()
    {
        QTest::addColumn<bool>("chords");
        QTest::addColumn<QStringList>("names"); // of D, E and F
        QTest::newRow("notes") << false << QStringList{"D", "E", "F"};
        QTest::newRow("chords") << true << QStringList{"ii", "iii", "IV"};
    }
    void confusionView()
    {
        QFETCH(bool, chords);
        QFETCH(QStringList, names);
        const QString d = names[0], e = names[1], f = names[2];
        storeSessions({{u"D1", 4}, {u"F1", 1}, {u"D1", 1}, {u"F1", 1}, {u"D1", 1}, {u"F1", 1}, {u"F1", 2}},
                      chords ? QuestionKind::chord : QuestionKind::note);
        Settings letters;
        letters.noteNames = NoteNaming::lettersForKey;
        if (chords)
            letters.questionKind = QuestionKind::chord;
        QVERIFY(start(letters));
        key(Qt::Key_I);
        QVERIFY(state().isAccuracyScreenVisible);
        Button *open = m_delegate->app()->accuracy()->titleBar()->cancelButton();
        QVERIFY(open->isVisible());
        QCOMPARE(open->pushButton()->text(), localized("confusions.open"));
        QAccessibleInterface *button = QAccessible::queryAccessibleInterface(open->pushButton());
        QVERIFY(button && button->role() == QAccessible::Button);
        QCOMPARE(button->text(QAccessible::Name), QStringLiteral("Confusions"));
        click(open->pushButton());
        QVERIFY(waitFor([](const AppState &s) { return s.isConfusionViewVisible; }));
        QVERIFY(confusions() && confusions()->isVisible());

        // C D E F in letters; the last five sessions: E for D twice, for F
        // four times; E right 10 times, C 15.
        QTableWidget *table = confusions()->table();
        QCOMPARE(table->rowCount(), 4);
        QCOMPARE(table->verticalHeaderItem(2)->text(), e);
        QCOMPARE(table->horizontalHeaderItem(3)->text(), f);
        const auto [toF, toFSaid, toFShade] = cell(2, 3);
        const auto [toD, toDSaid, toDShade] = cell(2, 1);
        QCOMPARE(toF, QStringLiteral("4"));
        QCOMPARE(toFSaid, localized("confusions.cell").arg(e, f).arg(4));
        QCOMPARE(toD, QStringLiteral("2"));
        QVERIFY(toFShade > toDShade);
        QCOMPARE(std::get<0>(cell(0, 0)), QStringLiteral("15"));
        QCOMPARE(std::get<0>(cell(1, 3)), QString());
        QCOMPARE(confusions()->summaryLabel()->text(),
                 localized("confusions.most")
                     .arg(localized("confusions.pair").arg(e, f).arg(4) + QStringLiteral("; ")
                          + localized("confusions.pair").arg(e, d).arg(2)));
        QAccessibleInterface *grid = QAccessible::queryAccessibleInterface(table);
        QVERIFY(grid && grid->role() == QAccessible::Table);
        QCOMPARE(grid->text(QAccessible::Name), localized("confusions.title"));

        // All seven sessions: E for D six times now (for F five), the
        // strongest shade.
        confusions()->spanBox()->setFocus();
        key(Qt::Key_Down);
        QCOMPARE(confusions()->spanBox()->currentData().toInt(), 0);
        QCOMPARE(std::get<0>(cell(2, 1)), QStringLiteral("6"));
        QCOMPARE(std::get<0>(cell(2, 3)), QStringLiteral("5"));
        QVERIFY(std::get<2>(cell(2, 1)) > std::get<2>(cell(2, 3)));

        key(Qt::Key_Escape);
        QVERIFY(waitFor([](const AppState &s) { return !s.isConfusionViewVisible; }));
        QVERIFY(!confusions()->isVisible());
        QVERIFY(state().isAccuracyScreenVisible);
        m_delegate->window()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_delegate->window()));
        QTest::keyClick(m_delegate->window(), Qt::Key_Escape);
        QVERIFY(waitFor([](const AppState &s) { return !s.isAccuracyScreenVisible; }));
    }

    // An adaptive session in the window: a key taken for another is played
    // against the right one, named under the keys; after twelve questions
    // a listening block that Space skips; a stop says what it came to.
    void adaptiveSession()
    {
        Settings adaptive;
        adaptive.mode = PracticeMode::adaptive;
        QVERIFY(start(adaptive));
        KeyboardView *keys = m_delegate->app()->main()->keyboardView();
        key(Qt::Key_Space);
        QVERIFY(waitFor([](const AppState &s) { return s.question && s.isInteractionEnabled; }));
        const Question first = *state().question;
        const Note wrong = first.answer == note(u"C1") ? note(u"D1") : note(u"C1");
        clickKey(keys, wrong);
        QVERIFY(waitFor([](const AppState &s) { return s.isInteractionEnabled; }));
        // What is said under the keys, as each state is shown.
        QStringList said;
        const auto watch = connect(m_delegate.get(), &AppDelegate::stateShown, this, [&](const AppState &) {
            QLabel *label = m_delegate->app()->main()->captionLabel();
            const QString text = label && label->isVisible() ? label->text() : QString();
            if (!text.isEmpty() && (said.isEmpty() || said.back() != text))
                said << text;
        });
        clickKey(keys, first.answer);
        QVERIFY(waitFor([&](const AppState &s) { return s.question && s.question->id != first.id && s.isInteractionEnabled; }));
        const auto nameOf = [](Note n) { return noteLabel(n.name, NoteName::c, true, NoteNaming::solfege, NamePlace::practiceKeys); };
        QCOMPARE(said, (QStringList{localized("contrast.pressed").arg(nameOf(wrong)), localized("contrast.asked").arg(nameOf(first.answer))}));
        QLabel *caption = m_delegate->app()->main()->captionLabel();
        QVERIFY(caption);
        QVERIFY(!caption->isVisible());

        for (int asked = 1; asked < 12; ++asked) {
            const Question q = *state().question;
            clickKey(keys, q.answer);
            QVERIFY(waitFor([&](const AppState &s) { return !s.question || s.question->id != q.id; }));
            if (asked < 11)
                QVERIFY(waitFor([&](const AppState &s) { return s.question && s.isInteractionEnabled; }));
        }
        QVERIFY(waitFor([](const AppState &s) { return s.hearing && s.hearing->kind == Hearing::Kind::listening; }));
        QVERIFY(!state().isInteractionEnabled);
        QTest::keyClick(m_delegate->window(), Qt::Key_Space);
        QVERIFY(waitFor([](const AppState &s) { return s.question && s.isInteractionEnabled && !s.hearing; }));
        QVERIFY(state().isPracticing);
        QCOMPARE(state().questionsAsked, 13);
        disconnect(watch);
        QVERIFY(said.size() > 2);
        QVERIFY(said[2].startsWith(localized("listening.caption").section(QLatin1Char('%'), 0, 0)));

        QTest::keyClick(m_delegate->window(), Qt::Key_Space);
        QVERIFY(waitFor([](const AppState &s) { return !s.isPracticing && s.sessionSummary; }));
        QCOMPARE(state().sessionSummary->questions, 12);
        QCOMPARE(state().sessionSummary->right, 11);
        QVERIFY(waitFor([&](const AppState &) { return caption->isVisible(); }));
        QVERIFY(caption->text().contains(QStringLiteral("11")));
        QVERIFY(caption->text().startsWith(localized("summary.text").section(QLatin1Char('%'), 0, 0)));
    }

    // The mode and the contrast from the keyboard, kept for the next run;
    // the contrast is offered only with the adaptive mode. The export
    // button's menu offers both formats.
    void modeAndExportInPreferences()
    {
        QVERIFY(start());
        key(Qt::Key_Comma, Qt::ControlModifier);
        PreferencesDialog *dialog = m_delegate->app()->builtPreferencesDialog();
        QVERIFY(dialog && dialog->isVisible());
        QVERIFY(!dialog->contrastBox()->isEnabled());
        dialog->modeBox()->setFocus();
        key(Qt::Key_Down);
        QVERIFY(waitFor([](const AppState &s) { return s.settings.mode == PracticeMode::adaptive; }));
        QVERIFY(dialog->contrastBox()->isEnabled() && dialog->contrastBox()->isChecked());
        dialog->contrastBox()->setFocus();
        key(Qt::Key_Space);
        QVERIFY(waitFor([](const AppState &s) { return !s.settings.contrast; }));
        for (QWidget *control : std::initializer_list<QWidget *>{dialog->modeBox(), dialog->contrastBox(), dialog->exportButton()})
            QVERIFY(!QAccessible::queryAccessibleInterface(control)->text(QAccessible::Name).isEmpty());

        QList<ExportFormat> asked;
        m_delegate->app()->exportHistory = [&asked](ExportFormat format) { asked << format; };
        QMenu *menu = dialog->exportButton()->menu();
        QVERIFY(menu);
        QCOMPARE(menu->actions().size(), 2);
        menu->actions()[1]->trigger();
        menu->actions()[0]->trigger();
        QCOMPARE(asked, (QList<ExportFormat>{ExportFormat::csv, ExportFormat::json}));
        key(Qt::Key_Escape);
        closeApp();
        const Settings kept = readSettings(SettingsPreferences(settingsFile()));
        QCOMPARE(kept.mode, PracticeMode::adaptive);
        QCOMPARE(kept.contrast, false);
    }

    // The export from the window: written where the user says, or, when it
    // cannot be, said so; a cancelled question writes nothing.
    void exportFromTheWindow_data()
    {
        QTest::addColumn<int>("format");
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("ok");
        QTest::newRow("JSON") << int(ExportFormat::json) << "out/history.json" << true;
        QTest::newRow("CSV") << int(ExportFormat::csv) << "csv" << true;
        QTest::newRow("under a file") << int(ExportFormat::json) << "blocker/history.json" << false;
        QTest::newRow("cancelled") << int(ExportFormat::json) << "" << false;
    }
    void exportFromTheWindow()
    {
        QFETCH(int, format);
        QFETCH(QString, target);
        QFETCH(bool, ok);
        storeSessions({{u"D1", 2}, {u"F1", 1}});
        QFile blocker(m_home->filePath(QStringLiteral("blocker")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        QDir(m_home->path()).mkpath(QStringLiteral("out"));
        const QString path = target.isEmpty() ? QString() : m_home->filePath(target);
        QList<std::pair<bool, QString>> reports;
        InputSetup input = withoutMidi();
        input.askExportPath = [path](QWidget *, ExportFormat) { return path; };
        input.reportExport = [&reports](QWidget *, bool done, const QString &text) { reports << std::pair(done, text); };
        SettingsPreferences preferences(settingsFile());
        preferences.setBool(true, PreferenceKey::hasSeenOnboarding);
        preferences.sync();
        QVERIFY(launch(input));
        m_delegate->app()->exportHistory(ExportFormat(format));
        if (target.isEmpty()) {
            drainEvents();
            QVERIFY(!state().isExporting);
            QVERIFY(reports.isEmpty());
            return;
        }
        QVERIFY(spinUntil([&reports] { return !reports.isEmpty(); }, 60000));
        drainEvents();
        QCOMPARE(reports.size(), 1);
        QCOMPARE(reports[0].first, ok);
        if (!ok) {
            QVERIFY(reports[0].second.startsWith(localized("export.failed").section(QLatin1Char('%'), 0, 0)));
            return;
        }
        // Counted in words, in the right number: "2 sessions of 1 level".
        QCOMPARE(reports[0].second, QStringLiteral("Exported 2 sessions of 1 level to %1.").arg(path));
        if (ExportFormat(format) == ExportFormat::json) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QJsonArray sessions = QJsonDocument::fromJson(file.readAll()).object().value("sessions").toArray();
            QCOMPARE(sessions.size(), 2);
            QCOMPARE(sessions[0].toObject().value("confusions").toArray()[0].toObject().value("answered").toString(),
                     QStringLiteral("d1"));
        } else {
            QVERIFY(QFile::exists(path + QStringLiteral("/sessions.csv")));
            QVERIFY(QFile::exists(path + QStringLiteral("/confusions.csv")));
        }
    }
};

LIRRA_TEST(AdaptiveScreensTest)
#include "adaptive_screens_test.moc"
