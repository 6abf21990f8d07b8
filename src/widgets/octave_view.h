#pragma once

// The geometry of one octave: seven white keys and five black keys above
// them, laid out to the octave's size, and the tour's bubble on a key.

#include "piano_key.h"

#include <QPointer>

#include <functional>
#include <map>

namespace lirra {

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

} // namespace lirra
