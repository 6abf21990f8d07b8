#include "support/notes.h"
#include "support/test_registry.h"

#include "model/chords.h"
#include "model/localization.h"
#include "model/music.h"
#include "model/timestamp.h"

#include <QRandomGenerator>
#include <QTest>

#include <limits>

#include <cmath>

using namespace lirra;
using lirra::test::note;
using lirra::test::notes;

namespace {

Session session(std::initializer_list<std::pair<const char *, Score>> entries)
{
    Session s{1.0, {}};
    for (const auto &[n, score] : entries)
        s.score[note(QString::fromLatin1(n))] = score;
    return s;
}

} // namespace

class MusicModelTest : public QObject {
    Q_OBJECT

private slots:
    void pitchClasses_data()
    {
        QTest::addColumn<int>("raw");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("semitonesAbove"); // -1: the raw value names nothing
        QTest::addColumn<int>("by");
        QTest::addColumn<int>("transposed");
        QTest::newRow("below c") << 11 << 0 << -1 << 0 << 0;
        QTest::newRow("above b") << 24 << 0 << -1 << 0 << 0;
        QTest::newRow("b above c, b + 1") << 23 << 0 << 11 << 1 << 0;
        QTest::newRow("c above b") << 12 << 11 << 1 << 0 << 0;
        QTest::newRow("a above itself, a + 3") << 21 << 9 << 0 << 3 << 0;
        QTest::newRow("e + 12") << 16 << 7 << 9 << 12 << 4;
    }
    void pitchClasses()
    {
        QFETCH(int, raw);
        QFETCH(int, key);
        QFETCH(int, semitonesAbove);
        QFETCH(int, by);
        QFETCH(int, transposed);
        const auto name = noteNameFromRawValue(raw);
        QCOMPARE(name.has_value(), semitonesAbove >= 0);
        if (!name)
            return;
        QCOMPARE(semitones(*name, allNoteNames[size_t(key)]), semitonesAbove);
        QCOMPARE(index(lirra::transposed(*name, by)), transposed);
    }

    // Written from theory: each chord's notes in C major and C minor as
    // sharps, the numeral, then the same functions in every other key by
    // moving every note by the tonic's distance from C.
    void chordsOfEveryKey_data()
    {
        QTest::addColumn<bool>("isMajor");
        QTest::addColumn<QStringList>("table"); // "numeral: root third fifth", by root from C up
        QTest::newRow("major") << true << QStringList{
            u"I: C E G"_qs, u"♭II: C# F G#"_qs, u"ii: D F A"_qs, u"♭III: D# G A#"_qs,
            u"iii: E G B"_qs, u"IV: F A C"_qs, u"♯iv°: F# A C"_qs, u"V: G B D"_qs,
            u"♭VI: G# C D#"_qs, u"vi: A C E"_qs, u"♭VII: A# D F"_qs, u"vii°: B D F"_qs};
        QTest::newRow("minor") << false << QStringList{
            u"i: C D# G"_qs, u"♭II: C# F G#"_qs, u"ii°: D F G#"_qs, u"III: D# G A#"_qs,
            u"♮iii: E G B"_qs, u"iv: F G# C"_qs, u"♯iv°: F# A C"_qs, u"V: G B D"_qs,
            u"VI: G# C D#"_qs, u"♮vi: A C E"_qs, u"VII: A# D F"_qs, u"vii°: B D F"_qs};
    }
    void chordsOfEveryKey()
    {
        QFETCH(bool, isMajor);
        QFETCH(QStringList, table);
        static const QStringList sharps = {u"C"_qs, u"C#"_qs, u"D"_qs, u"D#"_qs, u"E"_qs, u"F"_qs,
                                           u"F#"_qs, u"G"_qs, u"G#"_qs, u"A"_qs, u"A#"_qs, u"B"_qs};
        for (int key = 0; key < 12; ++key) {
            for (int root = 0; root < 12; ++root) {
                const QStringList row = table[root].split(u": "_qs);
                QStringList expected;
                for (const QString &inC : row[1].split(u' '))
                    expected << sharps[(sharps.indexOf(inC) + key) % 12];
                const Chord chord = chordOf(allNoteNames[size_t((root + key) % 12)], allNoteNames[size_t(key)], isMajor);
                QStringList got;
                for (const NoteName name : chord.notes())
                    got << sharps[index(name)];
                const QByteArray where = (sharps[key] + (isMajor ? u" major, "_qs : u" minor, "_qs) + row[0]).toUtf8();
                QVERIFY2(got == expected, where + ": " + got.join(u' ').toUtf8());
                QVERIFY2(chord.numeral == row[0], where + " named " + chord.numeral.toUtf8());
                // Played with the root below, close, inside the piano and
                // the middle of the keyboard.
                const std::vector<int> keys = chordVoicing(chord);
                QCOMPARE(keys.size(), size_t(4));
                QCOMPARE(keys[0] % 12, index(chord.root));
                QCOMPARE(keys[1] - keys[0], 12);
                QVERIFY2(keys[1] >= 55 && keys[3] <= 73 && keys[3] - keys[1] <= 7, where);
                for (int i = 1; i < 4; ++i)
                    QCOMPARE(keys[size_t(i)] % 12, index(chord.notes()[size_t(i - 1)]));
            }
        }
    }

