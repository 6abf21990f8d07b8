#pragma once

#include "core/screen_states.h"

#include <QWidget>

#include <vector>

namespace lirra {

// A level's progress: the accuracy of each stored session as a point in its
// accuracy band's colour, oldest at the left, joined by a faint line, over
// the five bands, with the level's overall accuracy as a dashed line.
// Hovering a point names its date and score. Without sessions it says how
// to get some.
class ProgressChart final : public QWidget {
    Q_OBJECT
public:
    explicit ProgressChart(QWidget *parent = nullptr);

    void setProgress(std::vector<ProgressPoint> points, double overall);
    const std::vector<ProgressPoint> &points() const { return m_points; }

    // Where things are drawn, in the widget's coordinates.
    QRectF plotRect() const;
    QPointF pointCenter(size_t index) const;
    double overallLineY() const;
    // The tooltip for a position: the date and score of the point under it.
    QString toolTipAt(QPointF position) const;
    // The scale at the right (0, 50 and 100 %, bottom up), and the dates of
    // the first and the last session under the plot; nothing without points.
    QStringList scaleTexts() const;
    QStringList dateTexts() const;
    // The chart in one sentence, for a screen reader: "12 sessions from
    // 3 May to 8 June, 61 % to 88 %, rising".
    QString summaryText() const;

    static constexpr double pointRadius = 3.5;
    // The row under the plot that holds the dates.
    static constexpr double dateRowHeight = 16;

protected:
    void paintEvent(QPaintEvent *event) override;
    bool event(QEvent *event) override;

private:
    std::vector<ProgressPoint> m_points;
    double m_overall = 0;
};

} // namespace lirra
