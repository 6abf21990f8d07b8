#include "palette.h"

#include <QApplication>
#include <QFile>
#include <QHash>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <array>
#include <cmath>

namespace lirra {

namespace {

const char *storedName(PaletteColor name)
{
    switch (name) {
    case PaletteColor::amber: return "amber";
    case PaletteColor::darkAmber: return "darkAmber";
    case PaletteColor::buttonForeground: return "button-foreground";
    case PaletteColor::dark: return "dark";
    case PaletteColor::keyBed: return "key-bed";
    case PaletteColor::tooltip: return "tooltip";
    case PaletteColor::tooltipText: return "tooltip-text";
    case PaletteColor::keyLabel: return "key-label";
    case PaletteColor::focus: return "focus";
    case PaletteColor::green: return "green";
    case PaletteColor::red: return "red";
    case PaletteColor::teal: return "teal";
    case PaletteColor::orange: return "orange";
    case PaletteColor::yellow: return "yellow";
    case PaletteColor::cyan: return "cyan";
    case PaletteColor::blue: return "blue";
    case PaletteColor::pink: return "pink";
    case PaletteColor::purple: return "purple";
    case PaletteColor::mint: return "mint";
    case PaletteColor::brown: return "brown";
    case PaletteColor::indigo: return "indigo";
    case PaletteColor::lightGray: return "lightGray";
    case PaletteColor::white: return "white";
    case PaletteColor::black: return "black";
    }
    return "";
}

const QJsonObject &paletteTable()
{
    static const QJsonObject table = [] {
        QFile file(QStringLiteral(":/palette/palette.json"));
        if (!file.open(QIODevice::ReadOnly))
            qFatal("the palette resource is missing");
        return QJsonDocument::fromJson(file.readAll()).object();
    }();
    return table;
}

} // namespace

QColor color(PaletteColor name)
{
    const QColor resolved(paletteTable().value(QLatin1String(storedName(name))).toString());
    // A missing entry shows itself in magenta rather than passing unnoticed.
    return resolved.isValid() ? resolved : QColor(Qt::magenta);
}

QFont textFont(TextStyle style)
{
    QFont result = QApplication::font();
    const auto set = [&result](int pixels, QFont::Weight weight) {
        result.setPixelSize(pixels);
        result.setWeight(weight);
    };
    switch (style) {
    case TextStyle::whiteKeyLabel: set(17, QFont::Medium); break;
    case TextStyle::body: set(15, QFont::Normal); break;
    case TextStyle::tipMessage: set(13, QFont::Normal); break;
    case TextStyle::emphasis: set(13, QFont::DemiBold); break;
    case TextStyle::blackKeyLabel: set(11, QFont::Bold); break;
    }
    return result;
}

QColor shifted(const QColor &color, double amount)
{
    const QColor rgb = color.toRgb();
    const auto move = [amount](float channel) { return std::clamp(double(channel) + amount, 0.0, 1.0); };
    return QColor::fromRgbF(float(move(rgb.redF())), float(move(rgb.greenF())), float(move(rgb.blueF())), rgb.alphaF());
}

double relativeLuminance(const QColor &color)
{
    const QColor rgb = color.toRgb();
    const auto linear = [](double c) { return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); };
    return 0.2126 * linear(rgb.redF()) + 0.7152 * linear(rgb.greenF()) + 0.0722 * linear(rgb.blueF());
}

double contrastRatio(const QColor &a, const QColor &b)
{
    const double la = relativeLuminance(a);
    const double lb = relativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor readableOn(const QColor &background)
{
    // The app's dark text or white when either reads well. When white does
    // not, the background is light enough that black reads at over 4.6:1.
    for (const QColor &candidate : {color(PaletteColor::dark), QColor(Qt::white)}) {
        if (contrastRatio(candidate, background) >= 4.5)
            return candidate;
    }
    return QColor(Qt::black);
}

} // namespace lirra
