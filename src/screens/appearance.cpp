#include "appearance.h"

#include "widgets/palette.h"

#include <QApplication>
#include <QPalette>
#include <QStyleFactory>

namespace lirra {

void applyDarkAppearance()
{
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    const QColor text(0xf2, 0xf2, 0xf7);
    const QColor muted(0x63, 0x63, 0x66);
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(0x1c, 0x1c, 0x1e));
    dark.setColor(QPalette::WindowText, text);
    dark.setColor(QPalette::Base, QColor(0x12, 0x12, 0x14));
    dark.setColor(QPalette::Text, text);
    dark.setColor(QPalette::Button, QColor(0x2c, 0x2c, 0x2e));
    dark.setColor(QPalette::ButtonText, text);
    dark.setColor(QPalette::ToolTipBase, QColor(0x2c, 0x2c, 0x2e));
    dark.setColor(QPalette::ToolTipText, text);
    dark.setColor(QPalette::Highlight, color(PaletteColor::amber));
    dark.setColor(QPalette::HighlightedText, color(PaletteColor::dark));
    dark.setColor(QPalette::Disabled, QPalette::WindowText, muted);
    dark.setColor(QPalette::Disabled, QPalette::ButtonText, muted);
    dark.setColor(QPalette::Disabled, QPalette::Text, muted);
    QApplication::setPalette(dark);
}

} // namespace lirra
