#include "support/keys.h"
#include "support/notes.h"
#include "support/test_registry.h"

#include "widgets/keyboard.h"
#include "widgets/key_label.h"
#include "widgets/palette.h"

#include <QTest>

using namespace lirra;
using namespace lirra::test;

class KeyboardTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QWidget> m_window;
    KeyboardView *m_keyboard = nullptr;
    QStringList m_events;

    void clickNote(Note n) { clickKey(m_keyboard, n); }

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
            [this](Note n) { m_events << "press " + lirra::test::text({n}); },
            [this](Note n) { m_events << "release " + lirra::test::text({n}); },
            [this]() { m_events << QStringLiteral("dismiss"); },
        };
    }
    void cleanup() { m_window.reset(); }

    void everyKeyReportsItsNote()
    {
        QCOMPARE(m_keyboard->octaveViews()[1]->x(), int(std::lround(0.88 * 860)));
        for (std::uint8_t octave : {1, 2}) {
            for (NoteName name : allNoteNames) {
                m_events.clear();
                clickNote(Note{name, octave});
                const QString n = lirra::test::text({Note{name, octave}});
                QCOMPARE(m_events, (QStringList{"press " + n, "release " + n}));
            }
        }
        // A release away from the key still belongs to the pressed key.
        m_events.clear();
        m_keyboard->scroll(note(u"C1"), false);
        press(m_keyboard->key(note(u"D1")), keyPoint(m_keyboard->key(note(u"D1"))));
        release(m_keyboard->key(note(u"F1")), keyPoint(m_keyboard->key(note(u"F1"))));
        QCOMPARE(m_events, (QStringList{"press D1", "release D1"}));
    }

    void disabledKeysAndALockedKeyboardReportNothing()
    {
        m_keyboard->setKeysEnabled(false);
        clickNote(note(u"E1"));
        clickNote(note(u"D#2"));
        // A disabled black key lets nothing through to the white keys beneath.
        m_keyboard->setKeysEnabled(true);
        m_keyboard->setKeysEnabled(false, {note(u"C#1")});
        m_keyboard->scroll(note(u"C1"), false);
        Key *black = m_keyboard->key(note(u"C#1"));
        click(black, QPointF(2, black->height() / 2.0));
        click(black, QPointF(black->width() - 2, black->height() / 2.0));
        m_keyboard->setAcceptsInteraction(false);
        clickNote(note(u"G1"));
        QVERIFY(m_events.isEmpty());
        m_keyboard->setAcceptsInteraction(true);
        clickNote(note(u"G1"));
        QCOMPARE(m_events.size(), 2);
    }

    void pressFeedback()
    {
        auto *white = static_cast<WhiteKey *>(m_keyboard->key(note(u"C1")));
        auto *black = static_cast<BlackKey *>(m_keyboard->key(note(u"C#1")));
        const QRectF whiteAtRest = white->keySurface(), blackAtRest = black->keySurface();
        press(white, keyPoint(white));
        QCOMPARE(white->keySurface().width(), whiteAtRest.width() - 2); // one point narrower a side
        release(white, keyPoint(white));
        press(black, keyPoint(black));
        QCOMPARE(black->keySurface().height(), blackAtRest.height() + 8); // eight points lower
        release(black, keyPoint(black));
        QCOMPARE(white->keySurface(), whiteAtRest);
        QCOMPARE(black->keySurface(), blackAtRest);
    }

    void octaveGeometry_data()
    {
        QTest::addColumn<int>("name");
        QTest::addColumn<QRectF>("frame");
        QTest::newRow("B") << 11 << QRectF(600, 0, 100, 300);
        QTest::newRow("C sharp") << 1 << QRectF(100 - 100.0 / 3, -1, 50, 200);
        QTest::newRow("D sharp") << 3 << QRectF(180, -1, 50, 200);
        QTest::newRow("G sharp") << 8 << QRectF(475, -1, 50, 200);
    }
    void octaveGeometry()
    {
        QFETCH(int, name);
        QFETCH(QRectF, frame);
        const NoteName n = allNoteNames[size_t(name)];
        const QRectF computed = OctaveView::keyFrame(n, QSizeF(700, 300));
        QVERIFY(std::abs(computed.left() - frame.left()) < 1e-9 && std::abs(computed.right() - frame.right()) < 1e-9);
        QVERIFY(computed.top() == frame.top() && std::abs(computed.height() - frame.height()) < 1e-9);
        OctaveView octave(1);
        octave.resize(700, 300);
        octave.show();
        const QRect laid = octave.key(n)->geometry();
        QVERIFY(std::abs(laid.left() - frame.left()) <= 0.5 && laid.top() == int(frame.top()));
        // Black keys lie above the white keys.
        QCOMPARE(octave.childAt(laid.center()), octave.key(n));
    }

    void labelLayout_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("stacked");
        QTest::addColumn<QSizeF>("box");
        QTest::addColumn<int>("pixels");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("names of a black key, one above the other")
            << "Di / Ra" << true << QSizeF(40, 150) << 16 << QStringList{"Di", "Ra"};
        QTest::newRow("a white key keeps its slash") << "C♯ / D♭" << false << QSizeF(200, 40) << 16 << QStringList{"C♯ / D♭"};
        QTest::newRow("a degree and its accuracy on two lines")
            << "1\n72 %" << false << QSizeF(90, 60) << 17 << QStringList{"1", "72 %"};
        // French writes the sign after a narrow no-break space: never two lines.
        const QString percent = QStringLiteral("100") + QChar(0x202F) + QLatin1Char('%');
        QTest::newRow("three lines on a narrow black key shrink")
            << "la♯ / si♭\n" + percent << true << QSizeF(24, 150) << 0 << QStringList{"la♯", "si♭", percent};
        QTest::newRow("too wide even small: broken at spaces")
            << "Ré\n100 %\noften heard as the C above" << false << QSizeF(60, 200) << 0
            << QStringList{"Ré", "100 %", "often", "heard", "as", "the", "C", "above"};
        QTest::newRow("too little height shrinks") << "Do\n50 %" << false << QSizeF(90, 24) << 0 << QStringList{"Do", "50 %"};
    }
    void labelLayout()
    {
        QFETCH(QString, text);
        QFETCH(bool, stacked);
        QFETCH(QSizeF, box);
        QFETCH(int, pixels);
        QFETCH(QStringList, lines);
        QFont font;
        font.setPixelSize(pixels ? pixels : 20);
        const KeyLabelLayout layout = layoutKeyLabel(text, box, font, stacked);
        QCOMPARE(layout.lines, lines);
        if (pixels)
            QCOMPARE(layout.font.pixelSize(), pixels);
        else
            QVERIFY(layout.font.pixelSize() < 20 && layout.font.pixelSize() >= 8);
        // Everything fits, unless the smallest size cannot.
        const QFontMetricsF metrics(layout.font);
        for (const QString &line : layout.lines)
            QVERIFY(metrics.horizontalAdvance(line) <= box.width() || layout.font.pixelSize() == 8);
        QVERIFY(layout.height() <= box.height() || layout.font.pixelSize() == 8);
    }

    void labelsStayOnTheKeyAndGrowWithIt()
    {
        // Where label ink lies on a key: pixels far from the key's own colour.
        const auto ink = [](Key *key, const QRect &area) {
            const QImage image = key->grab().toImage();
            const QColor ground = image.pixelColor(area.center().x(), area.top() + 2);
            QRect found;
            for (int y = area.top(); y <= area.bottom(); ++y) {
                for (int x = area.left(); x <= area.right(); ++x) {
                    const QColor c = image.pixelColor(x, y);
                    if (std::abs(c.lightness() - ground.lightness()) > 100)
                        found |= QRect(x, y, 1, 1);
                }
            }
            return found;
        };
        QSize small;
        for (const QSize size : {QSize(700, 300), QSize(1400, 600)}) {
            OctaveView octave(1);
            octave.resize(size);
            octave.show();
            QVERIFY(QTest::qWaitForWindowExposed(&octave));
            for (const NoteName name : {NoteName::c, NoteName::d, NoteName::e, NoteName::f}) {
                // A white key's label lies below the black keys, even on three lines.
                WhiteKey *white = octave.whiteKey(name);
                white->setText(QStringLiteral("Ré\n100 %\nheard as Mi"));
                const double blackBottom = OctaveView::keyFrame(NoteName::cSharp, QSizeF(size)).bottom();
                QVERIFY(white->labelBox().top() >= blackBottom);
                const QRect whiteInk = ink(white, white->rect().adjusted(4, 0, -4, -4));
                QVERIFY(!whiteInk.isEmpty() && whiteInk.top() >= blackBottom);
            }
            // A black key's name reads level: wider than high, and bigger on
            // a bigger keyboard.
            BlackKey *black = octave.blackKey(NoteName::cSharp);
            black->setText(QStringLiteral("C♯"));
            const QRect blackInk = ink(black, black->keySurface().toRect().adjusted(2, 40, -2, -2));
            QVERIFY2(blackInk.width() > blackInk.height(), qPrintable(QStringLiteral("%1×%2").arg(blackInk.width()).arg(blackInk.height())));
            if (small.isEmpty())
                small = blackInk.size();
            else
                QVERIFY(blackInk.height() > small.height() && blackInk.width() > small.width());
        }
    }

    void tints_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QColor>("tint");
        QTest::addColumn<double>("fraction");
        QTest::addColumn<QColor>("label");
        QTest::newRow("nothing on a black key") << "C#1" << QColor(Qt::yellow) << 0.0 << QColor(Qt::white);
        QTest::newRow("a sliver keeps the label colour") << "E1" << QColor(Qt::yellow) << 0.05 << color(PaletteColor::keyLabel);
        QTest::newRow("yellow turns the label dark") << "E1" << QColor(Qt::yellow) << 1.0 << color(PaletteColor::dark);
        QTest::newRow("dark blue turns it white") << "A#2" << QColor(0, 0, 128) << 1.0 << QColor(Qt::white);
        // White would read at 3.5:1 on the wrong answer's red.
        QTest::newRow("red turns it dark") << "D1" << color(PaletteColor::red) << 1.0 << color(PaletteColor::dark);
    }
    void tints()
    {
        QFETCH(QString, key);
        QFETCH(QColor, tint);
        QFETCH(double, fraction);
        QFETCH(QColor, label);
        Key *k = m_keyboard->key(note(key));
        m_keyboard->setTint(tint, fraction, note(key));
        QCOMPARE(k->labelColor(), label);
        if (auto *black = qobject_cast<BlackKey *>(k))
            QCOMPARE(black->isBevelFillVisible(), fraction > 0);
        if (fraction == 1.0) // the fill rises from the bottom of the key
            QCOMPARE(k->grab().toImage().pixelColor(k->width() / 2, int(k->height() * 0.6)), tint);
        m_keyboard->setTint(std::nullopt, {note(key)});
        QVERIFY(!k->fillColor());
        QCOMPARE(k->labelColor(), isBlackKey(k->name()) ? QColor(Qt::white) : color(PaletteColor::keyLabel));
    }

    void textsAndScrolling()
    {
        m_keyboard->setTexts({"Do", "Re"}, notes("C1 D1 E1")); // not pairwise: nothing
        QVERIFY(!m_keyboard->key(note(u"C1"))->text());
        m_keyboard->setTexts({"Do", "Re", "Mi"}, notes("C1 D1 E2"));
        QCOMPARE(m_keyboard->key(note(u"E2"))->text(), std::optional<QString>(QStringLiteral("Mi")));
        QCOMPARE(m_keyboard->key(note(u"C1"))->accessibleName(), QStringLiteral("Do"));

        m_keyboard->scroll(note(u"B1"), false);
        QCOMPARE(m_keyboard->scrollPosition(), m_keyboard->key(note(u"B1"))->x());
        // Further right, as far as the strip goes.
        m_keyboard->scroll(note(u"D2"), false);
        const int end = m_keyboard->octaveView(2)->geometry().right() + 1 - m_keyboard->width();
        QCOMPARE(m_keyboard->scrollPosition(), end);
        m_keyboard->scroll(note(u"F1"), true);
        QCOMPARE(m_keyboard->scrollPosition(), end); // animated: not yet
        QTRY_COMPARE_WITH_TIMEOUT(m_keyboard->scrollPosition(), m_keyboard->key(note(u"F1"))->x(), 1000);

        // A set of notes shows whole where it fits, centred; else from its
        // lowest; and stays in view when the size changes.
        const auto shows = [this](const char *which) {
            for (const Note &n : notes(QString::fromLatin1(which))) {
                const Key *k = m_keyboard->key(n);
                const int left = m_keyboard->octaveView(n.octave)->x() + k->x() - m_keyboard->scrollPosition();
                if (left < 0 || left + k->width() > m_keyboard->width())
                    return false;
            }
            return true;
        };
        m_keyboard->scrollToShow(notes("E1 G1 B1"), false);
        QVERIFY(shows("E1 G1 B1"));
        m_keyboard->resize(1200, 340);
        QVERIFY(shows("E1 G1 B1"));
        m_keyboard->resize(860, 340);
        m_keyboard->scrollToShow(notes("A1 B1 C2 D2 E2 F2 G2 A2"), false);
        QVERIFY(shows("A1 B1 C2 D2 E2 F2"));
        QCOMPARE(m_keyboard->scrollPosition(), m_keyboard->octaveView(1)->x() + m_keyboard->key(note(u"A1"))->x());
    }

    void keyboardTip_data()
    {
        QTest::addColumn<QString>("enabled");
        QTest::addColumn<QString>("anchor"); // empty: the keyboard itself
        QTest::newRow("highest enabled white key") << "C1 D1 E1 F#1" << "E1";
        QTest::newRow("the first octave has none") << "C#1 G2 A2" << "A2";
        QTest::newRow("no white key anywhere") << "C#1 D#2" << "";
    }
    void keyboardTip()
    {
        QFETCH(QString, enabled);
        QFETCH(QString, anchor);
        m_keyboard->setKeysEnabled(false);
        m_keyboard->setKeysEnabled(true, notes(enabled));
        m_keyboard->showTip(Tip{Tip::Target::keyboard, "The keyboard", "Click the note you hear.", "Next"});
        QPointer<TipView> view = m_keyboard->tipView();
        QVERIFY(view && view->isVisible());
        if (!anchor.isEmpty())
            QCOMPARE(static_cast<WhiteKey *>(m_keyboard->key(note(anchor)))->tipView(), view.data());
        // The bubble's button takes it away and reports the dismissal once.
        view->button()->pushButton()->click();
        QCOMPARE(m_events, QStringList{"dismiss"});
        QVERIFY(!m_keyboard->tipView());
        QTRY_VERIFY(!view);
    }
};

LIRRA_TEST(KeyboardTest)
#include "keyboard_test.moc"
