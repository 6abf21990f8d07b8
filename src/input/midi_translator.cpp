#include "midi_translator.h"

namespace lirra {

Note keyboardNote(int midiKey)
{
    int key = midiKey;
    while (key < 60)
        key += 12;
    while (key > 83)
        key -= 12;
    return Note{allNoteNames[size_t(key % 12)], std::uint8_t(key < 72 ? 1 : 2)};
}

namespace {

int dataBytes(std::uint8_t status)
{
    switch (status & 0xF0) {
    case 0xC0: // program change
    case 0xD0: // channel pressure
        return 1;
    default:
        return 2;
    }
}

// Data bytes that follow a system common status.
int systemCommonDataBytes(std::uint8_t status)
{
    switch (status) {
    case 0xF1: return 1; // time code quarter frame
    case 0xF2: return 2; // song position
    case 0xF3: return 1; // song select
    default: return 0;
    }
}

} // namespace

std::vector<NoteInput> MidiTranslator::translate(std::span<const std::uint8_t> bytes)
{
    std::vector<NoteInput> inputs;
    for (const std::uint8_t byte : bytes) {
        if (byte >= 0xF8)
            continue; // real time: changes nothing around it
        if (byte >= 0x80) {
            m_dataCount = 0;
            m_systemDataLeft = 0;
            if (byte < 0xF0) {
                m_status = byte;
                m_inSysEx = false;
            } else {
                // System exclusive and system common messages end running status.
                m_status = 0;
                m_inSysEx = byte == 0xF0;
                m_systemDataLeft = systemCommonDataBytes(byte);
            }
            continue;
        }
        if (m_inSysEx)
            continue;
        if (m_systemDataLeft > 0) {
            --m_systemDataLeft;
            continue;
        }
        if (m_status == 0)
            continue; // data without a status to belong to
        m_data[m_dataCount++] = byte;
        if (m_dataCount < dataBytes(m_status))
            continue;
        m_dataCount = 0;
        const std::uint8_t kind = m_status & 0xF0;
        if (kind == 0x90)
            inputs.push_back(NoteInput{keyboardNote(m_data[0]), m_data[1] > 0});
        else if (kind == 0x80)
            inputs.push_back(NoteInput{keyboardNote(m_data[0]), false});
    }
    return inputs;
}

} // namespace lirra
