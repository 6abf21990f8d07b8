#include "support/clicks.h"
#include "support/notes.h"
#include "support/test_registry.h"

#include "widgets/keyboard.h"
#include "widgets/palette.h"

#include <QTest>

using namespace lirra;
using namespace lirra::test;

namespace {

// Where a user would click a key: low on a white key, below the black keys.
QPointF clickPoint(Key *key)
{
    const QRectF r = key->rect();
    return isBlackKey(key->name()) ? r.center() : QPointF(r.center().x(), r.height() * 0.85);
}

} // namespace

class KeyboardTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QWidget> m_window;
    KeyboardView *m_keyboard = nullptr;
    std::vector<QString> m_events;

    void clickNote(Note note)
    {
        m_keyboard->scroll(note, false);
        Key *key = m_keyboard->key(note);
        click(key, clickPoint(key));
    }

private slots:
    void init()
    {
        m_window = std::make_unique<QWidget>();
        m_window->resize(860, 340);
        m_keyboard = new KeyboardView(1, 2, m_window.get());
        m_keyboard->resize(860, 340);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        m_events.clear();
        m_keyboard->delegate = KeyboardViewDelegate{
            [this](Note n) { m_events.push_back(QStringLiteral("press ") + lirra::test::text({n})); },
            [this](Note n) { m_events.push_back(QStringLiteral("release ") + lirra::test::text({n})); },
            [this]() { m_events.push_back(QStringLiteral("dismiss")); },
        };
    }
    void cleanup() { m_window.reset(); }

    void everyKeyReportsItsNote()
    {
        QCOMPARE(m_keyboard->octaveViews().size(), size_t(2));
        QCOMPARE(m_keyboard->octaveViews()[0]->width(), int(std::lround(0.88 * 860)));
        for (std::uint8_t octave : {1, 2}) {
            for (NoteName name : allNoteNames) {
                const Note n{name, octave};
                m_events.clear();
                clickNote(n);
                const QString expected = lirra::test::text({n});
                QCOMPARE(m_events, (std::vector<QString>{"press " + expected, "release " + expected}));
            }
        }
    }

    void disabledKeysAndALockedKeyboardReportNothing()
    {
        m_keyboard->setKeysEnabled(false);
        clickNote(note(u"E1"));
        clickNote(note(u"D#2"));
        QVERIFY(m_events.empty());

        // A disabled black key lets nothing through to the white keys beneath.
        m_keyboard->setKeysEnabled(true);
        m_keyboard->setKeysEnabled(false, {note(u"C#1")});
        Key *blackKey = m_keyboard->key(note(u"C#1"));
        m_keyboard->scroll(note(u"C1"), false);
        click(blackKey, QPointF(2, blackKey->height() / 2.0));
        click(blackKey, QPointF(blackKey->width() - 2, blackKey->height() / 2.0));
        QVERIFY(m_events.empty());

        m_keyboard->setAcceptsInteraction(false);
        clickNote(note(u"G1"));
        QVERIFY(m_events.empty());
        m_keyboard->setAcceptsInteraction(true);
        clickNote(note(u"G1"));
        QCOMPARE(m_events.size(), size_t(2));
    }

    void releaseFollowsThePressWherever()
    {
        Key *key = m_keyboard->key(note(u"D1"));
        press(key, clickPoint(key));
        release(m_keyboard->key(note(u"F1")), clickPoint(m_keyboard->key(note(u"F1"))));
        QCOMPARE(m_events, (std::vector<QString>{"press D1", "release D1"}));
    }

    void pressFeedback()
    {
        auto *white = static_cast<WhiteKey *>(m_keyboard->key(note(u"C1")));
        auto *black = static_cast<BlackKey *>(m_keyboard->key(note(u"C#1")));
        const QRectF whiteAtRest = white->keySurface();
        const QRectF blackAtRest = black->keySurface();
        QCOMPARE(whiteAtRest.left(), 1.0);
        QCOMPARE(blackAtRest.bottom(), black->height() - 24.0);
        press(white, clickPoint(white));
        QCOMPARE(white->keySurface().width(), whiteAtRest.width() - 2);
        release(white, clickPoint(white));
        QCOMPARE(white->keySurface(), whiteAtRest);
        press(black, clickPoint(black));
        QCOMPARE(black->keySurface().height(), blackAtRest.height() + 8);
        release(black, clickPoint(black));
        QCOMPARE(black->keySurface(), blackAtRest);
    }

    void octaveGeometry_data()
    {
        QTest::addColumn<int>("name");
        QTest::addColumn<QRectF>("frame");
        QTest::newRow("C") << 0 << QRectF(0, 0, 100, 300);
        QTest::newRow("B") << 11 << QRectF(600, 0, 100, 300);
        QTest::newRow("C sharp") << 1 << QRectF(100 - 100.0 / 3, -1, 50, 200);
        QTest::newRow("D sharp") << 3 << QRectF(180, -1, 50, 200);
        QTest::newRow("F sharp") << 6 << QRectF(400 - 100.0 / 3, -1, 50, 200);
        QTest::newRow("G sharp") << 8 << QRectF(475, -1, 50, 200);
        QTest::newRow("A sharp") << 10 << QRectF(580, -1, 50, 200);
    }
    void octaveGeometry()
    {
        QFETCH(int, name);
        QFETCH(QRectF, frame);
        const NoteName n = allNoteNames[size_t(name)];
        const QRectF computed = OctaveView::keyFrame(n, QSizeF(700, 300));
        QVERIFY2(std::abs(computed.left() - frame.left()) < 1e-9 && std::abs(computed.width() - frame.width()) < 1e-9
                     && computed.top() == frame.top() && std::abs(computed.height() - frame.height()) < 1e-9,
                 qPrintable(QStringLiteral("%1 %2 %3 %4").arg(computed.x()).arg(computed.y()).arg(computed.width()).arg(computed.height())));
        // The laid-out key sits on that frame, to the pixel.
        OctaveView octave(1);
        octave.resize(700, 300);
        octave.show();
        QVERIFY(QTest::qWaitForWindowExposed(&octave));
        const QRect laid = octave.key(n)->geometry();
        QVERIFY(std::abs(laid.left() - frame.left()) <= 0.5 && std::abs(laid.width() - frame.width()) <= 1
                && laid.top() == int(frame.top()) && laid.height() == int(frame.height()));
        // Black keys lie above the white keys.
        if (isBlackKey(n))
            QCOMPARE(octave.childAt(laid.center()), octave.key(n));
    }

    void tints_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QColor>("tint");
        QTest::addColumn<double>("fraction");
        QTest::addColumn<QColor>("label");
        QTest::addColumn<bool>("bevelFill");
        QTest::newRow("nothing on a black key") << "C#1" << QColor(Qt::yellow) << 0.0 << QColor(Qt::white) << false;
        QTest::newRow("a sliver keeps the label colour") << "E1" << QColor(Qt::yellow) << 0.05
                                                         << color(PaletteColor::lightGray) << false;
        QTest::newRow("yellow turns the label dark") << "E1" << QColor(Qt::yellow) << 1.0 << color(PaletteColor::dark)
                                                     << false;
        QTest::newRow("dark blue turns it white") << "A#2" << QColor(0, 0, 128) << 1.0 << QColor(Qt::white) << true;
        QTest::newRow("dark blue on a white key") << "F2" << QColor(0, 0, 128) << 0.5 << QColor(Qt::white) << false;
    }
    void tints()
    {
        QFETCH(QString, key);
        QFETCH(QColor, tint);
        QFETCH(double, fraction);
        QFETCH(QColor, label);
        QFETCH(bool, bevelFill);
        Key *k = m_keyboard->key(note(key));
        m_keyboard->setTint(tint, fraction, note(key));
        QCOMPARE(k->labelColor(), label);
        QCOMPARE(k->fillFraction(), fraction);
        if (auto *black = qobject_cast<BlackKey *>(k))
            QCOMPARE(black->isBevelFillVisible(), bevelFill);
        m_keyboard->setTint(std::nullopt, {note(key)});
        QVERIFY(!k->fillColor());
        QCOMPARE(k->labelColor(), isBlackKey(k->name()) ? QColor(Qt::white) : color(PaletteColor::lightGray));
    }

    void tintFillsFromTheBottom()
    {
        auto *key = static_cast<WhiteKey *>(m_keyboard->key(note(u"D1")));
        const QColor teal = color(PaletteColor::teal);
        m_keyboard->setTint(teal, 0.5, note(u"D1"));
        const QImage image = key->grab().toImage();
        const int x = key->width() / 2;
        QCOMPARE(image.pixelColor(x, int(key->height() * 0.9)), teal);
        QCOMPARE(image.pixelColor(x, int(key->height() * 0.1)), QColor(Qt::white));
        m_keyboard->setTint(teal, {note(u"D1")});
        QCOMPARE(key->grab().toImage().pixelColor(x, int(key->height() * 0.1)), teal);
        QCOMPARE(key->tint(), std::optional(teal));
    }

    void textsPairUp()
    {
        m_keyboard->setTexts({"Do", "Re"}, notes("C1 D1 E1"));
        QVERIFY(!m_keyboard->key(note(u"C1"))->text());
        m_keyboard->setTexts({}, {});
        m_keyboard->setTexts({"Do", "Re", "Mi"}, notes("C1 D1 E2"));
        QCOMPARE(m_keyboard->key(note(u"E2"))->text(), std::optional<QString>(QStringLiteral("Mi")));
        QCOMPARE(m_keyboard->key(note(u"C1"))->accessibleName(), QStringLiteral("Do"));
        m_keyboard->setText(std::nullopt);
        QVERIFY(!m_keyboard->key(note(u"E2"))->text());
    }

    void scrollingBringsAKeyToTheLeftEdge()
    {
        m_keyboard->scroll(note(u"B1"), false);
        QCOMPARE(m_keyboard->scrollPosition(), m_keyboard->key(note(u"B1"))->x());
        // Keys further right scroll as far as the strip goes, into view.
        m_keyboard->scroll(note(u"D2"), false);
        const int end = m_keyboard->octaveView(2)->geometry().right() + 1 - m_keyboard->width();
        QCOMPARE(m_keyboard->scrollPosition(), end);
        m_keyboard->scroll(note(u"F1"), true);
        QCOMPARE(m_keyboard->scrollPosition(), end); // not yet
        QTRY_COMPARE_WITH_TIMEOUT(m_keyboard->scrollPosition(), m_keyboard->key(note(u"F1"))->x(), 1000);
        // A new size keeps the key at the left edge.
        m_keyboard->resize(700, 300);
        QTRY_COMPARE(m_keyboard->scrollPosition(), m_keyboard->key(note(u"F1"))->x());
    }

    void keyboardTip_data()
    {
        QTest::addColumn<QString>("enabled");
        QTest::addColumn<QString>("anchor"); // empty: the keyboard itself
        QTest::newRow("highest enabled white key") << "C1 D1 E1 F#1" << "E1";
        QTest::newRow("first octave has none") << "C#1 G2 A2" << "A2";
        QTest::newRow("no white key anywhere") << "C#1 D#2" << "";
    }
    void keyboardTip()
    {
        QFETCH(QString, enabled);
        QFETCH(QString, anchor);
        m_keyboard->setKeysEnabled(false);
        m_keyboard->setKeysEnabled(true, notes(enabled));
        const Tip tip{Tip::Target::keyboard, QStringLiteral("The keyboard"), QStringLiteral("Click the note you hear."),
                      QStringLiteral("Next")};
        m_keyboard->showTip(tip);
        TipView *view = m_keyboard->tipView();
        QVERIFY(view);
        QVERIFY(view->isVisible());
        if (!anchor.isEmpty())
            QCOMPARE(static_cast<WhiteKey *>(m_keyboard->key(note(anchor)))->tipView(), view);
        // The bubble's button removes it and reports the dismissal once.
        QPointer<TipView> guard(view);
        view->button()->pushButton()->click();
        QCOMPARE(m_events, std::vector<QString>{"dismiss"});
        QVERIFY(!view->isVisible());
        QTRY_VERIFY(!guard);
        QVERIFY(!m_keyboard->tipView());
    }
};

LIRRA_TEST(KeyboardTest)
#include "keyboard_test.moc"
