#include "support/notes.h"
#include "support/test_registry.h"

#include "model/note.h"
#include "widgets/accuracy_ring.h"
#include "widgets/announcer.h"
#include "widgets/keyboard.h"
#include "widgets/progress_chart.h"
#include "widgets/tip_view.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

using namespace lirra;
using lirra::test::note;

namespace {

// A window shortcut on the keys, as the app's level and session shortcuts
// are; the count says how often it fired.
std::shared_ptr<int> countedShortcut(QWidget &window, const QList<QKeySequence> &keys)
{
    auto fired = std::make_shared<int>(0);
    auto *action = new QAction(&window);
    action->setShortcuts(keys);
    QObject::connect(action, &QAction::triggered, [fired]() { ++*fired; });
    window.addAction(action);
    return fired;
}

} // namespace

// What a screen reader finds on the keys and the ring: roles, names, states,
// values, and the press it can make.
class AccessibilityTest : public QObject {
    Q_OBJECT

private slots:
    void keys_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("label");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<bool>("accepts");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("disabled");
        QTest::newRow("white key with a syllable") << "E1" << "Mi" << true << true << "Mi (E)" << false;
        QTest::newRow("white key with its letter") << "E1" << "E" << true << true << "E" << false;
        QTest::newRow("black key without a label, upper octave")
            << "F#2" << "" << true << true << localizedName(NoteName::fSharp) + QStringLiteral(", upper octave") << false;
        QTest::newRow("a name set for it, with the letter") << "D1" << "name:Re" << true << true << "Re (D)" << false;
        QTest::newRow("accuracy label on two lines") << "D1" << "D 76 %\noften heard as C" << true << true
                                                     << "D 76 %, often heard as C" << false;
        QTest::newRow("key not in the level") << "G1" << "Sol" << false << true << "Sol (G)" << true;
        QTest::newRow("waiting for the cadence") << "C1" << "Do" << true << false << "Do (C)" << true;
    }
    void keys()
    {
        QFETCH(QString, key);
        QFETCH(QString, label);
        QFETCH(bool, enabled);
        QFETCH(bool, accepts);
        QFETCH(QString, name);
        QFETCH(bool, disabled);
        KeyboardView keyboard(1, 2);
        keyboard.resize(860, 300);
        keyboard.show();
        QList<Note> pressed;
        keyboard.delegate = KeyboardViewDelegate{[&pressed](Note n) { pressed << n; }, [](Note) {}, []() {}};
        const Note n = note(key);
        keyboard.setKeysEnabled(false);
        keyboard.setKeysEnabled(enabled, {n});
        keyboard.setAcceptsInteraction(accepts);
        if (label.startsWith(QLatin1String("name:")))
            keyboard.key(n)->setAccessibleName(label.mid(5));
        else
            keyboard.key(n)->setText(label.isEmpty() ? std::nullopt : std::optional(label));

        QAccessibleInterface *face = QAccessible::queryAccessibleInterface(keyboard.key(n));
        QVERIFY(face);
        QCOMPARE(face->role(), QAccessible::Button);
        QCOMPARE(face->text(QAccessible::Name), name);
        QCOMPARE(face->state().disabled, disabled);
        QAccessibleActionInterface *actions = face->actionInterface();
        QVERIFY(actions);
        QCOMPARE(actions->actionNames(), QStringList{QAccessibleActionInterface::pressAction()});
        actions->doAction(QAccessibleActionInterface::pressAction());
        QCOMPARE(pressed, disabled ? QList<Note>{} : QList<Note>{n});
    }

    // A progress bar from 0 to 100 with the percentage as its value; none
    // before any answer; named by what its tooltip says, without the key.
    void ring()
    {
        AccuracyRing ring;
        ring.setToolTip(QStringLiteral("Accuracy in this level (I)"));
        ring.setAccuracy(0.76f);
        QAccessibleInterface *face = QAccessible::queryAccessibleInterface(&ring);
        QVERIFY(face);
        QCOMPARE(face->role(), QAccessible::ProgressBar);
        QCOMPARE(face->text(QAccessible::Name), QStringLiteral("Accuracy in this level"));
        QCOMPARE(face->valueInterface()->currentValue().toDouble(), 76.0);
        QCOMPARE(face->valueInterface()->maximumValue().toDouble(), 100.0);
        QCOMPARE(face->text(QAccessible::Value), ring.text());
        QVERIFY(!face->state().checkStateMixed);
        ring.clearAccuracy();
        // Before any answer: indeterminate, not "0 percent".
        QVERIFY(face->state().checkStateMixed);
        QCOMPARE(face->valueInterface()->currentValue().toDouble(), 0.0);
        QVERIFY(face->text(QAccessible::Value).isEmpty());
        int opened = 0;
        ring.addAction(std::make_shared<Action>([&opened](Action &) { ++opened; }), Control::Event::released);
        face->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QCOMPARE(opened, 1);
        ring.setEnabled(false);
        face->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QCOMPARE(opened, 1);
    }

    // One key at a time is a Tab stop; the arrows walk the enabled keys,
    // lowest to highest across the octaves, and stop at either end.
    void keyFocus_data()
    {
        QTest::addColumn<QStringList>("enabled");
        QTest::addColumn<QString>("arrows");
        QTest::addColumn<QString>("focused");
        QTest::newRow("first enabled key is the Tab stop") << QStringList{"D1", "E1", "G1"} << "" << "D1";
        QTest::newRow("right skips disabled keys") << QStringList{"D1", "E1", "G1"} << "RR" << "G1";
        QTest::newRow("stops at the highest") << QStringList{"D1", "E1"} << "RRRR" << "E1";
        QTest::newRow("left back again") << QStringList{"D1", "E1", "G1"} << "RRL" << "E1";
        QTest::newRow("across the octaves, black keys between") << QStringList{"B1", "C2", "C#2"} << "RR" << "C#2";
    }
    void keyFocus()
    {
        QFETCH(QStringList, enabled);
        QFETCH(QString, arrows);
        QFETCH(QString, focused);
        QWidget window;
        auto *keyboard = new KeyboardView(1, 2, &window);
        keyboard->resize(860, 300);
        // The level shortcuts the arrows are elsewhere.
        const auto levelChanges = countedShortcut(window, {QKeySequence(Qt::Key_Right), QKeySequence(Qt::Key_Left)});
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        keyboard->setKeysEnabled(false);
        std::vector<Note> notes;
        for (const QString &n : enabled)
            notes.push_back(note(n));
        keyboard->setKeysEnabled(true, notes);

        Key *stop = keyboard->keyFocus()->tabStop();
        QCOMPARE(stop, keyboard->key(notes.front()));
        QCOMPARE(stop->focusPolicy(), Qt::TabFocus);
        QCOMPARE(keyboard->key(notes.back())->focusPolicy(), notes.size() > 1 ? Qt::NoFocus : Qt::TabFocus);
        stop->setFocus();
        for (const QChar arrow : arrows)
            QTest::keyClick(QApplication::focusWidget(), arrow == 'R' ? Qt::Key_Right : Qt::Key_Left);
        QCOMPARE(QApplication::focusWidget(), keyboard->key(note(focused)));
        QCOMPARE(keyboard->keyFocus()->tabStop(), keyboard->key(note(focused)));
        QCOMPARE(*levelChanges, 0);
        // A click gives no focus.
        QCOMPARE(keyboard->key(note(focused))->focusPolicy(), Qt::TabFocus);
    }

    // Space and Return press the focused key as a click would, once per
    // press, and not while the keyboard takes no keys; the window's Space
    // shortcut waits.
    void pressFocusedKey_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("accepts");
        QTest::addColumn<int>("presses");
        QTest::newRow("space") << int(Qt::Key_Space) << true << 1;
        QTest::newRow("return") << int(Qt::Key_Return) << true << 1;
        QTest::newRow("enter") << int(Qt::Key_Enter) << true << 1;
        QTest::newRow("while the cadence plays") << int(Qt::Key_Space) << false << 0;
    }
    void pressFocusedKey()
    {
        QFETCH(int, key);
        QFETCH(bool, accepts);
        QFETCH(int, presses);
        QWidget window;
        auto *keyboard = new KeyboardView(1, 2, &window);
        keyboard->resize(860, 300);
        const auto startStops = countedShortcut(window, {QKeySequence(Qt::Key_Space)});
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QList<Note> pressed, released;
        keyboard->delegate = KeyboardViewDelegate{[&](Note n) { pressed << n; }, [&](Note n) { released << n; }, []() {}};
        keyboard->setKeysEnabled(false);
        keyboard->setKeysEnabled(true, {note(QStringLiteral("E1"))});
        keyboard->setAcceptsInteraction(accepts);
        keyboard->keyFocus()->tabStop()->setFocus();
        QTest::keyPress(QApplication::focusWidget(), Qt::Key(key));
        // A held key repeats; it plays once.
        QKeyEvent repeat(QEvent::KeyPress, key, Qt::NoModifier, QString(), true);
        QApplication::sendEvent(QApplication::focusWidget(), &repeat);
        QTest::keyRelease(QApplication::focusWidget(), Qt::Key(key));
        QCOMPARE(pressed.size(), presses);
        QCOMPARE(released.size(), presses);
        QCOMPARE(*startStops, 0);
    }

    // Toolbar buttons and the ring: Tab reaches them, Space and Return
    // press them before the window's shortcuts, a click gives no focus.
    void pressFocusedControl()
    {
        QWidget window;
        auto *button = new QToolButton(&window);
        auto *ring = new AccuracyRing(&window);
        takeKeyboardFocus(button);
        takeKeyboardFocus(ring);
        int clicks = 0, opened = 0;
        connect(button, &QToolButton::clicked, [&clicks]() { ++clicks; });
        ring->addAction(std::make_shared<Action>([&opened](Action &) { ++opened; }), Control::Event::released);
        const auto shortcuts = countedShortcut(window, {QKeySequence(Qt::Key_Space)});
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(button->focusPolicy(), Qt::TabFocus);
        button->setFocus();
        QTest::keyClick(button, Qt::Key_Return);
        QTest::keyClick(button, Qt::Key_Space);
        QCOMPARE(clicks, 2);
        ring->setFocus();
        QTest::keyClick(ring, Qt::Key_Space);
        QCOMPARE(opened, 1);
        QCOMPARE(*shortcuts, 0);
        QTest::keyClick(ring, Qt::Key_A);
        QCOMPARE(opened, 1);
    }

    // What the screen reader finds on the other custom widgets.
    void otherWidgets()
    {
        Announcer announcer;
        announcer.show();
        announcer.say(QStringLiteral("Right."));
        QAccessibleInterface *said = QAccessible::queryAccessibleInterface(&announcer);
        QCOMPARE(said->role(), QAccessible::Notification);
        QCOMPARE(said->text(QAccessible::Name), QStringLiteral("Right."));
        QVERIFY(!said->state().focusable);

        Heading heading;
        heading.setText(QStringLiteral("Accuracy"));
        QAccessibleInterface *title = QAccessible::queryAccessibleInterface(&heading);
        QCOMPARE(title->role(), QAccessible::Heading);
        QCOMPARE(title->text(QAccessible::Name), QStringLiteral("Accuracy"));

        QWidget host;
        host.resize(600, 400);
        TipView tip(TipView::Edge::topLeft, QStringLiteral("How it works"), QStringLiteral("Press play."),
                    TipView::TipViewAction{QStringLiteral("Next"), []() {}}, &host);
        QAccessibleInterface *bubble = QAccessible::queryAccessibleInterface(&tip);
        QCOMPARE(bubble->role(), QAccessible::Dialog);
        QCOMPARE(bubble->text(QAccessible::Name), QStringLiteral("How it works"));
        QCOMPARE(bubble->text(QAccessible::Description), QStringLiteral("Press play."));
        QStringList buttons;
        for (QPushButton *b : tip.findChildren<QPushButton *>())
            buttons << QAccessible::queryAccessibleInterface(b)->text(QAccessible::Name);
        QCOMPARE(buttons, QStringList{QStringLiteral("Next")});
    }

    // The chart in one sentence: its span, its first and last accuracy and
    // which way it went.
    void chartSummary_data()
    {
        QTest::addColumn<QList<double>>("accuracies");
        QTest::addColumn<QString>("summary");
        QTest::newRow("rising") << QList<double>{0.61, 0.7, 0.88} << "3 sessions from %1 to %2, 61%3 to 88%3, rising";
        QTest::newRow("falling") << QList<double>{0.9, 0.5} << "2 sessions from %1 to %2, 90%3 to 50%3, falling";
        QTest::newRow("steady within 5 points") << QList<double>{0.8, 0.2, 0.84} << "3 sessions from %1 to %2, 80%3 to 84%3, steady";
        QTest::newRow("one session") << QList<double>{0.75} << "1 session on %1, 75%3";
    }
    void chartSummary()
    {
        QFETCH(QList<double>, accuracies);
        QFETCH(QString, summary);
        ProgressChart chart;
        std::vector<ProgressPoint> points;
        const double may3 = 1746230400; // 2025-05-03 00:00 UTC
        for (qsizetype i = 0; i < accuracies.size(); ++i)
            points.push_back(ProgressPoint{may3 + 86400.0 * double(i) * 18 + 43200, accuracies[i], 1, 1});
        chart.setProgress(points, 0.8);
        const QStringList dates = chart.dateTexts();
        const QString percent = percentText(0.5f).remove(QStringLiteral("50"));
        QString expected = summary;
        expected.replace(QStringLiteral("%1"), dates.front()).replace(QStringLiteral("%2"), dates.back());
        expected.replace(QStringLiteral("%3"), percent);
        QCOMPARE(chart.summaryText(), expected);
        QAccessibleInterface *face = QAccessible::queryAccessibleInterface(&chart);
        QCOMPARE(face->role(), QAccessible::Chart);
        QCOMPARE(face->text(QAccessible::Name), expected);
    }
};

LIRRA_TEST(AccessibilityTest)
#include "accessibility_test.moc"
