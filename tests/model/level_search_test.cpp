#include "support/notes.h"
#include "support/test_registry.h"

#include "model/generators.h"
#include "model/level_labels.h"
#include "model/level_search.h"

#include <QTest>

#include <limits>

using namespace lirra;
using lirra::test::notes;

namespace {

Level savedLevel(const QString &name)
{
    Level level = DiatonicLevelGenerator::makeLevel(0, NoteName::d, false, false, NoteRange::entireOctave);
    level.savedId = QUuid::createUuid();
    level.id = savedLevelId(level.savedId);
    level.name = name;
    level.notes = notes(QStringLiteral("D1 F1 A1"));
    return level;
}

} // namespace

class LevelSearchTest : public QObject {
    Q_OBJECT

private slots:
    // How many of the 144 built-in levels and one saved level ("Thirds in
    // D minor") a query finds, with key names in the given language.
    void findsLevels_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("query");
        QTest::addColumn<int>("found");

        QTest::newRow("nothing typed") << "en" << "" << 145;
        QTest::newRow("blanks only") << "en" << "   " << 145;
        QTest::newRow("key and mode") << "en" << "a minor" << 6;
        QTest::newRow("any case") << "en" << "A MINOR" << 6;
        QTest::newRow("# for sharp, a word begun") << "en" << "f# chrom" << 6;
        QTest::newRow("♯ sign") << "en" << "f♯ chromatic" << 6;
        QTest::newRow("b after a letter is flat") << "en" << "eb major" << 6;
        QTest::newRow("♭ sign") << "en" << "e♭ major" << 6;
        QTest::newRow("sharp and flat name one key") << "en" << "g# minor" << 6;
        QTest::newRow("flat spelling of it") << "en" << "ab minor" << 6;
        QTest::newRow("b alone is B") << "en" << "b" << 12;
        QTest::newRow("a key is not a prefix") << "en" << "a" << 12;
        QTest::newRow("range word") << "en" << "upper" << 48;
        QTest::newRow("range in two words") << "en" << "whole octave" << 48;
        QTest::newRow("kind, the saved level too") << "en" << "diatonic" << 73;
        QTest::newRow("key, kind and range") << "en" << "c chrom lower" << 2;
        QTest::newRow("no match") << "en" << "c dorian" << 0;
        QTest::newRow("nonsense") << "en" << "zzz" << 0;
        QTest::newRow("saved level by its name") << "en" << "thirds" << 1;
        QTest::newRow("saved levels by their heading") << "en" << "my" << 1;
        QTest::newRow("saved level by its key") << "en" << "d minor thirds" << 1;

        QTest::newRow("German mode with hyphen") << "de" << "cis-moll" << 6;
        QTest::newRow("German flat name") << "de" << "es-dur" << 6;
        QTest::newRow("German B is B flat and B (English)") << "de" << "b dur" << 6 * 2;
        QTest::newRow("German H") << "de" << "h-moll" << 6;
        QTest::newRow("German range, umlaut dropped") << "de" << "obere halfte" << 48;
        QTest::newRow("German kind") << "de" << "chromatisch" << 72;
        QTest::newRow("English key names in German") << "de" << "f# minor" << 6;
        QTest::newRow("German saved heading") << "de" << "meine" << 1;

