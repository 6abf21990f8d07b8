#include "support/notes.h"
#include "support/test_registry.h"

#include "model/note.h"
#include "widgets/accuracy_ring.h"
#include "widgets/keyboard.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QTest>

using namespace lirra;
using lirra::test::note;

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
        QTest::newRow("white key with a syllable") << "E1" << "Mi" << true << true << "Mi" << false;
        QTest::newRow("black key without a label") << "F#2" << "" << true << true << localizedName(NoteName::fSharp) << false;
        QTest::newRow("accuracy label on two lines") << "D1" << "D 76 %\noften heard as C" << true << true
                                                     << "D 76 %, often heard as C" << false;
        QTest::newRow("key not in the level") << "G1" << "Sol" << false << true << "Sol" << true;
        QTest::newRow("waiting for the cadence") << "C1" << "Do" << true << false << "Do" << true;
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
        ring.clearAccuracy();
        QVERIFY(!face->valueInterface()->currentValue().isValid());
        QVERIFY(face->text(QAccessible::Value).isEmpty());
        int opened = 0;
        ring.addAction(std::make_shared<Action>([&opened](Action &) { ++opened; }), Control::Event::released);
        face->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QCOMPARE(opened, 1);
        ring.setEnabled(false);
        face->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QCOMPARE(opened, 1);
    }
};

LIRRA_TEST(AccessibilityTest)
#include "accessibility_test.moc"
