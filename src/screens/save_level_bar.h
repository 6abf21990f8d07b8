#pragma once

#include <QWidget>

#include <functional>

class QLabel;
class QPushButton;

namespace lirra {

// A line that offers to keep notes as a level of the user's own: a short
// text, "Save as my level…" (Ctrl+S) and, where the offer can be waved
// away, "Not now".
class SaveLevelBar final : public QWidget {
    Q_OBJECT
public:
    SaveLevelBar(const QString &text, bool declinable, QWidget *parent = nullptr);

    QPushButton *saveButton() const { return m_save; }
    QPushButton *declineButton() const { return m_decline; }
    QLabel *label() const { return m_label; }

    std::function<void()> didPressSave;
    std::function<void()> didDecline;

    static constexpr int preferredHeight = 44;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QLabel *m_label;
    QPushButton *m_save;
    QPushButton *m_decline = nullptr;
};

} // namespace lirra
