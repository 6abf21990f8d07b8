#pragma once

#include <QString>
#include <QWidget>

#include <vector>

namespace lirra {

// A row of boxes, one per note of the melody asked: the notes found so far
// by name with a ✓, a "?" in the box waiting, the rest empty. What it shows
// is its accessible name too, since a screen reader cannot see the boxes.
class MelodySlotsView final : public QWidget {
    Q_OBJECT
public:
    explicit MelodySlotsView(QWidget *parent = nullptr);

    // `waiting` is the box waiting for its note; `length` once all are found.
    void setSlots(std::vector<QString> found, std::size_t length, std::size_t waiting);
    const std::vector<QString> &found() const { return m_found; }
    std::size_t length() const { return m_length; }
    std::size_t waiting() const { return m_waiting; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    int boxWidth() const;

    std::vector<QString> m_found;
    std::size_t m_length = 0;
    std::size_t m_waiting = 0;
};

} // namespace lirra
