#include "computer_keyboard.h"

#include <array>

namespace lirra {

namespace {

struct Place {
    TypingKey key;
    quint32 keycode; // the kernel's code plus 8
    int usLetter;
};

constexpr std::array<Place, 15> places = {{
    {TypingKey::c, 38, Qt::Key_A},       {TypingKey::cSharp, 25, Qt::Key_W}, {TypingKey::d, 39, Qt::Key_S},
    {TypingKey::dSharp, 26, Qt::Key_E},  {TypingKey::e, 40, Qt::Key_D},      {TypingKey::f, 41, Qt::Key_F},
    {TypingKey::fSharp, 28, Qt::Key_T},  {TypingKey::g, 42, Qt::Key_G},      {TypingKey::gSharp, 29, Qt::Key_Y},
    {TypingKey::a, 43, Qt::Key_H},       {TypingKey::aSharp, 30, Qt::Key_U}, {TypingKey::b, 44, Qt::Key_J},
    {TypingKey::cAbove, 45, Qt::Key_K},  {TypingKey::octaveDown, 52, Qt::Key_Z},
    {TypingKey::octaveUp, 53, Qt::Key_X},
}};

} // namespace

std::optional<TypingKey> typingKey(quint32 nativeScanCode, int qtKey)
{
    for (const Place &place : places) {
        if (nativeScanCode != 0 ? place.keycode == nativeScanCode : place.usLetter == qtKey)
            return place.key;
    }
    return std::nullopt;
}

quint32 keycodeOf(TypingKey key)
{
    return places[size_t(key)].keycode;
}

std::optional<int> degreeKey(quint32 nativeScanCode, int qtKey)
{
    // The kernel's KEY_1 … KEY_7 are 2 … 8.
    if (nativeScanCode != 0)
        return nativeScanCode >= 10 && nativeScanCode <= 16 ? std::optional(int(nativeScanCode) - 9) : std::nullopt;
    return qtKey >= Qt::Key_1 && qtKey <= Qt::Key_7 ? std::optional(qtKey - Qt::Key_1 + 1) : std::nullopt;
}

std::optional<Note> TypingKeyboard::note(TypingKey key) const
{
    if (key == TypingKey::octaveDown || key == TypingKey::octaveUp)
        return std::nullopt;
    const int semitones = int(key);
    const int octave = m_octave + semitones / 12;
    if (octave > highestOctave)
        return std::nullopt;
    return Note{allNoteNames[size_t(semitones % 12)], std::uint8_t(octave)};
}

bool TypingKeyboard::moveOctave(TypingKey key)
{
    if (key == TypingKey::octaveDown) {
        m_octave = std::max<std::uint8_t>(lowestOctave, m_octave - 1);
        return true;
    }
    if (key == TypingKey::octaveUp) {
        m_octave = std::min<std::uint8_t>(highestOctave, m_octave + 1);
        return true;
    }
    return false;
}

QList<QKeySequence> shortcuts(Command command)
{
    switch (command) {
    case Command::startStop: return {QKeySequence(Qt::Key_Space)};
    case Command::repeat: return {QKeySequence(Qt::Key_R)};
    case Command::previousLevel: return {QKeySequence(Qt::Key_Left)};
    case Command::nextLevel: return {QKeySequence(Qt::Key_Right)};
    case Command::firstLevel: return {QKeySequence(Qt::Key_Home)};
    case Command::randomLevel: return {QKeySequence(Qt::Key_N)};
    case Command::configureLevel: return {QKeySequence(Qt::Key_L)};
    case Command::accuracy: return {QKeySequence(Qt::Key_I)};
    case Command::confirm: return {QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)};
    case Command::cancel: return {QKeySequence(Qt::Key_Escape)};
    case Command::quit: return {QKeySequence(Qt::CTRL | Qt::Key_Q)};
    case Command::tour: return {QKeySequence(Qt::Key_F1)};
    case Command::chooseLevel: return {QKeySequence(Qt::CTRL | Qt::Key_G)};
    case Command::saveLevel: return {QKeySequence(Qt::CTRL | Qt::Key_S)};
    case Command::preferences: return {QKeySequence(Qt::CTRL | Qt::Key_Comma)};
    case Command::confusions: return {QKeySequence(Qt::Key_C)};
    case Command::questionLength: return {QKeySequence(Qt::CTRL | Qt::Key_M)};
    case Command::questionKind: return {QKeySequence(Qt::CTRL | Qt::Key_K)};
    }
    return {};
}

} // namespace lirra
