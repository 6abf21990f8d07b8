#include "computer_keyboard.h"

#include <array>

namespace lirra {

namespace {

// Semitones above the typed octave's C.
constexpr std::array<std::pair<int, int>, 13> typedKeys = {{
    {Qt::Key_A, 0}, {Qt::Key_W, 1}, {Qt::Key_S, 2}, {Qt::Key_E, 3}, {Qt::Key_D, 4},
    {Qt::Key_F, 5}, {Qt::Key_T, 6}, {Qt::Key_G, 7}, {Qt::Key_Y, 8}, {Qt::Key_H, 9},
    {Qt::Key_U, 10}, {Qt::Key_J, 11}, {Qt::Key_K, 12},
}};

} // namespace

std::optional<Note> TypingKeyboard::note(int qtKey) const
{
    for (const auto &[key, semitones] : typedKeys) {
        if (key != qtKey)
            continue;
        const int octave = m_octave + semitones / 12;
        if (octave > highestOctave)
            return std::nullopt;
        return Note{allNoteNames[size_t(semitones % 12)], std::uint8_t(octave)};
    }
    return std::nullopt;
}

bool TypingKeyboard::moveOctave(int qtKey)
{
    if (qtKey == Qt::Key_Z) {
        m_octave = std::max<std::uint8_t>(lowestOctave, m_octave - 1);
        return true;
    }
    if (qtKey == Qt::Key_X) {
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
    }
    return {};
}

} // namespace lirra
