#pragma once

#include "model/tip.h"

#include <QPointer>
#include <QWidget>

#include <functional>

namespace lirra {

class Button;

// An onboarding tip as a bubble: a title, a message, one button, and a caret
// pointing at the control it explains. Geometry is in pixels; the frame is
// the rectangle the presenter places, and the widget reaches a little beyond
// it for the caret and the shadow.
class TipView final : public QWidget {
    Q_OBJECT
public:
    enum class Edge { topLeft, topCenter, topRight, leftBottom };

    struct TipViewAction {
        QString title;
        std::function<void()> perform;
    };

    TipView(Edge edge, QString title, QString message, TipViewAction action, QWidget *parent = nullptr);

    Edge edge() const { return m_edge; }
    const QString &title() const { return m_title; }
    const QString &message() const { return m_message; }
    Button *button() const { return m_button; }
    // A second, quieter button at the bottom left ("Skip tour"); none by default.
    void setSecondaryAction(TipViewAction action);
    Button *secondaryButton() const { return m_secondary; }

    // The width available to the bubble; it sets the message's width limit.
    double maxWidth() const { return m_maxWidth; }
    void setMaxWidth(double width);
    double labelMaxWidth() const { return m_labelMaxWidth; }

    // The message's fitting width + 32 by its height + 41.
    QSizeF intrinsicSize() const;
    // Places the frame's top-left corner, in the parent's coordinates.
    void setFrameOrigin(QPointF origin);
    QRectF frame() const;
    // The bubble itself, in the parent's coordinates.
    QRectF bubbleRect() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    struct Layout {
        double messageWidth;
        double messageHeight;
        double titleHeight;
        QRectF bubble;  // frame coordinates
        QPointF caret;  // centre, frame coordinates
        QRectF title;   // frame coordinates
        QRectF message; // frame coordinates
        QRectF button;  // frame coordinates
        QRectF secondary; // frame coordinates, empty without one
    };
    Layout layout() const;
    void relayout();

    static constexpr double margin = 16;

    Edge m_edge;
    QString m_title;
    QString m_message;
    TipViewAction m_action;
    Button *m_button;
    TipViewAction m_secondaryAction;
    Button *m_secondary = nullptr;
    double m_maxWidth = 256;
    double m_labelMaxWidth = 224;
    QPointF m_origin;
};

// Places tips over the window's content next to an anchor widget.
class TipPresenter {
public:
    // The new tip view, already shown, or nothing when the anchor is in no
    // window. `area` narrows the anchor to a part of it (the whole by default).
    static TipView *present(TipView::Edge edge, const QString &title, const QString &message,
                            TipView::TipViewAction action, QWidget *anchor, const QRectF &area = {});

    // Every tip presented from now on also offers this action as its
    // second button; none when its title is empty.
    static void setSecondaryAction(TipView::TipViewAction action);
    // Takes a presented tip away (its own button may be the caller) and
    // forgets it.
    static void remove(QPointer<TipView> &view);

    // The width available for a tip at `edge` of an anchor rectangle inside
    // the content rectangle.
    static double availableWidth(TipView::Edge edge, const QRectF &anchor, const QRectF &content);
    // The message's width limit for an available width.
    static double labelLimit(double availableWidth);
};

// Views that can show an onboarding tip.
class TipHandler {
public:
    virtual ~TipHandler() = default;
    virtual void showTip(const Tip &tip) = 0;
};

} // namespace lirra
