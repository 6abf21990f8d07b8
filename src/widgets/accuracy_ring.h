#pragma once

#include "control.h"
#include "core/palette_color.h"

namespace lirra {

// The five-band colour of an accuracy from 0 to 1; the bands are half-open
// (0.3 is orange, 0.5 amber, 0.8 dark amber, 0.9 green).
PaletteColor accuracyColor(double accuracy);

// The accuracy as "88%" in the current locale, without fraction digits.
QString percentText(float accuracy);

// The share of right answers as a ring that fills clockwise from twelve
// o'clock, with the percentage beside it, coloured by accuracy; grey while
// disabled. It shrinks to 90 % while pressed.
class AccuracyRing final : public Control {
    Q_OBJECT
public:
    explicit AccuracyRing(QWidget *parent = nullptr);

    float accuracy() const { return m_accuracy; }
    void setAccuracy(float accuracy);
    // No figure yet (nothing answered): an empty grey ring and a dash, so
    // that no answer never reads as all wrong.
    void clearAccuracy();
    bool hasAccuracy() const { return m_hasAccuracy; }
    double strokeWidth() const { return m_strokeWidth; }
    void setStrokeWidth(double width);

    // The accuracy's colour, kept while the ring is disabled.
    PaletteColor colorName() const { return m_color; }
    QString text() const { return m_text; }
    double scale() const { return isPressed() ? 0.9 : 1.0; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    float m_accuracy = 0;
    bool m_hasAccuracy = true;
    double m_strokeWidth = 6;
    PaletteColor m_color = PaletteColor::teal;
    QString m_text;
};

} // namespace lirra