    void triadsHeardInAnyInversion_data()
    {
        QTest::addColumn<QString>("names");
        QTest::addColumn<int>("root"); // -1: no triad
        QTest::newRow("root position") << u"C E G"_qs << 0;
        QTest::newRow("first inversion") << u"E G C"_qs << 0;
        QTest::newRow("second inversion, minor") << u"E A C"_qs << 9;
        QTest::newRow("diminished, spread") << u"B F D"_qs << 11;
        QTest::newRow("doubled note") << u"F A C F"_qs << 5;
        QTest::newRow("a single note") << u"D"_qs << -1;
        QTest::newRow("two notes") << u"C G"_qs << -1;
        QTest::newRow("augmented") << u"C E G#"_qs << -1;
        QTest::newRow("seventh chord") << u"G B D F"_qs << -1;
        QTest::newRow("a cluster") << u"C C# D"_qs << -1;
    }
    void triadsHeardInAnyInversion()
    {
        QFETCH(QString, names);
        QFETCH(int, root);
        std::vector<NoteName> pressed;
        for (const Note n : notes(names.split(u' ').join(u"1 "_qs) + u"1"_qs))
            pressed.push_back(n.name);
        const std::optional<NoteName> found = triadRoot(pressed);
        QCOMPARE(found.has_value(), root >= 0);
        if (found)
            QCOMPARE(index(*found), root);
    }

    void displayTexts()
    {
        QCOMPARE(localizedName(NoteName::g), QStringLiteral("G"));
        QCOMPARE(localizedName(NoteName::cSharp), QStringLiteral("C♯ / D♭"));
        QCOMPARE(localizedName(NoteName::aSharp), QStringLiteral("A♯ / B♭"));
        QCOMPARE(solfegeSyllables().size(), 12);
        QCOMPARE(solfegeSyllables()[0], QStringLiteral("Do"));
        QCOMPARE(solfegeSyllables()[6], QStringLiteral("Fi / Se"));
        QCOMPARE(solfegeSyllables()[7], QStringLiteral("Sol"));

        Level level;
        QCOMPARE(level.title(), QStringLiteral("C major"));
        level.key = NoteName::fSharp;
        level.isMajor = false;
        level.isCustom = level.spansMultipleOctaves = true;
        QCOMPARE(level.title(), QStringLiteral("F♯ minor / G♭ minor * · 8.."));
        // A key with a text shows the text, a key without one shows itself.
        QCOMPARE(localized("tip.next"), QStringLiteral("Next"));
        QCOMPARE(localized("no.such.key"), QStringLiteral("no.such.key"));
        QCOMPARE(localized("score").arg(3).arg(5), QStringLiteral("3 of 5 right"));
    }

    void valueEquality()
    {
        const QUuid id = QUuid::createUuid();
        QCOMPARE((Question{id, note(u"D1"), notes("D1 C1")}), (Question{id, note(u"D1"), notes("D1 C1")}));
        QVERIFY(!(Question{id, note(u"D1"), {}} == Question{QUuid::createUuid(), note(u"D1"), {}}));
        // Dictionaries compare by content, whatever the order they were filled in.
        Session first, second;
        for (const Note &n : notes("C1 D1 E1 C2"))
            first.score[n] = Score{1, 2};
        for (const Note &n : notes("C2 E1 D1 C1"))
            second.score[n] = Score{1, 2};
        QCOMPARE(first, second);
    }

    void sessionStatistics_data()
    {
        QTest::addColumn<Session>("session");
        QTest::addColumn<qint64>("correct");
        QTest::addColumn<qint64>("wrong");
        QTest::addColumn<double>("accuracy");
        QTest::addColumn<int>("notesWithAccuracy");
        QTest::newRow("empty") << Session{} << 0ll << 0ll << 0.0 << 0;
        QTest::newRow("3 right 1 wrong") << session({{"C1", {3, 1}}}) << 3ll << 1ll << 0.75 << 1;
        QTest::newRow("entry without answers") << session({{"C1", {0, 0}}, {"D1", {1, 0}}}) << 1ll << 0ll << 1.0 << 1;
        // Pooled: 1 of 1 on C and 1 of 3 on D is 2 of 4, not the mean of 1 and 1/3.
        QTest::newRow("pooled") << session({{"C1", {1, 0}}, {"D1", {1, 2}}}) << 2ll << 2ll << 0.5 << 2;
        // Counts from a damaged file: sums stop at the end of the range, the
        // fractions stay fractions, and a count below zero counts as none.
        constexpr qint64 most = std::numeric_limits<qint64>::max();
        QTest::newRow("counts near 2^63") << session({{"C1", {most, most}}, {"D1", {most, 0}}}) << most << most
                                          << 2.0 / 3.0 << 2;
        QTest::newRow("a negative count") << session({{"C1", {5, -3}}}) << 5ll << 0ll << 1.0 << 1;
    }
    void sessionStatistics()
    {
        QFETCH(Session, session);
        QFETCH(qint64, correct);
        QFETCH(qint64, wrong);
        QFETCH(double, accuracy);
        QFETCH(int, notesWithAccuracy);
        const SessionStatistics stats = session.statistics();
        QCOMPARE(stats.correctCount, correct);
        QCOMPARE(stats.wrongCount, wrong);
        QCOMPARE(stats.accuracy, accuracy);
        QCOMPARE(int(stats.accuracyPerNote.size()), notesWithAccuracy);
    }

