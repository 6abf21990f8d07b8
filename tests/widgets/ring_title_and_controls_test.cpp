#include "support/clicks.h"
#include "support/test_registry.h"

#include "widgets/accuracy_ring.h"
#include "widgets/control.h"
#include "widgets/palette.h"
#include "widgets/title_bar.h"

#include <QTest>

using namespace lirra;
using namespace lirra::test;

namespace {

bool near(const QColor &a, const QColor &b)
{
    return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) + std::abs(a.blue() - b.blue()) < 40;
}

// How many pixels are close to a colour, and how wide they spread.
std::pair<int, int> drawn(const QImage &image, const QColor &target)
{
    int count = 0, left = image.width(), right = -1;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.height(); ++x) { // the ring's square only
            if (near(image.pixelColor(x, y), target)) {
                ++count;
                left = std::min(left, x);
                right = std::max(right, x);
            }
        }
    }
    return {count, right - left + 1};
}

} // namespace

class RingTitleAndControlsTest : public QObject {
    Q_OBJECT

private slots:
    void accuracyBands_data()
    {
        QTest::addColumn<double>("accuracy");
        QTest::addColumn<int>("band");
        QTest::newRow("0.2999") << 0.2999 << int(PaletteColor::red);
        QTest::newRow("0.3") << 0.3 << int(PaletteColor::orange);
        QTest::newRow("0.5") << 0.5 << int(PaletteColor::amber);
        QTest::newRow("0.8") << 0.8 << int(PaletteColor::darkAmber);
        QTest::newRow("0.9") << 0.9 << int(PaletteColor::green);
    }
    void accuracyBands()
    {
        QFETCH(double, accuracy);
        QFETCH(int, band);
        QCOMPARE(int(accuracyColor(accuracy)), band);
    }

    void ringDrawsItsColourOrGreyAndShrinksWhilePressed()
    {
        QWidget window;
        window.resize(200, 100);
        auto *ring = new AccuracyRing(&window);
        ring->setGeometry(10, 10, 92, 32);
        ring->setStrokeWidth(3);
        ring->setAccuracy(0.875f);
        QCOMPARE(ring->text(), QLocale().toString(88) + QLocale().percent());
        ring->setAccuracy(1.0f);
        int released = 0;
        ring->addAction(std::make_shared<Action>([&](Action &) { ++released; }), Control::Event::released);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QColor green = color(PaletteColor::green), grey = color(PaletteColor::lightGray);
        const auto [greenPixels, width] = drawn(ring->grab().toImage(), green);
        QVERIFY(greenPixels > 60);

        press(ring, QPointF(16, 16));
        QVERIFY(drawn(ring->grab().toImage(), green).second <= int(width * 0.92) + 1);
        release(&window, QPointF(150, 80)); // away from the ring
        QCOMPARE(drawn(ring->grab().toImage(), green).second, width);
        QCOMPARE(released, 1);

        ring->setEnabled(false);
        const QImage disabled = ring->grab().toImage();
        QCOMPARE(drawn(disabled, green).first, 0);
        QVERIFY(drawn(disabled, grey).first > 60);
        QCOMPARE(ring->colorName(), PaletteColor::green); // kept for later
        click(ring);
        QCOMPARE(released, 1);
    }

    void controlEvents()
    {
        QWidget window;
        auto *control = new Control(&window);
        control->setGeometry(0, 0, 50, 50);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QStringList fired;
        control->addAction(std::make_shared<Action>([&](Action &) { fired << "first"; }), Control::Event::pressed);
        control->addAction(std::make_shared<Action>([&](Action &) { fired << "pressed"; }), Control::Event::pressed);
        control->addAction(std::make_shared<Action>([&](Action &) { fired << "released"; }), Control::Event::released);
        control->addAction(std::make_shared<Action>([&](Action &) { fired << "both"; }), Control::Event::tipDismissed);
        click(control);
        control->setEnabled(false);
        click(control);
        QCOMPARE(fired, (QStringList{"pressed", "released"}));
    }

    void titleBar()
    {
        QWidget window;
        window.resize(860, 34);
        auto *bar = new TitleBar(&window);
        bar->setGeometry(window.rect());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QStringList pressed;
        click(bar->cancelButton()->pushButton()); // no delegate: nothing
        bar->delegate = TitleBarDelegate{[&] { pressed << "cancel"; }, [&] { pressed << "done"; }};
        click(bar->cancelButton()->pushButton());
        click(bar->doneButton()->pushButton());
        QCOMPARE(pressed, (QStringList{"cancel", "done"}));

        bar->setTitle(QStringLiteral("Select notes"));
        QVERIFY(std::abs(bar->label()->geometry().center().x() - 430) <= 1);
        bar->label()->setText(QStringLiteral("changed elsewhere"));
        bar->setTitle(QStringLiteral("Select notes")); // equal: the label is left alone
        QCOMPARE(bar->label()->text(), QStringLiteral("changed elsewhere"));
        // A title longer than the room between the buttons is cut with "…"
        // and stays whole for a screen reader.
        const QString longTitle = QStringLiteral("Thirds and sixths over the whole octave for the Tuesday choir "
                                                 "rehearsal, second voice, C major, my level");
        bar->setTitle(longTitle);
        QCOMPARE(bar->label()->text(), longTitle);
        QVERIFY(bar->label()->shownText().endsWith(QChar(0x2026)));
        QVERIFY(bar->label()->fontMetrics().horizontalAdvance(bar->label()->shownText())
                <= bar->label()->contentsRect().width());
        QVERIFY(bar->label()->geometry().right() < bar->doneButton()->geometry().left());
        bar->setTitle(QStringLiteral("Select notes"));
        QCOMPARE(bar->label()->shownText(), QStringLiteral("Select notes"));

        bar->setDoneButtonEnabled(false);
        bar->setCancelButtonHidden(true);
        QVERIFY(!bar->doneButton()->pushButton()->isEnabled() && !bar->cancelButton()->isVisible());
        QCOMPARE(bar->grab().toImage().pixelColor(430, 2), QColor(Qt::black));
    }
};

LIRRA_TEST(RingTitleAndControlsTest)
#include "ring_title_and_controls_test.moc"
