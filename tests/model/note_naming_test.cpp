#include "support/test_registry.h"

#include "model/note_naming.h"
#include "model/settings.h"

#include <QTest>

using namespace lirra;

namespace {

// Each key's twelve notes from its tonic up, a semitone apart, as a
// musician of that key writes them: the degrees 1 ♭2 2 ♭3 3 4 ♯4 5 ♭6 6 ♭7
// 7 on the letters their numbers count up to.
const std::map<QString, QString> lettersFromTonic = {
    {"C", "C D♭ D E♭ E F F♯ G A♭ A B♭ B"},
    {"D♭", "D♭ E♭♭ E♭ F♭ F G♭ G A♭ B♭♭ B♭ C♭ C"},
    {"C♯", "C♯ D D♯ E E♯ F♯ F♯♯ G♯ A A♯ B B♯"},
    {"D", "D E♭ E F F♯ G G♯ A B♭ B C C♯"},
    {"E♭", "E♭ F♭ F G♭ G A♭ A B♭ C♭ C D♭ D"},
    {"E", "E F F♯ G G♯ A A♯ B C C♯ D D♯"},
    {"F", "F G♭ G A♭ A B♭ B C D♭ D E♭ E"},
    {"F♯", "F♯ G G♯ A A♯ B B♯ C♯ D D♯ E E♯"},
    {"G", "G A♭ A B♭ B C C♯ D E♭ E F F♯"},
    {"A♭", "A♭ B♭♭ B♭ C♭ C D♭ D E♭ F♭ F G♭ G"},
    {"G♯", "G♯ A A♯ B B♯ C♯ C♯♯ D♯ E E♯ F♯ F♯♯"},
    {"A", "A B♭ B C C♯ D D♯ E F F♯ G G♯"},
    {"B♭", "B♭ C♭ C D♭ D E♭ E F G♭ G A♭ A"},
    {"B", "B C C♯ D D♯ E E♯ F♯ G G♯ A A♯"},
};

const QString syllablesByFunction = QStringLiteral("Do Ra Re Me Mi Fa Fi Sol Le La Te Ti");
const QString degreeNumbers = QStringLiteral("1 ♭2 2 ♭3 3 4 ♯4 5 ♭6 6 ♭7 7");
// Out of the box: the syllables by distance, a note between two degrees
// with both; the letters with both of a black key's names.
const QString syllablesByDistance =
    QStringLiteral("Do|Di / Ra|Re|Ri / Me|Mi|Fa|Fi / Se|Sol|Si / Le|La|Li / Te|Ti");
const QString bothLetters = QStringLiteral("C|C♯ / D♭|D|D♯ / E♭|E|F|F♯ / G♭|G|G♯ / A♭|A|A♯ / B♭|B");

QStringList labels(NoteName key, bool isMajor, NoteNaming naming, NamePlace place, const QString &language = {})
{
    QStringList result;
    for (int step = 0; step < 12; ++step)
        result << noteLabel(transposed(key, step), key, isMajor, naming, place, language);
    return result;
}

QStringList rotated(const QStringList &fromC, NoteName key)
{
    QStringList result;
    for (int step = 0; step < 12; ++step)
        result << fromC[(index(key) + step) % 12];
    return result;
}

} // namespace

Q_DECLARE_METATYPE(lirra::NoteName)
Q_DECLARE_METATYPE(lirra::NoteNaming)

class NoteNamingTest : public QObject {
    Q_OBJECT

private slots:
    // All 24 keys, every degree, every way of naming.
    void everyKeyEveryDegree_data()
    {
        QTest::addColumn<NoteName>("key");
        QTest::addColumn<bool>("isMajor");
        QTest::addColumn<QString>("tonic");
        const char *majorTonics[] = {"C", "D♭", "D", "E♭", "E", "F", "F♯", "G", "A♭", "A", "B♭", "B"};
        const char *minorTonics[] = {"C", "C♯", "D", "E♭", "E", "F", "F♯", "G", "G♯", "A", "B♭", "B"};
        for (NoteName key : allNoteNames) {
            const auto i = size_t(index(key));
            QTest::addRow("%s major", majorTonics[i]) << key << true << QString::fromUtf8(majorTonics[i]);
            QTest::addRow("%s minor", minorTonics[i]) << key << false << QString::fromUtf8(minorTonics[i]);
        }
    }
    void everyKeyEveryDegree()
    {
        QFETCH(NoteName, key);
        QFETCH(bool, isMajor);
        QFETCH(QString, tonic);
        const auto place = NamePlace::noteLists;
        QCOMPARE(labels(key, isMajor, NoteNaming::lettersForKey, place, "en").join(' '), lettersFromTonic.at(tonic));
        QCOMPARE(labels(key, isMajor, NoteNaming::solfegeForKey, place, "en").join(' '), syllablesByFunction);
        QCOMPARE(labels(key, isMajor, NoteNaming::degrees, place, "en").join(' '), degreeNumbers);
        QCOMPARE(labels(key, isMajor, NoteNaming::solfege, NamePlace::practiceKeys), syllablesByDistance.split('|'));
        QCOMPARE(labels(key, isMajor, NoteNaming::solfege, NamePlace::noteLists), rotated(bothLetters.split('|'), key));
        QCOMPARE(letterName(tonicSpelling(key, isMajor), "en"), tonic);
    }

