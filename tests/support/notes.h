#pragma once

#include "model/music.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace lirra::test {

// "C1", "F#2" → a Note.
inline Note note(QStringView text)
{
    static const char *names[] = {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"};
    const QString name = text.chopped(1).toString();
    for (int i = 0; i < 12; ++i) {
        if (name == QLatin1String(names[i]))
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
    static const char *names[] = {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"};
    QStringList words;
    for (const Note &n : list)
        words << QString::fromLatin1(names[index(n.name)]) + QString::number(n.octave);
    return words.join(QLatin1Char(' '));
}

} // namespace lirra::test
