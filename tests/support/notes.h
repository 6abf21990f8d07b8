#pragma once

#include "model/music.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace lirra::test {

// A pitch class, 0 to 11 from C, as these helpers write it: "C", "F#".
inline QLatin1String pitchClassName(int pitchClass)
{
    static const char *names[] = {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"};
    return QLatin1String(names[pitchClass]);
}

// "C1", "F#2" → a Note.
inline Note note(QStringView text)
{
    const QString name = text.chopped(1).toString();
    for (int i = 0; i < 12; ++i) {
        if (name == pitchClassName(i))
            return Note{allNoteNames[size_t(i)], std::uint8_t(text.right(1).toInt())};
    }
    qFatal("not a note: %s", qPrintable(text.toString()));
}

// "C1 D1 F#1" → notes in that order.
inline std::vector<Note> notes(const QString &text)
{
    std::vector<Note> result;
    for (const QString &word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        result.push_back(note(word));
    return result;
}

inline QString text(const std::vector<Note> &list)
{
    QStringList words;
    for (const Note &n : list)
        words << pitchClassName(index(n.name)) + QString::number(n.octave);
    return words.join(QLatin1Char(' '));
}

} // namespace lirra::test
