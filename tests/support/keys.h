#pragma once

#include "support/clicks.h"

#include "widgets/keyboard.h"

namespace lirra::test {

// Where a user clicks a key: low on a white key, below the black keys.
inline QPointF keyPoint(Key *key)
{
    return isBlackKey(key->name()) ? QRectF(key->rect()).center() : QPointF(key->width() / 2.0, key->height() * 0.85);
}

// Scrolls the key into view and clicks it.
inline void clickKey(KeyboardView *keyboard, Note note)
{
    keyboard->scroll(note, false);
    click(keyboard->key(note), keyPoint(keyboard->key(note)));
}

} // namespace lirra::test
