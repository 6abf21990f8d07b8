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

// How many pixels of an image are close to a colour.
int pixelsNear(const QImage &image, const QColor &target, int tolerance = 40)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.alpha() > 200 && std::abs(c.red() - target.red()) + std::abs(c.green() - target.green())
                                           + std::abs(c.blue() - target.blue()) < tolerance)
                ++count;
        }
    }
    return count;
}

// The width of the ring as drawn in its colour, in pixels.
int drawnWidth(const QImage &image, int side)
{
    const QColor ring = color(PaletteColor::green);
    int left = side, right = -1;
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            const QColor c = image.pixelColor(x, y);
            if (std::abs(c.red() - ring.red()) + std::abs(c.green() - ring.green()) + std::abs(c.blue() - ring.blue()) < 60) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
        }
    }
    return right - left + 1;
}

class TrackingControl final : public Control {
public:
    bool accept = true;
    QStringList calls;

protected:
    bool beginTracking(QMouseEvent *) override
    {
        calls << QStringLiteral("begin");
        return accept;
    }
    void endTracking(QMouseEvent *) override { calls << QStringLiteral("end"); }
};

} // namespace

class RingTitleAndControlsTest : public QObject {
    Q_OBJECT

private slots:
    void accuracyBands_data()
    {
        QTest::addColumn<double>("accuracy");
        QTest::addColumn<int>("band");
        QTest::newRow("0") << 0.0 << int(PaletteColor::red);
        QTest::newRow("0.2999") << 0.2999 << int(PaletteColor::red);
        QTest::newRow("0.3") << 0.3 << int(PaletteColor::orange);
        QTest::newRow("0.4999") << 0.4999 << int(PaletteColor::orange);
        QTest::newRow("0.5") << 0.5 << int(PaletteColor::amber);
        QTest::newRow("0.8") << 0.8 << int(PaletteColor::darkAmber);
        QTest::newRow("0.9") << 0.9 << int(PaletteColor::green);
        QTest::newRow("1") << 1.0 << int(PaletteColor::green);
    }
    void accuracyBands()
    {
        QFETCH(double, accuracy);
        QFETCH(int, band);
        QCOMPARE(int(accuracyColor(accuracy)), band);
    }

    void percentTexts()
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        QCOMPARE(percentText(0.875f), QStringLiteral("88%"));
        QCOMPARE(percentText(0.0f), QStringLiteral("0%"));
        QCOMPARE(percentText(1.0f), QStringLiteral("100%"));
        QCOMPARE(percentText(0.333f), QStringLiteral("33%"));
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        QCOMPARE(percentText(0.5f), QStringLiteral("50%"));
        QLocale::setDefault(QLocale::c());
    }

    void ringDrawsItsColourOrGrey()
    {
        AccuracyRing ring;
        ring.resize(92, 32);
        ring.setStrokeWidth(3);
        ring.setAccuracy(0.95f);
        const QColor green = color(PaletteColor::green);
        const QColor grey = color(PaletteColor::lightGray);
        QImage image = ring.grab().toImage();
        QVERIFY(pixelsNear(image, green) > 60);
        QCOMPARE(pixelsNear(image, grey), 0);

        ring.setEnabled(false);
        image = ring.grab().toImage();
        QCOMPARE(pixelsNear(image, green), 0);
        QVERIFY(pixelsNear(image, grey) > 60);
        QCOMPARE(ring.colorName(), PaletteColor::green); // kept for later

        ring.setEnabled(true);
        ring.setAccuracy(0.1f);
        QVERIFY(pixelsNear(ring.grab().toImage(), color(PaletteColor::red)) > 20);
        QCOMPARE(ring.text(), percentText(0.1f));
    }

    void ringShrinksWhilePressed()
    {
        QWidget window;
        window.resize(200, 100);
        auto *ring = new AccuracyRing(&window);
        ring->setGeometry(10, 10, 92, 32);
        ring->setAccuracy(1.0f);
        int released = 0;
        ring->addAction(std::make_shared<Action>([&](Action &) { ++released; }), Control::Event::released);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const int atRest = drawnWidth(ring->grab().toImage(), 32);
        press(ring, QPointF(16, 16));
        QCOMPARE(ring->scale(), 0.9);
        const int pressed = drawnWidth(ring->grab().toImage(), 32);
        QVERIFY2(pressed <= int(atRest * 0.92) + 1, qPrintable(QStringLiteral("%1 vs %2").arg(pressed).arg(atRest)));
        release(&window, QPointF(150, 80)); // released away from the ring
        QCOMPARE(ring->scale(), 1.0);
        QCOMPARE(drawnWidth(ring->grab().toImage(), 32), atRest);
        QCOMPARE(released, 1);
    }

    void controlEvents()
    {
        QWidget window;
        window.resize(100, 100);
        auto *control = new TrackingControl;
        control->setParent(&window);
        control->setGeometry(0, 0, 50, 50);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QStringList fired;
        control->addAction(std::make_shared<Action>([&](Action &) { fired << "first"; }), Control::Event::pressed);
        control->addAction(std::make_shared<Action>([&](Action &) { fired << "pressed"; }), Control::Event::pressed);
        control->addAction(std::make_shared<Action>([&](Action &) { fired << "released"; }), Control::Event::released);
        control->addAction(std::make_shared<Action>([&](Action &) { fired << "both"; }), Control::Event::tipDismissed);
        click(control);
        QCOMPARE(fired, (QStringList{"pressed", "released"}));
        QCOMPARE(control->calls, (QStringList{"begin", "end"}));

        control->accept = false; // a refused press runs no action; its release still does
        click(control);
        QCOMPARE(fired, (QStringList{"pressed", "released", "released"}));

        control->setEnabled(false);
        click(control);
        QCOMPARE(control->calls.size(), 4);
        QCOMPARE(fired.size(), 3);
    }

    void buttonRunsItsOneAction()
    {
        QWidget window;
        Button *button = Button::primary(QStringLiteral("Go"), &window);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        click(button->pushButton()); // no action yet: nothing happens
        int runs = 0;
        button->addAction(std::make_shared<Action>([&](Action &) { runs += 1; }), Control::Event::pressed);
        button->addAction(std::make_shared<Action>([&](Action &) { runs += 10; }), Control::Event::released);
        click(button->pushButton());
        QCOMPARE(runs, 10);
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
        QCOMPARE(bar->label()->text(), QStringLiteral("Select notes"));
        QVERIFY(std::abs(bar->label()->geometry().center().x() - 430) <= 1);
        bar->label()->setText(QStringLiteral("changed elsewhere"));
        bar->setTitle(QStringLiteral("Select notes")); // equal: the label is left alone
        QCOMPARE(bar->label()->text(), QStringLiteral("changed elsewhere"));
        bar->setTitle(std::nullopt);
        QCOMPARE(bar->label()->text(), QString());

        QVERIFY(bar->doneButton()->pushButton()->isEnabled());
        bar->setDoneButtonEnabled(false);
        QVERIFY(!bar->doneButton()->pushButton()->isEnabled());
        bar->setCancelButtonHidden(true);
        QVERIFY(!bar->cancelButton()->isVisible());
        QCOMPARE(bar->grab().toImage().pixelColor(430, 2), QColor(Qt::black));
    }
};

LIRRA_TEST(RingTitleAndControlsTest)
#include "ring_title_and_controls_test.moc"
