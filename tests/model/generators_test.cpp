#include "support/notes.h"
#include "support/test_registry.h"

#include "model/generators.h"

#include <QTest>

using namespace lirra;
using lirra::test::note;
using lirra::test::notes;

class GeneratorsTest : public QObject {
    Q_OBJECT

private:
    std::vector<Level> m_levels = DiatonicLevelGenerator().generateLevels();

private slots:
    void catalogueOrder()
    {
        QCOMPARE(m_levels.size(), size_t(144));
        const NoteName keys[] = {NoteName::c, NoteName::f, NoteName::aSharp, NoteName::dSharp,
                                 NoteName::gSharp, NoteName::cSharp, NoteName::fSharp, NoteName::b,
                                 NoteName::e, NoteName::a, NoteName::d, NoteName::g};
        for (size_t i = 0; i < m_levels.size(); ++i) {
            const Level &level = m_levels[i];
            QCOMPARE(level.id, std::int64_t(i + 1));
            const size_t p = i / 12, m = (i % 12) / 6, s = (i % 6) / 3, r = i % 3;
            QCOMPARE(level.key, keys[p]);
            QCOMPARE(level.isMajor, m == 0);
            QCOMPARE(level.isChromatic, s == 1);
            QCOMPARE(int(level.range), int(r));
            QVERIFY(!level.isCustom);
            QVERIFY(!level.spansMultipleOctaves);
            QVERIFY(level.sessions.empty());
            QCOMPARE(level.cadence, level.isMajor ? DiatonicLevelGenerator::majorCadence(level.key)
                                                  : DiatonicLevelGenerator::minorCadence(level.key));
        }
        QCOMPARE(DiatonicLevelGenerator().generateLevels(), m_levels);
    }

    void noteCounts_data()
    {
        QTest::addColumn<bool>("chromatic");
        QTest::addColumn<int>("range");
        QTest::addColumn<int>("count");
        QTest::newRow("diatonic first half") << false << 0 << 4;
        QTest::newRow("diatonic second half") << false << 1 << 4;
        QTest::newRow("diatonic entire") << false << 2 << 8;
        QTest::newRow("chromatic first half") << true << 0 << 6;
        QTest::newRow("chromatic second half") << true << 1 << 7;
        QTest::newRow("chromatic entire") << true << 2 << 13;
    }
    void noteCounts()
    {
        QFETCH(bool, chromatic);
        QFETCH(int, range);
        QFETCH(int, count);
        int seen = 0;
        for (const Level &level : m_levels) {
            if (level.isChromatic != chromatic || int(level.range) != range)
                continue;
            ++seen;
            QCOMPARE(int(level.notes.size()), count);
            const Note lowTonic{level.key, 1};
            const Note highTonic{level.key, 2};
            if (level.range != NoteRange::secondHalfOfOctave)
                QCOMPARE(level.notes.front(), lowTonic);
            if (level.range != NoteRange::firstHalfOfOctave)
                QCOMPARE(level.notes.back(), highTonic);
            // Ascending pitch within octaves 1 and 2.
            for (size_t i = 1; i < level.notes.size(); ++i) {
                const auto pitch = [](Note n) { return n.octave * 12 + index(n.name); };
                QVERIFY(pitch(level.notes[i - 1]) < pitch(level.notes[i]));
            }
        }
        QCOMPARE(seen, 24);
    }

    void chromaticModesShareNotes()
    {
        for (size_t key = 0; key < 12; ++key) {
            for (size_t r = 0; r < 3; ++r) {
                const Level &major = m_levels[key * 12 + 3 + r];
                const Level &minor = m_levels[key * 12 + 9 + r];
                QVERIFY(major.isChromatic && minor.isChromatic);
                QCOMPARE(major.notes, minor.notes);
                QVERIFY(!(major.cadence == minor.cadence));
            }
        }
    }