        QTest::newRow("French key and mode") << "fr" << "la mineur" << 6;
        QTest::newRow("French flat with b") << "fr" << "sib majeur" << 6;
        QTest::newRow("French accent typed") << "fr" << "ré majeur" << 6;
        QTest::newRow("French accent left out") << "fr" << "re majeur" << 6;
        QTest::newRow("French range") << "fr" << "moitié haute" << 48;
        QTest::newRow("French kind") << "fr" << "chromatique" << 72;
        QTest::newRow("French sharp with #") << "fr" << "do# mineur" << 6;
        QTest::newRow("French no match") << "fr" << "do dorien" << 0;
        // Accidentals spelled out, and the short forms of the mode.
        QTest::newRow("f sharp minor") << "en" << "f sharp minor" << 6;
        QTest::newRow("F sharp major") << "en" << "F sharp major" << 6;
        QTest::newRow("e flat major") << "en" << "e flat major" << 6;
        QTest::newRow("f#m") << "en" << "f#m" << 6;
        QTest::newRow("Bbm") << "en" << "Bbm" << 6;
        QTest::newRow("Cmaj") << "en" << "Cmaj chrom" << 3;
        QTest::newRow("min alone") << "en" << "a min" << 6;
        QTest::newRow("m alone") << "en" << "c m upper" << 2;
        QTest::newRow("am is A minor") << "en" << "am" << 6;
        QTest::newRow("German Dur and Moll") << "de" << "fis moll" << 6;
        QTest::newRow("si bémol") << "fr" << "si bémol" << 12;
        QTest::newRow("mi b mineur") << "fr" << "mi b mineur" << 6;
        QTest::newRow("ré dièse majeur") << "fr" << "ré dièse majeur" << 6;
        QTest::newRow("do majeur") << "fr" << "do majeur" << 6;
    }
    void findsLevels()
    {
        QFETCH(QString, language);
        QFETCH(QString, query);
        QFETCH(int, found);
        std::vector<Level> levels = DiatonicLevelGenerator().generateLevels();
        levels.push_back(savedLevel(QStringLiteral("Thirds in D minor")));
        const LevelSearch search(language);
        const auto count = std::count_if(levels.begin(), levels.end(),
                                         [&](const Level &level) { return search.matches(level, query); });
        QCOMPARE(int(count), found);
    }

    // A search that finds nothing says how it read the words.
    void readAs_data()
    {
        QTest::addColumn<QString>("query");
        QTest::addColumn<QString>("read");
        QTest::newRow("spelled out") << "f sharp minor" << "F♯, minor";
        QTest::newRow("short") << "Bbm" << "B♭, minor";
        QTest::newRow("other words as typed") << "c dorian" << "C, dorian";
    }
    void readAs()
    {
        QFETCH(QString, query);
        QFETCH(QString, read);
        QCOMPARE(LevelSearch(QStringLiteral("en")).readAs(query), read);
    }

    void findsTheRightLevels()
    {
        const LevelSearch search(QStringLiteral("en"));
        for (const Level &level : DiatonicLevelGenerator().generateLevels()) {
            const bool wanted = level.key == NoteName::fSharp && level.isChromatic && level.range == NoteRange::secondHalfOfOctave;
            QCOMPARE(search.matches(level, QStringLiteral("f# chrom upper")), wanted);
        }
    }

    // Levels of one key and mode are told apart wherever they are named.
    void headings_data()
    {
        QTest::addColumn<int>("position"); // in the built-in list; -1 for the narrowing, -2 for a saved level
        QTest::addColumn<QString>("heading");
        QTest::newRow("first") << 0 << "C major · lower half · diatonic";
        QTest::newRow("second") << 1 << "C major · upper half · diatonic";
        QTest::newRow("chromatic whole octave") << 5 << "C major · whole octave · chromatic";
        QTest::newRow("minor") << 6 << "C minor · lower half · diatonic";
        QTest::newRow("narrowing") << -1 << "C major * · C E G";
        QTest::newRow("saved") << -2 << "Thirds in D minor · D minor · my level";
        // A black key by the one name musicians give it in the mode.
        // The catalogue goes C, F, B♭, E♭, A♭, D♭, F♯, B, E, A, D, G, twelve levels each.
        QTest::newRow("B flat major") << 24 << "B♭ major · lower half · diatonic";
        QTest::newRow("F sharp minor") << 78 << "F♯ minor · lower half · diatonic";
        QTest::newRow("E flat minor") << 42 << "E♭ minor · lower half · diatonic";
        QTest::newRow("C sharp minor") << 66 << "C♯ minor · lower half · diatonic";
        QTest::newRow("D flat major") << 60 << "D♭ major · lower half · diatonic";
        QTest::newRow("A flat major") << 48 << "A♭ major · lower half · diatonic";
        QTest::newRow("G sharp minor") << 54 << "G♯ minor · lower half · diatonic";
    }
    void headings()
    {
        QFETCH(int, position);
        QFETCH(QString, heading);
        const std::vector<Level> levels = DiatonicLevelGenerator().generateLevels();
        Level level;
        if (position >= 0) {
            level = levels[size_t(position)];
        } else if (position == -1) {
            level = levels[0];
            level.isCustom = true;
            level.notes = notes(QStringLiteral("G1 C1 E1"));
        } else {
            level = savedLevel(QStringLiteral("Thirds in D minor"));
        }
        QCOMPARE(levelHeading(level), heading);
        // The title itself stays the key and mode alone.
        QVERIFY(!level.title().contains(QStringLiteral("·")));
    }

    void notesAsTheKeyWritesThem_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("major");
        QTest::addColumn<QString>("notes"); // in any order
        QTest::addColumn<QString>("text");
        QTest::newRow("F major writes flats") << int(NoteName::f) << true << "D#2 C2 A#1 F1 A1" << "F A B♭ C E♭";
        QTest::newRow("E major writes sharps") << int(NoteName::e) << true << "D#2 C2 A#1 E1 A1" << "E A A♯ C D♯";
        QTest::newRow("C minor writes flats") << int(NoteName::c) << false << "A#1 E1 D#1 C1 A1" << "C E♭ E A B♭";
        QTest::newRow("the key an octave up last") << int(NoteName::d) << true << "D2 D1 F#1" << "D F♯ D";
        QTest::newRow("C major chromatic by function") << int(NoteName::c) << true
                                                       << "C1 C#1 D1 D#1 E1 F1 F#1 G1 G#1 A1 A#1 B1 C2"
                                                       << "C D♭ D E♭ E F F♯ G A♭ A B♭ B C";
        QTest::newRow("D minor's leading tone is sharp") << int(NoteName::d) << false << "D1 F1 A#1 C#2 D2"
                                                         << "D F B♭ C♯ D";
        QTest::newRow("G major's lowered sixth") << int(NoteName::g) << true << "G1 D#2 F#2" << "G E♭ F♯";
        QTest::newRow("B major's scale in sharps") << int(NoteName::b) << true << "B1 C#2 D#2 F#2 G#2 A#2"
                                                   << "B C♯ D♯ F♯ G♯ A♯";
        QTest::newRow("D flat major's scale in flats") << int(NoteName::cSharp) << true << "C#1 D#1 F#1 G#1 A#1 C2"
                                                       << "D♭ E♭ G♭ A♭ B♭ C";
        QTest::newRow("E flat minor, not D sharp") << int(NoteName::dSharp) << false << "D#1 F1 F#1 G#1 A#1 B1 C#2"
                                                   << "E♭ F G♭ A♭ B♭ C♭ D♭";
        QTest::newRow("D minor's raised third is F sharp") << int(NoteName::d) << false << "D1 F#1 G#1"
                                                           << "D F♯ G♯";
        QTest::newRow("G sharp minor's seventh is F sharp") << int(NoteName::gSharp) << false << "G#1 B1 F#2 G2"
                                                            << "G♯ B F♯ F♯♯";
    }
    void notesAsTheKeyWritesThem()
    {
        QFETCH(int, key);
        QFETCH(bool, major);
        QFETCH(QString, notes);
        QFETCH(QString, text);
        Level level = DiatonicLevelGenerator::makeLevel(1, NoteName(key), major, true, NoteRange::entireOctave);
        level.notes = lirra::test::notes(notes);
        QCOMPARE(notesText(level), text);
    }

    void summaries()
    {
        const Session first{100, {{Note{NoteName::c, 1}, Score{3, 1}}}};
        const Session empty{500, {}};
        const Session second{300, {{Note{NoteName::e, 1}, Score{1, 3}}}};
        const HistorySummary summary = summarize({first, empty, second});
        QCOMPARE(summary.answers, std::int64_t(8));
        QCOMPARE(summary.accuracy, 0.5);
        QCOMPARE(summary.lastPractised, std::optional(300.0)); // a session without answers was no practice
        QCOMPARE(summarize({}), HistorySummary{});

        // Counts near 2^63 read as the level's own figure does: half right
        // is 50 % in the list and on the ring alike, not the 100 % of sums
        // that stop at the top.
        constexpr std::int64_t most = std::numeric_limits<std::int64_t>::max();
        Level hostile = DiatonicLevelGenerator::makeLevel(1, NoteName::c, true, false, NoteRange::firstHalfOfOctave);
        hostile.sessions = {Session{1, {{Note{NoteName::c, 1}, Score{most, most}}}},
                            Session{2, {{Note{NoteName::d, 1}, Score{most, 0}}, {Note{NoteName::e, 1}, Score{0, most}}}}};
        const HistorySummary listed = summarize(hostile.sessions);
        QCOMPARE(listed.accuracy, 0.5);
        QCOMPARE(listed.accuracy, hostile.statistics().pooledAccuracy);
        QCOMPARE(listed.answers, most);
    }
};

LIRRA_TEST(LevelSearchTest)
#include "level_search_test.moc"
