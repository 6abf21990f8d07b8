#pragma once

#include <QWidget>

#include <functional>
#include <optional>

namespace lirra {

class Button;
class Heading;

struct TitleBarDelegate {
    std::function<void()> didPressCancelButton;
    std::function<void()> didPressDoneButton;
};

// Heads the modal screens: cancel on the left, a centred title, done on the
// right, on black.
class TitleBar final : public QWidget {
    Q_OBJECT
public:
    explicit TitleBar(QWidget *parent = nullptr);

    const std::optional<QString> &title() const { return m_title; }
    // A title equal to the current one leaves the label alone.
    void setTitle(const std::optional<QString> &title);

    bool isCancelButtonHidden() const { return m_cancelHidden; }
    void setCancelButtonHidden(bool hidden);
    bool isDoneButtonHidden() const { return m_doneHidden; }
    void setDoneButtonHidden(bool hidden);
    bool isDoneButtonEnabled() const { return m_doneEnabled; }
    void setDoneButtonEnabled(bool enabled);
    // The buttons' captions; "cancel" and "done" by default.
    void setDoneButtonTitle(const QString &title);
    void setCancelButtonTitle(const QString &title);

    Button *cancelButton() const { return m_cancel; }
    Button *doneButton() const { return m_done; }
    Heading *label() const { return m_label; }

    std::optional<TitleBarDelegate> delegate;

signals:
    void doneButtonEnabledChanged(bool enabled);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void retitle(Button *button, const QString &title);
    void relayout();

    Button *m_cancel;
    Heading *m_label;
    Button *m_done;
    std::optional<QString> m_title;
    bool m_cancelHidden = false;
    bool m_doneHidden = false;
    bool m_doneEnabled = true;
};

} // namespace lirra
