#pragma once

// What the user's keyboard layout prints on the keys of musical typing, so
// that the app names them as the user sees them.

#include "input/computer_keyboard.h"

#include <QString>

namespace lirra {

// The key's letter on the layout in use, in upper case, asked of the X
// server; where it cannot be asked (Wayland, no display) the letter a US
// layout has there.
QString keyLabel(TypingKey key);

// "A S D F G H J K", "W E T Y U" and "Z X" on the layout in use.
QString whiteKeyLabels();
QString blackKeyLabels();
QString octaveKeyLabels();

} // namespace lirra
