#pragma once

#include "control.h"
#include "key_access.h"
#include "model/note.h"
#include "tip_view.h"

#include <QPointer>

#include <array>
#include <functional>
#include <map>
#include <optional>

class QPropertyAnimation;
class QScrollArea;

namespace lirra {

// What the keys of the keyboard share: a label, a tint that may fill part of
// the key from the bottom, and the label colour that follows the tint.
class Key : public Control {
    Q_OBJECT
public:
    NoteName name() const { return m_name; }

    const std::optional<QString> &text() const { return m_text; }
    void setText(const std::optional<QString> &text);

    // Stores the colour and fills the whole key; no colour clears the tint.
    void setTint(const std::optional<QColor> &tint);
    // Fills the given fraction of the key's height, from the bottom.
    void setTint(const QColor &tint, double fraction);
    const std::optional<QColor> &tint() const { return m_tint; }
    // The fill as drawn: its colour and fraction, if shown.
    const std::optional<QColor> &fillColor() const { return m_fill; }
    double fillFraction() const { return m_fraction; }
    const QColor &labelColor() const { return m_labelColor; }

    void setSelected(bool selected) override;

    KeyMark mark() const { return m_mark; }
    void setMark(KeyMark mark);

protected:
    Key(NoteName name, QColor defaultLabelColor, QWidget *parent);

    // Draws the label's text against the bottom of `box`, shrunk to fit it;
    // returns the top of the text.
    double drawLabel(QPainter &painter, const QRectF &box, const QFont &font, bool stackAlternatives) const;

private:
    void applyFill(const QColor &tint, double fraction);

    NoteName m_name;
    QColor m_defaultLabelColor;
    std::optional<QString> m_text;
    std::optional<QColor> m_tint;
    std::optional<QColor> m_fill;
    double m_fraction = 0;
    QColor m_labelColor;
    KeyMark m_mark = KeyMark::none;
};

class WhiteKey final : public Key, public TipHandler {
    Q_OBJECT
public:
    WhiteKey(NoteName name, QWidget *parent = nullptr);

    // The key's surface: one pixel in from each side (two while pressed),
    // two above the bottom.
    QRectF keySurface() const;
    // Where the label goes: below where the black keys reach.
    QRectF labelBox() const;

    // Presents the tip on this key; its button removes it and reports the
    // dismissal through the `tipDismissed` event.
    void showTip(const Tip &tip) override;
    TipView *tipView() const { return m_tipView; }
    void removeTip();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QPointer<TipView> m_tipView;
};

class BlackKey final : public Key {
    Q_OBJECT
public:
    BlackKey(NoteName name, QWidget *parent = nullptr);

    // The key's surface: eight pixels in from each side, reaching 24 pixels
    // above the bottom of the bevel (16 while pressed).
    QRectF keySurface() const;
    bool isBevelFillVisible() const;

protected:
    void paintEvent(QPaintEvent *event) override;
};

struct OctaveViewDelegate {
    std::function<void(NoteName, std::uint8_t)> didPressNote;
    std::function<void(NoteName, std::uint8_t)> didReleaseNote;
    std::function<void()> didDismissTip;
};

// Seven white keys and five black keys above them.
class OctaveView final : public QWidget, public TipHandler {
    Q_OBJECT
public:
    OctaveView(std::uint8_t octave, QWidget *parent = nullptr);

    std::uint8_t octave() const { return m_octave; }
    Key *key(NoteName name) const;
    WhiteKey *whiteKey(NoteName name) const;
    BlackKey *blackKey(NoteName name) const;

    void setText(const std::optional<QString> &text, NoteName name);
    void setTint(const std::optional<QColor> &tint, NoteName name);
    void setSelected(bool selected, NoteName name);

    // Presents the tip on an enabled white key; false when none is enabled.
    void showTip(const Tip &tip) override;
    bool presentTip(const Tip &tip);
    void removeTip();

    // Where a key lies in an octave of the given size: white key i at w·i,
    // black keys half as wide and 1/1.5 as high, from one pixel above the top.
    static QRectF keyFrame(NoteName name, QSizeF octaveSize);

    std::optional<OctaveViewDelegate> delegate;

protected:
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    std::uint8_t m_octave;
    std::map<NoteName, WhiteKey *> m_naturalNotes;
    std::map<NoteName, BlackKey *> m_accidentalNotes;
};

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