    void levelStatistics()
    {
        // C1 answered 2 of 4 across two sessions, D1 never: each note weighs the same.
        Level level;
        level.notes = notes("C1 D1");
        level.sessions = {session({{"C1", {2, 1}}}), session({{"C1", {0, 1}}})};
        LevelStatistics stats = level.statistics();
        QCOMPARE(stats.accuracyPerNote, (AccuracyPerNote{{note(u"C1"), 0.5}}));
        QCOMPARE(stats.accuracy, 0.25);
        QCOMPARE(stats.pooledAccuracy, 0.5); // 2 right of 4 answers
        // Notes outside the level are reported but stay out of the mean.
        level.sessions.push_back(session({{"D1", {1, 0}}, {"G1", {0, 5}}}));
        stats = level.statistics();
        QCOMPARE(stats.accuracyPerNote.at(note(u"G1")), 0.0);
        QCOMPARE(stats.accuracy, 0.75);
        QCOMPARE(stats.pooledAccuracy, 0.3); // 3 of 10, notes outside the level too
        level.notes.clear();
        QCOMPARE(level.statistics().accuracy, 0.0);
        level.sessions.clear();
        QCOMPARE(level.statistics().pooledAccuracy, 0.0);

        // Whatever the counts, every accuracy stays within 0 to 1.
        constexpr std::int64_t most = std::numeric_limits<std::int64_t>::max();
        level.notes = notes("C1 D1");
        level.sessions = {session({{"C1", {most, 0}}, {"D1", {0, most}}}), session({{"C1", {most, 1}}, {"D1", {most, -4}}})};
        stats = level.statistics();
        QCOMPARE(stats.accuracyPerNote.at(note(u"C1")), 1.0);
        QCOMPARE(stats.accuracyPerNote.at(note(u"D1")), 0.5);
        QCOMPARE(stats.accuracy, 0.75);
        QVERIFY(stats.pooledAccuracy >= 0 && stats.pooledAccuracy <= 1);
    }

    void timestampText_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("whole") << 3.0 << "3.0";
        QTest::newRow("half") << 2.5 << "2.5";
        QTest::newRow("negative") << -0.5 << "-0.5";
        QTest::newRow("now") << 1733472000.123456 << "1733472000.123456";
        QTest::newRow("whole now") << 1733472000.0 << "1733472000.0";
        // Round whole seconds are the shortest in exponent form; never so.
        QTest::newRow("a round second") << 1733000000.0 << "1733000000.0";
        QTest::newRow("2033") << 2000000000.0 << "2000000000.0";
        QTest::newRow("huge") << 1e16 << "10000000000000000.0";
        QTest::newRow("a tiny fraction") << 1e-7 << "0.0000001";
        QTest::newRow("the largest") << 1.7976931348623157e308 << ""; // all 309 exact digits
    }
    void timestampText()
    {
        QFETCH(double, value);
        QFETCH(QString, text);
        if (text.isEmpty()) {
            text = formatTimestamp(value);
            QCOMPARE(text.size(), 311);
            QVERIFY(text.endsWith(QLatin1String(".0")) && !text.contains(QLatin1Char('e')));
        }
        QCOMPARE(formatTimestamp(value), text);
        QCOMPARE(parseDouble(text), std::optional<double>(value));
    }

    void timestampsReadBackExactly()
    {
        QRandomGenerator random(7);
        for (int i = 0; i < 5000; ++i) {
            const double value = std::ldexp(random.generateDouble(), int(random.bounded(-20, 40)));
            QVERIFY2(parseDouble(formatTimestamp(value)) == value, qPrintable(formatTimestamp(value)));
        }
        for (const char16_t *bad : {u"abc", u" 2.5", u"", u"2.5x"})
            QVERIFY(!parseDouble(bad));
    }
};

LIRRA_TEST(MusicModelTest)
#include "music_model_test.moc"
