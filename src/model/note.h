#pragma once

#include <QHashFunctions>
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <functional>
#include <optional>

namespace lirra {

// The twelve pitch classes. The raw value is index + 12; the declaration
// order is the order used everywhere (c first).
enum class NoteName : std::uint8_t {
    c = 12, cSharp, d, dSharp, e, f, fSharp, g, gSharp, a, aSharp, b
};

inline constexpr std::array<NoteName, 12> allNoteNames = {
    NoteName::c, NoteName::cSharp, NoteName::d, NoteName::dSharp,
    NoteName::e, NoteName::f, NoteName::fSharp, NoteName::g,
    NoteName::gSharp, NoteName::a, NoteName::aSharp, NoteName::b,
};

constexpr std::uint8_t rawValue(NoteName name) { return static_cast<std::uint8_t>(name); }
constexpr int index(NoteName name) { return rawValue(name) - 12; }

constexpr std::optional<NoteName> noteNameFromRawValue(int raw)
{
    if (raw < 12 || raw > 23)
        return std::nullopt;
    return static_cast<NoteName>(raw);
}

constexpr bool isBlackKey(NoteName name)
{
    switch (name) {
    case NoteName::cSharp: case NoteName::dSharp: case NoteName::fSharp:
    case NoteName::gSharp: case NoteName::aSharp:
        return true;
    default:
        return false;
    }
}

// Distance 0–11 of `name` above `key` inside one octave.
constexpr int semitones(NoteName name, NoteName above)
{
    const int d = index(name) - index(above);
    return d < 0 ? d + 12 : d;
}

// The name `by` semitones above `name`, wrapping from b to c.
constexpr NoteName transposed(NoteName name, int by)
{
    const int i = ((index(name) + by) % 12 + 12) % 12;
    return static_cast<NoteName>(i + 12);
}

// The string table's key for a note's name: "C", "cSharp", … "B".
const char *nameKey(NoteName name);
// "C", or "C♯ / D♭" for a black key, from the string table.
QString localizedName(NoteName name);

// Movable-do labels indexed by semitones above the key.
const QStringList &solfegeSyllables();

struct Note {
    NoteName name = NoteName::c;
    std::uint8_t octave = 1;

    friend bool operator==(const Note &, const Note &) = default;
};

inline size_t qHash(const Note &note, size_t seed = 0) noexcept
{
    return qHashMulti(seed, rawValue(note.name), note.octave);
}

} // namespace lirra

template <>
struct std::hash<lirra::Note> {
    size_t operator()(const lirra::Note &note) const noexcept { return lirra::qHash(note, 0); }
};
