#include "support/notes.h"
#include "support/test_registry.h"

#include "model/generators.h"

#include <QTest>

using namespace lirra;
using lirra::test::note;

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
        const int counts[2][3] = {{4, 4, 8}, {6, 7, 13}};
        for (size_t i = 0; i < m_levels.size(); ++i) {
            const Level &level = m_levels[i];
            const size_t mode = (i % 12) / 6, set = (i % 6) / 3, range = i % 3;
            QCOMPARE(level.id, std::int64_t(i + 1));
            QCOMPARE(level.key, keys[i / 12]);
            QCOMPARE(level.isMajor, mode == 0);
            QCOMPARE(level.isChromatic, set == 1);
            QCOMPARE(size_t(level.range), range);
            QCOMPARE(int(level.notes.size()), counts[set][range]);
            QVERIFY(!level.isCustom && !level.spansMultipleOctaves && level.sessions.empty());
            // From the tonic in octave 1 (or above it) up to at most the tonic in octave 2.
            if (level.range != NoteRange::secondHalfOfOctave)
                QCOMPARE(level.notes.front(), (Note{level.key, 1}));
            if (level.range != NoteRange::firstHalfOfOctave)
                QCOMPARE(level.notes.back(), (Note{level.key, 2}));
            if (level.isChromatic && !level.isMajor)
                QCOMPARE(level.notes, m_levels[i - 6].notes);
        }
        QCOMPARE(DiatonicLevelGenerator().generateLevels(), m_levels);
    }

    void tellingRows_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("expected");
        QTest::newRow("1") << 1 << "C1 D1 E1 F1";
        QTest::newRow("2") << 2 << "G1 A1 B1 C2";
        QTest::newRow("5") << 5 << "F#1 G1 G#1 A1 A#1 B1 C2";
        QTest::newRow("9") << 9 << "C1 D1 D#1 F1 G1 G#1 B1 C2";
        QTest::newRow("15") << 15 << "F1 G1 A1 A#1 C2 D2 E2 F2";
        QTest::newRow("20") << 20 << "C2 C#2 E2 F2";
        QTest::newRow("85 B major") << 85 << "B1 C#2 D#2 E2";
        QTest::newRow("89") << 89 << "F2 F#2 G2 G#2 A2 A#2 B2";
        QTest::newRow("135") << 135 << "G1 A1 B1 C2 D2 E2 F#2 G2";
    }
    void tellingRows()
    {
        QFETCH(int, id);
        QFETCH(QString, expected);
        QCOMPARE(lirra::test::text(m_levels[size_t(id - 1)].notes), expected);
    }

    void resolutions_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("major");
        QTest::addColumn<QString>("minor");
        QTest::newRow("C1") << 0 << "C1" << "C1" << "C1";
        QTest::newRow("C#") << 0 << "C#1" << "C#1 C1" << "C#1 C1";
        QTest::newRow("D#") << 0 << "D#1" << "D#1 D1 C1" << "D#1 D1 C1";
        QTest::newRow("E") << 0 << "E1" << "E1 D1 C1" << "E1 D#1 D1 C1";
        QTest::newRow("F") << 0 << "F1" << "F1 E1 D1 C1" << "F1 D#1 D1 C1";
        QTest::newRow("F#") << 0 << "F#1" << "F#1 G1 A1 B1 C2" << "F#1 G1 G#1 B1 C2";
        QTest::newRow("G") << 0 << "G1" << "G1 A1 B1 C2" << "G1 G#1 B1 C2";
        QTest::newRow("G#") << 0 << "G#1" << "G#1 A1 B1 C2" << "G#1 B1 C2";
        QTest::newRow("A#") << 0 << "A#1" << "A#1 B1 C2" << "A#1 B1 C2";
        QTest::newRow("C2") << 0 << "C2" << "C2" << "C2";
        QTest::newRow("G, C") << 7 << "C2" << "C2 B1 A1 G1" << "C2 A#1 A1 G1";
        QTest::newRow("G, E") << 7 << "E2" << "E2 F#2 G2" << "E2 F#2 G2";
        QTest::newRow("G, C#") << 7 << "C#2" << "C#2 D2 E2 F#2 G2" << "C#2 D2 D#2 F#2 G2";
        QTest::newRow("G, F") << 7 << "F2" << "F2 F#2 G2" << "F2 F#2 G2";
    }
    void resolutions()
    {
        QFETCH(int, key);
        QFETCH(QString, answer);
        QFETCH(QString, major);
        QFETCH(QString, minor);
        const DiatonicNoteResolutionGenerator generator;
        const NoteName k = allNoteNames[size_t(key)];
        for (bool chromatic : {false, true}) {
            QCOMPARE(lirra::test::text(generator.resolution(note(answer), k, true, chromatic)), major);
            QCOMPARE(lirra::test::text(generator.resolution(note(answer), k, false, chromatic)), minor);
        }
    }

    void resolutionsWalkToTheNearerTonic()
    {
        const DiatonicNoteResolutionGenerator generator;
        for (NoteName key : allNoteNames) {
            for (int d = 1; d < 12; ++d) {
                const NoteName name = transposed(key, d);
                const Note answer{name, std::uint8_t(index(name) < index(key) ? 2 : 1)};
                const std::vector<Note> walk = generator.resolution(answer, key, d % 2 == 0, false);
                QCOMPARE(walk.front().name, name);
                QCOMPARE(walk.back(), (Note{key, std::uint8_t(d <= 5 ? 1 : 2)}));
            }
        }
    }
};

LIRRA_TEST(GeneratorsTest)
#include "generators_test.moc"
