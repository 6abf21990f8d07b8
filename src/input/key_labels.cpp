#include "key_labels.h"

#include <QGuiApplication>
#include <QStringList>
#include <QtGui/qguiapplication_platform.h>

#include <X11/XKBlib.h>
#include <xkbcommon/xkbcommon.h>

#include <array>

namespace lirra {

namespace {

constexpr std::array<char, 15> usLetters = {'A', 'W', 'S', 'E', 'D', 'F', 'T', 'G', 'Y', 'H', 'U', 'J', 'K', 'Z', 'X'};

QString labels(std::initializer_list<TypingKey> keys)
{
    QStringList names;
    for (TypingKey key : keys)
        names << keyLabel(key);
    return names.join(QLatin1Char(' '));
}

} // namespace

QString keyLabel(TypingKey key)
{
    const QString us(QLatin1Char(usLetters[size_t(key)]));
    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    Display *display = x11 ? x11->display() : nullptr;
    if (!display)
        return us;
    // The symbol of the key's first level in the group the user types in.
    XkbStateRec state{};
    const unsigned group = XkbGetState(display, XkbUseCoreKbd, &state) == Success ? state.group : 0;
    const KeySym symbol = XkbKeycodeToKeysym(display, KeyCode(keycodeOf(key)), int(group), 0);
    const char32_t character = symbol == NoSymbol ? 0 : xkb_keysym_to_utf32(xkb_keysym_t(symbol));
    if (character <= U' ' || character == 0x7F)
        return us;
    return QString::fromUcs4(&character, 1).toUpper();
}

QString whiteKeyLabels()
{
    using K = TypingKey;
    return labels({K::c, K::d, K::e, K::f, K::g, K::a, K::b, K::cAbove});
}

QString blackKeyLabels()
{
    using K = TypingKey;
    return labels({K::cSharp, K::dSharp, K::fSharp, K::gSharp, K::aSharp});
}

QString octaveKeyLabels()
{
    return labels({TypingKey::octaveDown, TypingKey::octaveUp});
}

} // namespace lirra
