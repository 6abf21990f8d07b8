#include "support/clicks.h"
#include "support/test_registry.h"

#include "widgets/control.h"
#include "widgets/tip_view.h"

#include <QTest>

using namespace lirra;
using namespace lirra::test;

class TipTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QWidget> m_window;
    QWidget *m_anchor = nullptr;

    TipView *present(TipView::Edge edge, QRect anchor, std::function<void()> perform = {})
    {
        m_anchor->setGeometry(anchor);
        return TipPresenter::present(edge, QStringLiteral("Accuracy"),
                                     QStringLiteral("How often you named each note right; click to see every note."),
                                     TipView::TipViewAction{QStringLiteral("Next"), std::move(perform)}, m_anchor);
    }

private slots:
    void init()
    {
        m_window = std::make_unique<QWidget>();
        m_window->resize(1000, 600);
        m_anchor = new QWidget(m_window.get());
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    }
    void cleanup() { m_window.reset(); }

    void availableWidth_data()
    {
        QTest::addColumn<int>("edge");
        QTest::addColumn<QRectF>("anchor");
        QTest::addColumn<double>("available");
        QTest::addColumn<double>("labelLimit");
        QTest::newRow("left bottom, right half") << int(TipView::Edge::leftBottom) << QRectF(500, 0, 100, 40) << 868.0
                                                 << 224.0;
        QTest::newRow("top centre near the left") << int(TipView::Edge::topCenter) << QRectF(20, 0, 40, 40) << 48.0
                                                  << 32.0;
        QTest::newRow("top left") << int(TipView::Edge::topLeft) << QRectF(800, 0, 40, 40) << 180.0 << 148.0;
        QTest::newRow("top right") << int(TipView::Edge::topRight) << QRectF(100, 0, 40, 40) << 120.0 << 88.0;
        QTest::newRow("exactly 256") << int(TipView::Edge::topLeft) << QRectF(724, 0, 40, 40) << 256.0 << 224.0;
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

    void placement()
    {
        TipView *tip = present(TipView::Edge::leftBottom, QRect(500, 300, 100, 200));
        QVERIFY(tip);
        QCOMPARE(tip->parentWidget(), m_window.get());
        QCOMPARE(tip->maxWidth(), 868.0);
        QCOMPARE(tip->labelMaxWidth(), 224.0);
        QCOMPARE(tip->frame().left(), 616.0);
        QCOMPARE(tip->frame().bottom(), 500.0 - 64);
        QCOMPARE(tip->frame().width(), tip->intrinsicSize().width());
        QVERIFY(tip->intrinsicSize().width() <= 224 + 32);

        TipView *narrow = present(TipView::Edge::topCenter, QRect(20, 10, 40, 30));
        QCOMPARE(narrow->labelMaxWidth(), 32.0);
        QCOMPARE(narrow->frame().center().x(), 40.0);
        QCOMPARE(narrow->frame().top(), 48.0);

        TipView *right = present(TipView::Edge::topRight, QRect(900, 10, 40, 30));
        // The caret sits 22 pixels in from the frame's right edge, over the anchor.
        QCOMPARE(right->frame().right() - 22, 920.0);
    }

    void theButtonRunsTheAction()
    {
        int performed = 0;
        TipView *tip = present(TipView::Edge::topLeft, QRect(100, 100, 40, 30), [&] { ++performed; });
        QVERIFY(tip->isVisible());
        const QPoint onButton = tip->button()->mapTo(m_window.get(), tip->button()->rect().center());
        QCOMPARE(m_window->childAt(onButton)->parentWidget(), tip->button());
        click(tip->button()->pushButton());
        QCOMPARE(performed, 1);
        // The bubble stays until its owner takes it away.
        QVERIFY(tip->isVisible());
        // A click on the bubble beside the button runs nothing.
        click(tip, QPointF(tip->width() / 2.0, tip->height() / 2.0 - 20));
        QCOMPARE(performed, 1);
    }

    void anAnchorOutsideAnyWindowGetsNothing()
    {
        m_anchor->setParent(nullptr);
        QVERIFY(!TipPresenter::present(TipView::Edge::topLeft, QStringLiteral("t"), QStringLiteral("m"),
                                       TipView::TipViewAction{QStringLiteral("ok"), {}}, m_anchor));
        delete m_anchor;
    }
};

LIRRA_TEST(TipTest)
#include "tip_test.moc"
