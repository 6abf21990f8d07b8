#pragma once

// One key of the on-screen piano, and how it is painted: its label, its
// tint, its mark and its focus; a white key and a black key.

#include "control.h"
#include "key_access.h"
#include "model/note.h"
#include "tip_view.h"

#include <array>
#include <optional>

namespace lirra {

// The white and the black keys of an octave, in order.
inline constexpr std::array<NoteName, 7> whiteKeyNames = {NoteName::c, NoteName::d, NoteName::e, NoteName::f,
                                                          NoteName::g, NoteName::a, NoteName::b};
inline constexpr std::array<NoteName, 5> blackKeyNames = {NoteName::cSharp, NoteName::dSharp, NoteName::fSharp,
                                                          NoteName::gSharp, NoteName::aSharp};
// How far down the white keys the black keys reach.
inline constexpr double blackKeyShare = 1 / 1.5;

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

    // What the key stands for said whole ("IV, F major chord"), in place of
    // its label and letter; empty, those are said.
    const QString &spokenName() const { return m_spokenName; }
    void setSpokenName(const QString &name) { m_spokenName = name; }

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
    QString m_spokenName;
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

} // namespace lirra
