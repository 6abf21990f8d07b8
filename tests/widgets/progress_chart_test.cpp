#include "support/test_registry.h"

#include "model/localization.h"
#include "widgets/accuracy_ring.h"
#include "widgets/palette.h"
#include "widgets/progress_chart.h"

#include <QDateTime>
#include <QImage>
#include <QLocale>
#include <QTest>

using namespace lirra;

namespace {

// `count` sessions a day apart; the i-th has `right(i)` of 10 right.
std::vector<ProgressPoint> sessions(int count, const std::function<int(int)> &right)
{
    std::vector<ProgressPoint> points;
    for (int i = 0; i < count; ++i)
        points.push_back({1733472000.0 + 86400.0 * i, right(i) / 10.0, right(i), 10});
    return points;
}

} // namespace

class ProgressChartTest : public QObject {
    Q_OBJECT

private slots:
    void pointsAndLine_data()
    {
        QTest::addColumn<std::vector<ProgressPoint>>("points");
        QTest::addColumn<double>("overall");
        QTest::newRow("no sessions") << std::vector<ProgressPoint>{} << 0.0;
        QTest::newRow("one") << sessions(1, [](int) { return 7; }) << 0.7;
        QTest::newRow("a hundred, getting better") << sessions(100, [](int i) { return i / 10; }) << 0.45;
        QTest::newRow("all right") << sessions(12, [](int) { return 10; }) << 1.0;
        QTest::newRow("all wrong") << sessions(12, [](int) { return 0; }) << 0.0;
    }
    void pointsAndLine()
    {
        QFETCH(std::vector<ProgressPoint>, points);
        QFETCH(double, overall);
        ProgressChart chart;
        chart.resize(860, 104);
        chart.setProgress(points, overall);
        const QImage image = chart.grab().toImage();
        const QRectF plot = chart.plotRect();
        QVERIFY(QRectF(chart.rect()).contains(plot));

        if (points.empty()) {
            // The hint instead of a chart: text in the middle, no band colours anywhere.
            int lit = 0;
            for (int x = 0; x < image.width(); ++x)
                lit += qGray(image.pixel(x, image.height() / 2)) > 60 ? 1 : 0;
            QVERIFY(lit > 20);
            QVERIFY(chart.toolTipAt(plot.center()).isEmpty());
            QVERIFY(chart.scaleTexts().isEmpty() && chart.dateTexts().isEmpty());
            return;
        }
        // A scale from 0 to 100 % at the right, and the first and last days below, in text.
        QCOMPARE(chart.scaleTexts(), (QStringList{percentText(0), percentText(0.5f), percentText(1)}));
        const auto day = [](double t) {
            return QLocale().toString(QDateTime::fromMSecsSinceEpoch(qint64(t * 1000)).date(), QLocale::ShortFormat);
        };
        QCOMPARE(chart.dateTexts(), (QStringList{day(points.front().timestamp), day(points.back().timestamp)}));
        int scaleInk = 0;
        for (int y = int(plot.top()); y < int(plot.bottom()); ++y) {
            for (int x = int(plot.right()) + 6; x < image.width(); ++x)
                scaleInk += qGray(image.pixel(x, y)) > 100 ? 1 : 0;
        }
        int dateInk = 0;
        for (int y = int(plot.bottom()) + 4; y < image.height(); ++y) {
            for (int x = int(plot.left()); x < int(plot.left()) + 60; ++x)
                dateInk += qGray(image.pixel(x, y)) > 100 ? 1 : 0;
        }
        QVERIFY2(scaleInk > 30 && dateInk > 30, qPrintable(QStringLiteral("%1 %2").arg(scaleInk).arg(dateInk)));
        // Oldest at the left, evenly spaced, each at its height, in its band's colour.
        const double step = plot.width() / double(points.size());
        for (size_t i = 0; i < points.size(); ++i) {
            const QPointF at = chart.pointCenter(i);
            QCOMPARE(at.x(), plot.left() + step * (double(i) + 0.5));
            QCOMPARE(at.y(), plot.bottom() - points[i].accuracy * plot.height());
            QCOMPARE(image.pixelColor(at.toPoint()), color(accuracyColor(points[i].accuracy)));
        }
        // The level's line across, in its own band's colour, with its percentage at the left.
        QCOMPARE(chart.overallLineY(), std::round(plot.bottom() - overall * plot.height()));
        const QColor line = color(accuracyColor(overall));
        int onLine = 0;
        for (int x = int(plot.left()); x < int(plot.right()); ++x)
            onLine += image.pixelColor(x, int(chart.overallLineY())) == line ? 1 : 0;
        QVERIFY2(onLine > plot.width() / 4, qPrintable(QString::number(onLine)));

        // Hovering the newest point names its date and score; between the rows nothing.
        const ProgressPoint &newest = points.back();
        const QString tip = chart.toolTipAt(chart.pointCenter(points.size() - 1));
        const QString date = QLocale().toString(QDateTime::fromMSecsSinceEpoch(qint64(newest.timestamp * 1000)),
                                                QLocale::ShortFormat);
        QVERIFY2(tip.contains(date) && tip.contains(localized("score").arg(newest.right).arg(newest.total))
                     && tip.contains(percentText(float(newest.accuracy))),
                 qPrintable(tip));
        QVERIFY(chart.toolTipAt(chart.pointCenter(points.size() - 1) + QPointF(0, 30)).isEmpty());
    }
};

LIRRA_TEST(ProgressChartTest)
#include "progress_chart_test.moc"
