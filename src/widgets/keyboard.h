#pragma once

// The on-screen piano: a scrolling strip of octaves, and the keyboard's
// input and focus.

#include "octave_view.h"

#include <QPointer>

#include <functional>
#include <map>
#include <optional>

class QPropertyAnimation;
class QScrollArea;

namespace lirra {

struct KeyboardViewDelegate {
    std::function<void(Note)> didPressNote;
    std::function<void(Note)> didReleaseNote;
    std::function<void()> didDismissTip;
};

// A horizontally scrolling strip of octaves without scroll bars; an octave is
// 0.88 of the keyboard's width up to 860 pixels, keeps that size on wider
// keyboards until two octaves fill them, and is half the width beyond. Keys
// take the keyboard's whole height. Notes outside its octaves are ignored.
class KeyboardView final : public QWidget, public TipHandler {
    Q_OBJECT
public:
    KeyboardView(std::uint8_t lowest, std::uint8_t highest, QWidget *parent = nullptr);

    const std::vector<OctaveView *> &octaveViews() const { return m_octaveViews; }
    OctaveView *octaveView(std::uint8_t octave) const;
    Key *key(Note note) const;

    void setKeysEnabled(bool enabled);
    void setKeysEnabled(bool enabled, const std::vector<Note> &notes);
    void setTint(const std::optional<QColor> &tint);
    void setTint(const std::optional<QColor> &tint, const std::vector<Note> &notes);
    void setTint(const QColor &tint, double fraction, Note note);
    void setText(const std::optional<QString> &text);
    // The mark on the note's key; a note outside the keyboard is ignored.
    void setMark(KeyMark mark, Note note);
    // The i-th text goes on the i-th note's key; nothing happens unless both
    // lists have the same, non-zero length.
    void setTexts(const QStringList &texts, const std::vector<Note> &notes);

    // Scrolls just enough to show the whole key.
    void reveal(Key *key);
    KeyFocus *keyFocus() const { return m_focus; }

    // The width of one octave on a keyboard of the given width.
    static double octaveWidthFor(int width);

    // Brings the note's key to the left edge, over 0.2 s when animated.
    void scroll(Note note, bool animated);
    // Scrolls so that the notes show: all of them, centred, where they fit,
    // else from the lowest; kept so when the size changes.
    void scrollToShow(const std::vector<Note> &notes, bool animated);
    int scrollPosition() const;

    // Presses and releases the note's key as a click would: ignored while
    // the keyboard ignores clicks, or the key is disabled or not shown.
    bool pressKey(Note note);
    bool releaseKey(Note note);

    // While false, clicks anywhere on the keyboard are ignored.
    void setAcceptsInteraction(bool accepts);
    bool acceptsInteraction() const;

    // On the first octave with an enabled white key; with none, on the
    // keyboard itself.
    void showTip(const Tip &tip) override;
    // Takes away a presented tip without reporting a dismissal.
    void removeTip();
    TipView *tipView() const;

    std::optional<KeyboardViewDelegate> delegate;

protected:
    void resizeEvent(QResizeEvent *event) override;
    // A screen shown for the first time is laid out after its keyboard was
    // told where to scroll: it scrolls there again once it has its size.
    void showEvent(QShowEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    std::uint8_t m_lowest;
    std::uint8_t m_highest;
    QScrollArea *m_scrollArea;
    QWidget *m_contentView;
    std::vector<OctaveView *> m_octaveViews;
    QPointer<QPropertyAnimation> m_scrollAnimation;
    // The key last scrolled to, kept at the left edge when the size changes.
    std::optional<Note> m_scrollTarget;
    // The notes last scrolled to show, kept in view when the size changes.
    std::vector<Note> m_scrollNotes;
    void scrollTo(int target, bool animated);
    void scrollAgain();
    QPointer<TipView> m_ownTipView;
    KeyFocus *m_focus = nullptr;
};

} // namespace lirra
