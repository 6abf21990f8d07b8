#include "chords.h"

#include "model/localization.h"
#include "model/note_naming.h"

#include <algorithm>

namespace lirra {

QString kindText(QuestionKind kind)
{
    return kind == QuestionKind::chord ? QStringLiteral("chord") : QStringLiteral("note");
}

std::optional<QuestionKind> kindFromText(const QString &text)
{
    if (text == QLatin1String("note"))
        return QuestionKind::note;
    if (text == QLatin1String("chord"))
        return QuestionKind::chord;
    return std::nullopt;
}

namespace {

struct Degree {
    ChordQuality quality;
    const char *numeral;
};

using Q = ChordQuality;

// By semitones above the tonic.
constexpr std::array<Degree, 12> majorKey = {{
    {Q::major, "I"}, {Q::major, "♭II"}, {Q::minor, "ii"}, {Q::major, "♭III"},
    {Q::minor, "iii"}, {Q::major, "IV"}, {Q::diminished, "♯iv°"}, {Q::major, "V"},
    {Q::major, "♭VI"}, {Q::minor, "vi"}, {Q::major, "♭VII"}, {Q::diminished, "vii°"},
}};
constexpr std::array<Degree, 12> minorKey = {{
    {Q::minor, "i"}, {Q::major, "♭II"}, {Q::diminished, "ii°"}, {Q::major, "III"},
    {Q::minor, "♮iii"}, {Q::minor, "iv"}, {Q::diminished, "♯iv°"}, {Q::major, "V"},
    {Q::major, "VI"}, {Q::minor, "♮vi"}, {Q::major, "VII"}, {Q::diminished, "vii°"},
}};

std::array<int, 3> intervals(ChordQuality quality)
{
    switch (quality) {
    case Q::major: return {0, 4, 7};
    case Q::minor: return {0, 3, 7};
    case Q::diminished: return {0, 3, 6};
    }
    return {0, 4, 7};
}

} // namespace

std::array<NoteName, 3> Chord::notes() const
{
    const std::array<int, 3> steps = intervals(quality);
    return {transposed(root, steps[0]), transposed(root, steps[1]), transposed(root, steps[2])};
}

Chord chordOf(NoteName root, NoteName key, bool isMajor)
{
    const Degree &degree = (isMajor ? majorKey : minorKey)[size_t(semitones(root, key))];
    return Chord{root, degree.quality, QString::fromUtf8(degree.numeral)};
}

std::vector<int> chordVoicing(const Chord &chord)
{
    // G3 (55) up to F♯4 (66): the triad's top stays at or below C♯5.
    int root = 60 + index(chord.root);
    if (root > 66)
        root -= 12;
    std::vector<int> keys{root - 12};
    for (const int step : intervals(chord.quality))
        keys.push_back(root + step);
    return keys;
}

std::optional<NoteName> triadRoot(const std::vector<NoteName> &names)
{
    std::vector<NoteName> classes = names;
    std::sort(classes.begin(), classes.end());
    classes.erase(std::unique(classes.begin(), classes.end()), classes.end());
    if (classes.size() != 3)
        return std::nullopt;
    for (const NoteName root : classes) {
        for (const ChordQuality quality : {Q::major, Q::minor, Q::diminished}) {
            std::array<NoteName, 3> triad = Chord{root, quality, {}}.notes();
            std::sort(triad.begin(), triad.end());
            if (std::equal(triad.begin(), triad.end(), classes.begin()))
                return root;
        }
    }
    return std::nullopt;
}

NoteName degreeRoot(NoteName key, bool isMajor, int degree)
{
    static constexpr std::array<int, 7> major = {0, 2, 4, 5, 7, 9, 11};
    static constexpr std::array<int, 7> minor = {0, 2, 3, 5, 7, 8, 10};
    const size_t step = size_t(std::clamp(degree, 1, 7) - 1);
    return transposed(key, (isMajor ? major : minor)[step]);
}

QString chordName(const Chord &chord, NoteName key, bool isMajor)
{
    const QString root = letterName(spelling(chord.root, key, isMajor));
    switch (chord.quality) {
    case Q::major: return localized("chord.major").arg(root);
    case Q::minor: return localized("chord.minor").arg(root);
    case Q::diminished: return localized("chord.diminished").arg(root);
    }
    return root;
}

} // namespace lirra
