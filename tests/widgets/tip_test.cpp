#include "support/clicks.h"
#include "support/test_registry.h"

#include "widgets/control.h"
#include "widgets/tip_view.h"

#include <QTest>

using namespace lirra;
using namespace lirra::test;

class TipTest : public QObject {
    Q_OBJECT

private slots:
    void availableWidth_data()
    {
        QTest::addColumn<int>("edge");
        QTest::addColumn<QRectF>("anchor");
        QTest::addColumn<double>("available");
        QTest::addColumn<double>("labelLimit");
        QTest::newRow("left bottom, right half") << int(TipView::Edge::leftBottom) << QRectF(500, 0, 100, 40) << 868.0 << 224.0;
        QTest::newRow("top centre near the left") << int(TipView::Edge::topCenter) << QRectF(20, 0, 40, 40) << 48.0 << 32.0;
        QTest::newRow("top left") << int(TipView::Edge::topLeft) << QRectF(800, 0, 40, 40) << 180.0 << 148.0;
        QTest::newRow("top right") << int(TipView::Edge::topRight) << QRectF(100, 0, 40, 40) << 120.0 << 88.0;
    }
    void availableWidth()
    {
        QFETCH(int, edge);
        QFETCH(QRectF, anchor);
        QFETCH(double, available);
        QFETCH(double, labelLimit);
        const double width = TipPresenter::availableWidth(TipView::Edge(edge), anchor, QRectF(0, 0, 1000, 600));
        QCOMPARE(width, available);
        QCOMPARE(TipPresenter::labelLimit(width), labelLimit);
    }

    void placementAndTheButton()
    {
        QWidget window;
        window.resize(1000, 600);
        auto *anchor = new QWidget(&window);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        int performed = 0;
        const auto present = [&](TipView::Edge edge, QRect at) {
            anchor->setGeometry(at);
            return TipPresenter::present(edge, QStringLiteral("Accuracy"),
                                         QStringLiteral("How often you named each note right; click to see every note."),
                                         TipView::TipViewAction{QStringLiteral("Next"), [&] { ++performed; }}, anchor);
        };
        TipView *tip = present(TipView::Edge::leftBottom, QRect(500, 300, 100, 200));
        QCOMPARE(tip->parentWidget(), &window);
        QCOMPARE(tip->labelMaxWidth(), 224.0);
        QCOMPARE(tip->frame().left(), 616.0);
        QCOMPARE(tip->frame().bottom(), 500.0 - 64);
        QCOMPARE(present(TipView::Edge::topCenter, QRect(20, 10, 40, 30))->labelMaxWidth(), 32.0);
        // The caret sits 22 pixels in from the frame's right edge, over the anchor's centre.
        QCOMPARE(present(TipView::Edge::topRight, QRect(900, 10, 40, 30))->frame().right() - 22, 920.0);

        click(tip->button()->pushButton());
        QCOMPARE(performed, 1);
        QVERIFY(tip->isVisible()); // the tip stays until its owner takes it away
        click(tip, QPointF(tip->width() / 2.0, tip->height() / 2.0 - 20));
        QCOMPARE(performed, 1); // the bubble beside the button runs nothing

        anchor->setParent(nullptr); // outside any window: no tip
        QVERIFY(!present(TipView::Edge::topLeft, QRect(0, 0, 10, 10)));
        delete anchor;
    }
};

LIRRA_TEST(TipTest)
#include "tip_test.moc"