    void tellingRows_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("expected");
        QTest::newRow("1") << 1 << "C1 D1 E1 F1";
        QTest::newRow("2") << 2 << "G1 A1 B1 C2";
        QTest::newRow("3") << 3 << "C1 D1 E1 F1 G1 A1 B1 C2";
        QTest::newRow("5") << 5 << "F#1 G1 G#1 A1 A#1 B1 C2";
        QTest::newRow("6") << 6 << "C1 C#1 D1 D#1 E1 F1 F#1 G1 G#1 A1 A#1 B1 C2";
        QTest::newRow("8") << 8 << "G1 G#1 B1 C2";
        QTest::newRow("9") << 9 << "C1 D1 D#1 F1 G1 G#1 B1 C2";
        QTest::newRow("13") << 13 << "F1 G1 A1 A#1";
        QTest::newRow("15") << 15 << "F1 G1 A1 A#1 C2 D2 E2 F2";
        QTest::newRow("20") << 20 << "C2 C#2 E2 F2";
        QTest::newRow("85 B major") << 85 << "B1 C#2 D#2 E2";
        QTest::newRow("89") << 89 << "F2 F#2 G2 G#2 A2 A#2 B2";
        QTest::newRow("135") << 135 << "G1 A1 B1 C2 D2 E2 F#2 G2";
        QTest::newRow("144") << 144 << "G1 G#1 A1 A#1 B1 C2 C#2 D2 D#2 E2 F2 F#2 G2";
    }
    void tellingRows()
    {
        QFETCH(int, id);
        QFETCH(QString, expected);
        QCOMPARE(lirra::test::text(m_levels[size_t(id - 1)].notes), expected);
    }

    void cadences()
    {
        const Cadence major = DiatonicLevelGenerator::majorCadence(NoteName::d);
        QCOMPARE(major.voices, (std::vector{NoteName::d, NoteName::fSharp, NoteName::a}));
        QCOMPARE(major.roots, (std::vector{NoteName::d, NoteName::g, NoteName::a, NoteName::d}));
        QCOMPARE(major.movement, (std::vector<std::vector<int>>{{0, 0, 0}, {0, 1, 2}, {-1, -2, 0}, {0, 0, 0}}));
        const Cadence minor = DiatonicLevelGenerator::minorCadence(NoteName::a);
        QCOMPARE(minor.voices, (std::vector{NoteName::a, NoteName::c, NoteName::e}));
        QCOMPARE(minor.movement, (std::vector<std::vector<int>>{{0, 0, 0}, {0, 2, 1}, {-1, -1, 0}, {0, 0, 0}}));
    }

    void resolutionsInC_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("major");
        QTest::addColumn<QString>("minor");
        QTest::newRow("C1") << "C1" << "C1" << "C1";
        QTest::newRow("C#") << "C#1" << "C#1 C1" << "C#1 C1";
        QTest::newRow("D") << "D1" << "D1 C1" << "D1 C1";
        QTest::newRow("D#") << "D#1" << "D#1 D1 C1" << "D#1 D1 C1";
        QTest::newRow("E") << "E1" << "E1 D1 C1" << "E1 D#1 D1 C1";
        QTest::newRow("F") << "F1" << "F1 E1 D1 C1" << "F1 D#1 D1 C1";
        QTest::newRow("F#") << "F#1" << "F#1 G1 A1 B1 C2" << "F#1 G1 G#1 B1 C2";
        QTest::newRow("G") << "G1" << "G1 A1 B1 C2" << "G1 G#1 B1 C2";
        QTest::newRow("G#") << "G#1" << "G#1 A1 B1 C2" << "G#1 B1 C2";
        QTest::newRow("A") << "A1" << "A1 B1 C2" << "A1 B1 C2";
        QTest::newRow("A#") << "A#1" << "A#1 B1 C2" << "A#1 B1 C2";
        QTest::newRow("B") << "B1" << "B1 C2" << "B1 C2";
        QTest::newRow("C2") << "C2" << "C2" << "C2";
    }
    void resolutionsInC()
    {
        QFETCH(QString, answer);
        QFETCH(QString, major);
        QFETCH(QString, minor);
        const DiatonicNoteResolutionGenerator generator;
        for (bool chromatic : {false, true}) {
            QCOMPARE(lirra::test::text(generator.resolution(note(answer), NoteName::c, true, chromatic)), major);
            QCOMPARE(lirra::test::text(generator.resolution(note(answer), NoteName::c, false, chromatic)), minor);
        }
    }

    void resolutionsInG_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("expected");
        QTest::newRow("C") << "C2" << "C2 B1 A1 G1";
        QTest::newRow("E") << "E2" << "E2 F#2 G2";
        QTest::newRow("C# (tritone)") << "C#2" << "C#2 D2 E2 F#2 G2";
        QTest::newRow("F below the key") << "F2" << "F2 F#2 G2";
        QTest::newRow("G2 stays") << "G2" << "G2";
    }
    void resolutionsInG()
    {
        QFETCH(QString, answer);
        QFETCH(QString, expected);
        QCOMPARE(lirra::test::text(DiatonicNoteResolutionGenerator().resolution(note(answer), NoteName::g, true, false)),
                 expected);
    }

    void resolutionsWalkToTheNearerTonic()
    {
        const DiatonicNoteResolutionGenerator generator;
        for (NoteName key : allNoteNames) {
            for (bool major : {true, false}) {
                for (int d = 1; d < 12; ++d) {
                    const NoteName name = transposed(key, d);
                    const Note answer{name, std::uint8_t(index(name) < index(key) ? 2 : 1)};
                    const std::vector<Note> walk = generator.resolution(answer, key, major, false);
                    QCOMPARE(walk.front().name, name);
                    QCOMPARE(walk.back(), (Note{key, std::uint8_t(d <= 5 ? 1 : 2)}));
                    QCOMPARE(generator.resolution(answer, key, major, true), walk);
                    // Each step moves one way, by at most a whole tone and a half.
                    for (size_t i = 1; i < walk.size(); ++i) {
                        const auto pitch = [](Note n) { return n.octave * 12 + index(n.name); };
                        const int step = pitch(walk[i]) - pitch(walk[i - 1]);
                        QVERIFY(d <= 5 ? (step < 0 && step >= -3) : (step > 0 && step <= 3));
                    }
                }
            }
        }
        // Earlier calls that inserted degrees leave the tables alone.
        QCOMPARE(lirra::test::text(generator.resolution(note(u"E1"), NoteName::c, true, false)),
                 QStringLiteral("E1 D1 C1"));
    }
};

LIRRA_TEST(GeneratorsTest)
#include "generators_test.moc"
