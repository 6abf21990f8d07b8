#include "support/test_registry.h"

#include "widgets/accuracy_ring.h"
#include "widgets/palette.h"

#include <QTest>

using namespace lirra;

// WCAG 2.1 over the app's palette: 4.5:1 for text against what it is drawn
// on, 3:1 for what tells a state without text.
class ContrastTest : public QObject {
    Q_OBJECT

private slots:
    void ratio_data()
    {
        QTest::addColumn<QColor>("a");
        QTest::addColumn<QColor>("b");
        QTest::addColumn<double>("ratio");
        QTest::newRow("black on white") << QColor(Qt::black) << QColor(Qt::white) << 21.0;
        QTest::newRow("same colour") << QColor(0x63, 0x63, 0x66) << QColor(0x63, 0x63, 0x66) << 1.0;
        // Worked by hand from the definition.
        QTest::newRow("grey 777 on white") << QColor(0x77, 0x77, 0x77) << QColor(Qt::white) << 4.48;
    }
    void ratio()
    {
        QFETCH(QColor, a);
        QFETCH(QColor, b);
        QFETCH(double, ratio);
        QVERIFY2(std::abs(contrastRatio(a, b) - ratio) < 0.01, qPrintable(QString::number(contrastRatio(a, b))));
        QCOMPARE(contrastRatio(a, b), contrastRatio(b, a));
    }

    void palette_data()
    {
        const QColor window(0x1c, 0x1c, 0x1e);
        const QColor white(Qt::white);
        QTest::addColumn<QColor>("foreground");
        QTest::addColumn<QColor>("background");
        QTest::addColumn<double>("minimum");
        QTest::newRow("white key label") << color(PaletteColor::keyLabel) << white << 4.5;
        QTest::newRow("black key label") << white << color(PaletteColor::dark) << 4.5;
        QTest::newRow("window text") << color(PaletteColor::buttonForeground) << window << 4.5;
        QTest::newRow("tip text") << color(PaletteColor::tooltipText) << color(PaletteColor::tooltip) << 4.5;
        QTest::newRow("primary button text") << color(PaletteColor::dark) << color(PaletteColor::amber) << 4.5;
        QTest::newRow("focus on a white key") << color(PaletteColor::focus) << white << 3.0;
        QTest::newRow("focus on a black key") << color(PaletteColor::focus) << color(PaletteColor::dark) << 3.0;
        QTest::newRow("focus on the key bed") << color(PaletteColor::focus) << color(PaletteColor::keyBed) << 3.0;
        // The dark inner line of a key's focus outline on every tint.
        for (PaletteColor tint : {PaletteColor::green, PaletteColor::red, PaletteColor::amber, PaletteColor::blue})
            QTest::addRow("focus line on tint %d", int(tint)) << color(PaletteColor::dark) << color(tint) << 3.0;
        // The ring's percentage is text in its band's colour.
        for (double accuracy : {0.1, 0.4, 0.6, 0.85, 0.95})
            QTest::addRow("ring at %.2f", accuracy) << color(accuracyColor(accuracy)) << window << 4.5;
        QTest::newRow("score: right") << color(PaletteColor::green) << window << 4.5;
        QTest::newRow("score: wrong") << color(PaletteColor::red) << window << 4.5;
        // A tinted key's label and mark take the colour readable on the tint.
        for (PaletteColor tint : {PaletteColor::green, PaletteColor::red, PaletteColor::amber, PaletteColor::blue,
                                  PaletteColor::orange, PaletteColor::darkAmber, PaletteColor::teal})
            QTest::addRow("label on tint %d", int(tint)) << readableOn(color(tint)) << color(tint) << 4.5;
    }
    void palette()
    {
        QFETCH(QColor, foreground);
        QFETCH(QColor, background);
        QFETCH(double, minimum);
        const double ratio = contrastRatio(foreground, background);
        QVERIFY2(ratio >= minimum, qPrintable(QStringLiteral("%1 on %2: %3:1").arg(foreground.name(), background.name()).arg(ratio, 0, 'f', 2)));
    }
};

LIRRA_TEST(ContrastTest)
#include "contrast_test.moc"