    // German and French name the same spellings from their own tables.
    void otherLanguages_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<NoteName>("key");
        QTest::addColumn<bool>("isMajor");
        QTest::addColumn<NoteNaming>("naming");
        QTest::addColumn<QString>("expected");
        const auto letters = NoteNaming::lettersForKey;
        QTest::newRow("de F major") << "de" << NoteName::f << true << letters << "F Ges G As A B H C Des D Es E";
        QTest::newRow("de E♭ minor") << "de" << NoteName::dSharp << false << letters << "Es Fes F Ges G As A B Ces C Des D";
        QTest::newRow("de D♭ major") << "de" << NoteName::cSharp << true << letters << "Des Eses Es Fes F Ges G As Heses B Ces C";
        QTest::newRow("de G♯ minor") << "de" << NoteName::gSharp << false << letters << "Gis A Ais H His Cis Cisis Dis E Eis Fis Fisis";
        QTest::newRow("de B major") << "de" << NoteName::b << true << letters << "H C Cis D Dis E Eis Fis G Gis A Ais";
        // German sings "so" for the fifth.
        QTest::newRow("de syllables") << "de" << NoteName::c << false << NoteNaming::solfegeForKey
                                      << "Do Ra Re Me Mi Fa Fi So Le La Te Ti";
        QTest::newRow("fr F major") << "fr" << NoteName::f << true << letters << "fa sol♭ sol la♭ la si♭ si do ré♭ ré mi♭ mi";
        QTest::newRow("fr E♭ minor") << "fr" << NoteName::dSharp << false << letters << "mi♭ fa♭ fa sol♭ sol la♭ la si♭ do♭ do ré♭ ré";
        QTest::newRow("fr C♯ minor") << "fr" << NoteName::cSharp << false << letters << "do♯ ré ré♯ mi mi♯ fa♯ fa♯♯ sol♯ la la♯ si si♯";
        QTest::newRow("fr syllables are degrees") << "fr" << NoteName::c << false << NoteNaming::solfegeForKey
                                                  << "1 ♭2 2 ♭3 3 4 ♯4 5 ♭6 6 ♭7 7";
    }
    void otherLanguages()
    {
        QFETCH(QString, language);
        QFETCH(NoteName, key);
        QFETCH(bool, isMajor);
        QFETCH(NoteNaming, naming);
        QFETCH(QString, expected);
        QCOMPARE(labels(key, isMajor, naming, NamePlace::noteLists, language).join(' '), expected);
    }

    // What the settings file keeps reads back, and nothing else does.
    void storedTexts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("isPreset");
        QTest::addColumn<int>("bank");
        QTest::addColumn<int>("program");
        QTest::newRow("piano") << "0:0" << true << 0 << 0;
        QTest::newRow("strings") << "0:48" << true << 0 << 48;
        QTest::newRow("variation bank") << "8:4" << true << 8 << 4;
        QTest::newRow("highest") << "16383:127" << true << 16383 << 127;
        QTest::newRow("program too high") << "0:128" << false << 0 << 0;
        QTest::newRow("bank too high") << "16384:0" << false << 0 << 0;
        QTest::newRow("negative") << "-1:0" << false << 0 << 0;
        QTest::newRow("spaces") << " 0:1" << false << 0 << 0;
        QTest::newRow("one number") << "48" << false << 0 << 0;
        QTest::newRow("three parts") << "0:1:2" << false << 0 << 0;
        QTest::newRow("words") << "piano" << false << 0 << 0;
        QTest::newRow("empty") << "" << false << 0 << 0;
        QTest::newRow("huge") << "99999999999999999999:1" << false << 0 << 0;
    }
    void storedTexts()
    {
        QFETCH(QString, text);
        QFETCH(bool, isPreset);
        QFETCH(int, bank);
        QFETCH(int, program);
        const std::optional<Preset> preset = presetFromText(text);
        QCOMPARE(preset.has_value(), isPreset);
        if (preset) {
            QCOMPARE(*preset, (Preset{bank, program}));
            QCOMPARE(presetText(*preset), text);
        }
    }
};

LIRRA_TEST(NoteNamingTest)
#include "note_naming_test.moc"
