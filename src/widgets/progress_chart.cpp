#include "progress_chart.h"

#include "accessibility.h"
#include "accuracy_ring.h"
#include "model/localization.h"
#include "palette.h"

#include <QDateTime>
#include <QHelpEvent>
#include <QLocale>
#include <QPainter>
#include <QPainterPath>
#include <QToolTip>

#include <cmath>

namespace lirra {

namespace {

// The bands of accuracyColor, bottom up.
constexpr double bandEdges[] = {0, 0.3, 0.5, 0.8, 0.9, 1};

} // namespace

ProgressChart::ProgressChart(QWidget *parent)
    : QWidget(parent)
{
    installAccessibility();
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAccessibleName(summaryText());
}

void ProgressChart::setProgress(std::vector<ProgressPoint> points, double overall)
{
    if (points == m_points && overall == m_overall)
        return;
    m_points = std::move(points);
    m_overall = overall;
    setAccessibleName(summaryText());
    update();
}

QRectF ProgressChart::plotRect() const
{
    // Room on the left for the level's percentage, on the right for the
    // scale, below for the dates, and for the points' dots.
    return QRectF(64, 10, width() - 64 - 48, height() - 20 - dateRowHeight);
}

QPointF ProgressChart::pointCenter(size_t index) const
{
    const QRectF plot = plotRect();
    const double step = plot.width() / double(std::max<size_t>(m_points.size(), 1));
    const double x = plot.left() + step * (double(index) + 0.5);
    const double y = plot.bottom() - std::clamp(m_points[index].accuracy, 0.0, 1.0) * plot.height();
    return {x, y};
}

double ProgressChart::overallLineY() const
{
    // On a whole pixel row, so that the line is crisp.
    const QRectF plot = plotRect();
    return std::round(plot.bottom() - std::clamp(m_overall, 0.0, 1.0) * plot.height());
}

QString ProgressChart::toolTipAt(QPointF position) const
{
    for (size_t i = 0; i < m_points.size(); ++i) {
        const QPointF centre = pointCenter(i);
        if (std::abs(position.x() - centre.x()) > std::max(pointRadius + 2, plotRect().width() / double(2 * m_points.size()))
            || std::abs(position.y() - centre.y()) > pointRadius + 6)
            continue;
        const ProgressPoint &point = m_points[i];
        const QLocale locale;
        const QString date = locale.toString(QDateTime::fromMSecsSinceEpoch(qint64(point.timestamp * 1000.0)),
                                             QLocale::ShortFormat);
        return QStringLiteral("%1\n%2 (%3)")
            .arg(date, localized("score").arg(point.right).arg(point.total), percentText(float(point.accuracy)));
    }
    return {};
}

namespace {

QString dayText(double timestamp)
{
    return QLocale().toString(QDateTime::fromMSecsSinceEpoch(qint64(timestamp * 1000.0)).date(), QLocale::ShortFormat);
}

} // namespace

QString ProgressChart::summaryText() const
{
    if (m_points.empty())
        return localized("practiseToSeeProgress");
    const ProgressPoint &first = m_points.front();
    const ProgressPoint &last = m_points.back();
    if (m_points.size() == 1)
        return localized("chart.oneSession").arg(dayText(first.timestamp), percentText(float(first.accuracy)));
    // Five points either way, the width of half an accuracy band, is a trend.
    const double change = last.accuracy - first.accuracy;
    const char *trend = change >= 0.05 ? "chart.rising" : change <= -0.05 ? "chart.falling" : "chart.steady";
    return localized("chart.sessions")
        .arg(m_points.size())
        .arg(dayText(first.timestamp), dayText(last.timestamp), percentText(float(first.accuracy)),
             percentText(float(last.accuracy)), localized(trend));
}

QStringList ProgressChart::scaleTexts() const
{
    if (m_points.empty())
        return {};
    return {percentText(0.0f), percentText(0.5f), percentText(1.0f)};
}

QStringList ProgressChart::dateTexts() const
{
    if (m_points.empty())
        return {};
    return {dayText(m_points.front().timestamp), dayText(m_points.back().timestamp)};
}

bool ProgressChart::event(QEvent *event)
{
    if (event->type() == QEvent::ToolTip) {
        auto *help = static_cast<QHelpEvent *>(event);
        const QString text = toolTipAt(help->pos());
        if (text.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), text, this);
        return true;
    }
    return QWidget::event(event);
}

void ProgressChart::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setFont(textFont(TextStyle::tipMessage));

    if (m_points.empty()) {
        painter.setPen(color(PaletteColor::lightGray));
        painter.drawText(rect(), Qt::AlignCenter, localized("practiseToSeeProgress"));
        return;
    }

    const QRectF plot = plotRect();
    // The five bands, faint, behind everything.
    for (size_t band = 0; band + 1 < std::size(bandEdges); ++band) {
        QColor fill = color(accuracyColor(bandEdges[band]));
        fill.setAlphaF(0.12f);
        const double top = plot.bottom() - bandEdges[band + 1] * plot.height();
        const double bottom = plot.bottom() - bandEdges[band] * plot.height();
        painter.fillRect(QRectF(plot.left(), top, plot.width(), bottom - top), fill);
    }

    // The sessions, oldest first: a faint line through them; their dots come
    // last, above the level's line.
    if (m_points.size() > 1) {
        QPainterPath trend;
        trend.moveTo(pointCenter(0));
        for (size_t i = 1; i < m_points.size(); ++i)
            trend.lineTo(pointCenter(i));
        QColor faint = color(PaletteColor::lightGray);
        faint.setAlphaF(0.5f);
        painter.setPen(QPen(faint, 1));
        painter.drawPath(trend);
    }
    // The level's accuracy: a dashed line across, its percentage at the left.
    const QColor overall = color(accuracyColor(m_overall));
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(overall, 1, Qt::DashLine));
    painter.drawLine(QPointF(plot.left(), overallLineY()), QPointF(plot.right(), overallLineY()));
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(overall);
    painter.setFont(textFont(TextStyle::emphasis));
    painter.drawText(QRectF(0, overallLineY() - 10, plot.left() - 8, 20), Qt::AlignRight | Qt::AlignVCenter,
                     percentText(float(m_overall)));
    painter.restore();

    // The scale at the right, and the first and last sessions' days below.
    painter.setPen(color(PaletteColor::lightGray));
    painter.setFont(textFont(TextStyle::tipMessage));
    const QStringList scale = scaleTexts();
    for (qsizetype i = 0; i < scale.size(); ++i) {
        const double y = plot.bottom() - 0.5 * double(i) * plot.height();
        painter.drawText(QRectF(plot.right() + 6, y - 9, width() - plot.right() - 6, 18), Qt::AlignLeft | Qt::AlignVCenter,
                         scale[i]);
    }
    const QStringList dates = dateTexts();
    const QRectF dateRow(plot.left(), plot.bottom() + 4, plot.width(), dateRowHeight);
    painter.drawText(dateRow, Qt::AlignLeft | Qt::AlignVCenter, dates.front());
    if (m_points.size() > 1 && dates.back() != dates.front())
        painter.drawText(dateRow, Qt::AlignRight | Qt::AlignVCenter, dates.back());

    painter.setPen(Qt::NoPen);
    for (size_t i = 0; i < m_points.size(); ++i) {
        painter.setBrush(color(accuracyColor(m_points[i].accuracy)));
        painter.drawEllipse(pointCenter(i), pointRadius, pointRadius);
    }
}

} // namespace lirra
