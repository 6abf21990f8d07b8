#include "melody_slots.h"

#include "model/localization.h"
#include "widgets/palette.h"

#include <QPainter>
#include <QPainterPath>

namespace lirra {

namespace {

constexpr int narrowestBox = 76;
constexpr int boxHeight = 40;
constexpr int gap = 10;
constexpr int margin = 6;

} // namespace

MelodySlotsView::MelodySlotsView(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("melodySlots"));
    setFont(textFont(TextStyle::body));
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

int MelodySlotsView::boxWidth() const
{
    // Wide enough for the longest name found ("Ri / Me ✓").
    int widest = narrowestBox;
    for (const QString &name : m_found)
        widest = std::max(widest, fontMetrics().horizontalAdvance(name + QStringLiteral(" ✓")) + 20);
    return widest;
}

QSize MelodySlotsView::sizeHint() const
{
    const int count = int(std::max<std::size_t>(m_length, 1));
    const int boxWidth = this->boxWidth();
    return QSize(count * boxWidth + (count - 1) * gap + 2 * margin, boxHeight + 2 * margin);
}

void MelodySlotsView::setSlots(std::vector<QString> found, std::size_t length, std::size_t waiting)
{
    if (found == m_found && length == m_length && waiting == m_waiting)
        return;
    m_found = std::move(found);
    m_length = length;
    m_waiting = std::min(waiting, length);
    QStringList names(m_found.begin(), m_found.end());
    QString name;
    if (m_waiting >= m_length)
        name = localized("melody.slotsDone").arg(names.join(QStringLiteral(", ")));
    else if (names.isEmpty())
        name = localized("melody.slotsFirst").arg(m_length);
    else
        name = localized("melody.slotsWaiting").arg(m_waiting + 1).arg(m_length).arg(names.join(QStringLiteral(", ")));
    setAccessibleName(name);
    setToolTip(name);
    updateGeometry();
    update();
}

void MelodySlotsView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const int count = int(m_length);
    const int boxWidth = this->boxWidth();
    const int total = count * boxWidth + (count - 1) * gap;
    int x = (width() - total) / 2;
    const int y = (height() - boxHeight) / 2;
    const QColor text = color(PaletteColor::buttonForeground);
    for (int i = 0; i < count; ++i, x += boxWidth + gap) {
        const QRectF box(x + 0.5, y + 0.5, boxWidth - 1, boxHeight - 1);
        const bool found = std::size_t(i) < m_waiting && std::size_t(i) < m_found.size();
        const bool waiting = std::size_t(i) == m_waiting;
        QColor edge = shifted(text, -0.5);
        if (found)
            edge = color(PaletteColor::green);
        else if (waiting)
            edge = color(PaletteColor::focus);
        painter.setPen(QPen(edge, waiting ? 3 : 1.5, found || waiting ? Qt::SolidLine : Qt::DashLine));
        painter.setBrush(found ? QColor(edge.red(), edge.green(), edge.blue(), 40) : Qt::NoBrush);
        painter.drawRoundedRect(box, 6, 6);
        painter.setPen(text);
        // The mark says it as well as the colour does.
        QString label;
        if (found)
            label = m_found[std::size_t(i)] + QStringLiteral(" ✓");
        else if (waiting)
            label = QStringLiteral("?");
        painter.drawText(box, Qt::AlignCenter, label);
    }
}

} // namespace lirra
