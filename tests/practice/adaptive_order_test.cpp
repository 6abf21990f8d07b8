#include "support/notes.h"
#include "support/test_registry.h"

#include "practice/adaptive_order.h"
#include "practice/melody.h"
#include "practice/session_summary.h"

#include <QRegularExpression>
#include <QTest>

#include <map>
#include <unordered_set>

using namespace lirra;
using lirra::test::note;
using lirra::test::notes;

namespace {

// Answers as "C1:3/1 D1:0/5": right/wrong per note.
PracticeEvidence scored(const QString &text)
{
    PracticeEvidence evidence;
    for (const QString &entry : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QStringList parts = entry.split(QLatin1Char(':'));
        const QStringList counts = parts[1].split(QLatin1Char('/'));
        evidence.scores[note(parts[0])] = Score{counts[0].toLongLong(), counts[1].toLongLong()};
    }
    return evidence;
}

struct Draws {
    std::vector<Note> asked;
    std::map<QString, int> counts;
};

Draws draw(const std::vector<Note> &levelNotes, const PracticeEvidence &evidence, int count, std::uint64_t seed)
{
    AdaptiveOrder order;
    order.reset(levelNotes);
    SeededRandomSource random(seed);
    Draws draws;
    for (int i = 0; i < count; ++i) {
        draws.asked.push_back(order.next(evidence, random));
        ++draws.counts[lirra::test::text({draws.asked.back()})];
    }
    return draws;
}

} // namespace

class AdaptiveOrderTest : public QObject {
    Q_OBJECT

private slots:
    // Whatever the evidence says, a pass (the notes and half as many again)
    // asks every note, and no note comes twice running.
    void everyNoteEachPassNeverTwiceRunning_data()
    {
        QTest::addColumn<QString>("levelNotes");
        QTest::addColumn<QString>("evidence");
        QTest::newRow("two notes, nothing known") << "C1 G1" << "";
        QTest::newRow("three notes, one lost") << "C1 E1 G1" << "E1:0/30";
        QTest::newRow("seven notes, one lost") << "C1 D1 E1 F1 G1 A1 B1" << "C1:30/0 D1:30/0 E1:0/40 F1:30/0 G1:30/0 A1:30/0 B1:30/0";
        QTest::newRow("seven notes, two lost") << "C1 D1 E1 F1 G1 A1 B1" << "D1:0/40 E1:0/40";
        QTest::newRow("twelve notes, all known") << "C1 C#1 D1 D#1 E1 F1 F#1 G1 G#1 A1 A#1 B1" << "C1:50/0 G1:50/0";
    }
    void everyNoteEachPassNeverTwiceRunning()
    {
        QFETCH(QString, levelNotes);
        QFETCH(QString, evidence);
        const std::vector<Note> level = notes(levelNotes);
        const std::size_t pass = level.size() + level.size() / 2;
        for (std::uint64_t seed : {1u, 2u, 3u}) {
            const Draws draws = draw(level, scored(evidence), int(pass * 500), seed);
            for (std::size_t i = 1; i < draws.asked.size(); ++i)
                QVERIFY2(draws.asked[i] != draws.asked[i - 1], qPrintable(QStringLiteral("repeat at %1").arg(i)));
            for (std::size_t start = 0; start < draws.asked.size(); start += pass) {
                const std::unordered_set<Note> asked(draws.asked.begin() + std::ptrdiff_t(start),
                                                     draws.asked.begin() + std::ptrdiff_t(start + pass));
                QCOMPARE(asked.size(), level.size());
            }
        }
    }

    // A note missed every time comes at least twice as often as one always
    // right: in a pass of seven notes it takes most of the three extra
    // questions (about 2.2 times as often, measured over 12,000 draws).
    void weakNotesComeMoreOften()
    {
        const std::vector<Note> level = notes(QStringLiteral("C1 D1 E1 F1 G1 A1 B1"));
        const Draws draws = draw(level, scored(QStringLiteral("C1:20/0 D1:20/0 E1:0/20 F1:20/0 G1:20/0 A1:20/0 B1:20/0")),
                                 12000, 7);
        const double weak = draws.counts.at(QStringLiteral("E1"));
        const double strong = draws.counts.at(QStringLiteral("C1"));
        QVERIFY2(weak >= 2 * strong, qPrintable(QStringLiteral("E %1, C %2").arg(weak).arg(strong)));
        // With nothing known, every note comes as often as another, within 5 %.
        const Draws even = draw(level, {}, 14000, 7);
        for (const auto &[name, count] : even.counts)
            QVERIFY2(std::abs(count - 2000) < 100, qPrintable(QStringLiteral("%1: %2").arg(name).arg(count)));
    }

    // After D, the note it is mistaken for comes next more often than
    // another note just as weak: about 1.4 times as often in a level of four
    // notes, where most questions of a pass go to the notes not yet asked.
    void confusedNotesFollowEachOther()
    {
        const std::vector<Note> level = notes(QStringLiteral("C1 D1 E1 F1"));
        PracticeEvidence evidence = scored(QStringLiteral("C1:10/10 D1:10/10 E1:10/10 F1:10/10"));
        evidence.confusions[Confusion{note(u"D1"), note(u"E1")}] = 8;
        evidence.confusions[Confusion{note(u"E1"), note(u"D1")}] = 8;
        const Draws draws = draw(level, evidence, 20000, 11);
        std::map<QString, int> afterD;
        for (std::size_t i = 1; i < draws.asked.size(); ++i) {
            if (draws.asked[i - 1] == note(u"D1"))
                ++afterD[lirra::test::text({draws.asked[i]})];
        }
        QVERIFY2(afterD[QStringLiteral("E1")] >= 1.3 * afterD[QStringLiteral("F1")],
                 qPrintable(QStringLiteral("E %1, F %2").arg(afterD[QStringLiteral("E1")]).arg(afterD[QStringLiteral("F1")])));
    }

    void weightsFollowTheEvidence_data()
    {
        QTest::addColumn<QString>("evidence");
        QTest::addColumn<QString>("asked");
        QTest::addColumn<double>("weight");
        QTest::newRow("unheard note") << "" << "E1" << 4.0;
        QTest::newRow("always right") << "E1:98/0" << "E1" << 1.06;
        QTest::newRow("always wrong") << "E1:0/98" << "E1" << 6.94;
        QTest::newRow("half right, confused with D every time")
            << "D1:0/10 E1:10/10" << "E1" << 1 + 6 * 11.0 / 22 + 6 * 20.0 / 30;
        // Counts read from a damaged file, near 2^63: no sum wraps, so a
        // note always missed still weighs most.
        QTest::newRow("2^63 - 1 wrong, one right") << "E1:1/9223372036854775807" << "E1" << 7.0;
        QTest::newRow("2^63 - 1 right and wrong") << "E1:9223372036854775807/9223372036854775807" << "E1" << 4.0;
        QTest::newRow("2^63 - 1 right") << "E1:9223372036854775807/0" << "E1" << 1.0;
    }
    void weightsFollowTheEvidence()
    {
        QFETCH(QString, evidence);
        QFETCH(QString, asked);
        QFETCH(double, weight);
        PracticeEvidence known = scored(evidence);
        if (evidence.contains(QStringLiteral("D1"))) {
            known.confusions[Confusion{note(u"D1"), note(u"E1")}] = 10;
            known.confusions[Confusion{note(u"E1"), note(u"D1")}] = 10;
        }
        QVERIFY(std::abs(adaptiveWeight(known, note(asked), note(u"D1")) - weight) < 0.01);
    }

    void aLevelOfOneNoteAsksIt()
    {
        const Draws draws = draw(notes(QStringLiteral("A1")), {}, 10, 3);
        QCOMPARE(draws.counts.at(QStringLiteral("A1")), 10);
    }

    // The listening block: the notes most missed, each once.
    void notesToHearAreTheWeakest()
    {
        SeededRandomSource random(5);
        const PracticeEvidence evidence = scored(QStringLiteral("C1:9/1 D1:1/9 E1:5/5 F1:10/0 G1:2/8"));
        const std::vector<Note> heard = notesToHear(notes(QStringLiteral("C1 D1 E1 F1 G1 D1")), evidence, 3, random);
        QCOMPARE(heard, notes(QStringLiteral("D1 G1 E1")));
        QCOMPARE(notesToHear(notes(QStringLiteral("C1 D1")), evidence, 3, random).size(), std::size_t(2));
    }

    // Only the last sessions count, the running one with them.
    void evidenceIsRecent()
    {
        std::vector<Session> sessions(7);
        for (std::size_t i = 0; i < sessions.size(); ++i) {
            sessions[i].score[note(u"C1")] = Score{1, std::int64_t(i)};
            sessions[i].confusions[Confusion{note(u"C1"), note(u"D1")}] = 1;
        }
        const PracticeEvidence evidence = evidenceOf(sessions, 5);
        QCOMPARE(evidence.scores.at(note(u"C1")).correct, 5);
        QCOMPARE(evidence.scores.at(note(u"C1")).wrong, 2 + 3 + 4 + 5 + 6);
        QCOMPARE(evidence.confusions.at(Confusion{note(u"C1"), note(u"D1")}), 5);
    }

    // What a stopped session says: its length, its accuracy, the note that
    // rose most above its earlier accuracy, the pair most often mixed up
    // (either way round, named the way it was heard more often).
    void sessionSummary_data()
    {
        QTest::addColumn<QString>("session");
        QTest::addColumn<QString>("confusions");
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("expected");
        QTest::newRow("nothing before") << "E1:3/1" << "" << "" << "4 questions, 3 right, none improved, none confused";
        QTest::newRow("one note rose") << "E1:4/0 D1:1/1" << "" << "E1:1/1 D1:1/1"
                                       << "6 questions, 5 right, E1 +50%, none confused";
        QTest::newRow("the larger rise wins") << "E1:3/1 D1:4/0" << "" << "E1:0/4 D1:2/2"
                                              << "8 questions, 7 right, E1 +75%, none confused";
        QTest::newRow("a fall is no improvement") << "E1:0/2" << "" << "E1:2/0"
                                                  << "2 questions, 0 right, none improved, none confused";
        QTest::newRow("a pair either way round") << "E1:1/2 D1:1/1 G1:0/2" << "E1>D1:2 D1>E1:1 G1>A1:2" << ""
                                                 << "7 questions, 2 right, none improved, E1>D1 3";
        QTest::newRow("named the way heard more") << "E1:0/1 D1:0/2" << "E1>D1:1 D1>E1:2" << ""
                                                  << "3 questions, 0 right, none improved, D1>E1 3";
    }
    void sessionSummary()
    {
        QFETCH(QString, session);
        QFETCH(QString, confusions);
        QFETCH(QString, before);
        QFETCH(QString, expected);
        const auto sessionOf = [](const QString &scores) {
            Session s{1000, {}};
            for (const auto &[n, score] : scored(scores).scores)
                s.score[n] = score;
            return s;
        };
        Session stopped = sessionOf(session);
        for (const QString &entry : confusions.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            const QStringList parts = entry.split(QRegularExpression(QStringLiteral("[>:]")));
            stopped.confusions[Confusion{note(parts[0]), note(parts[1])}] = parts[2].toLongLong();
        }
        std::vector<Session> history;
        if (!before.isEmpty())
            history.push_back(sessionOf(before));
        const SessionSummary summary = summarizeSession(stopped, history, 1000 + 8.5 * 60);
        QCOMPARE(summary.seconds, 510.0);
        const QString improved = summary.mostImproved
            ? QStringLiteral("%1 +%2%").arg(lirra::test::text({*summary.mostImproved})).arg(std::lround(summary.improvement * 100))
            : QStringLiteral("none improved");
        const QString confused = summary.mostConfused
            ? QStringLiteral("%1>%2 %3").arg(lirra::test::text({summary.mostConfused->asked}),
                                             lirra::test::text({summary.mostConfused->answered}))
                  .arg(summary.confusedCount)
            : QStringLiteral("none confused");
        QCOMPARE(QStringLiteral("%1 questions, %2 right, %3, %4").arg(summary.questions).arg(summary.right).arg(improved, confused),
                 expected);
    }

    // Melodies of every length and leap on a diatonic, a chromatic and a
    // two-note level: only the level's notes, no note twice running, each
    // move within the leap (or, where no other note is that near, to the
    // nearest), every note reached; and they move as songs do, mostly by
    // step, a leap mostly answered by a move back.
    void melodiesMoveAsSongsDo_data()
    {
        QTest::addColumn<QString>("levelNotes");
        QTest::addColumn<int>("length");
        QTest::addColumn<MelodyLeap>("leap");
        const std::pair<const char *, const char *> levels[] = {
            {"diatonic", "C1 D1 E1 F1 G1 A1 B1 C2"},
            {"chromatic", "C1 C#1 D1 D#1 E1 F1 F#1 G1 G#1 A1 A#1 B1 C2"},
            {"two notes", "C1 D1"},
            {"two notes a fifth apart", "C1 G1"},
        };
        for (const auto &[name, text] : levels) {
            for (int length = 1; length <= Settings::maxMelodyLength; ++length) {
                for (const MelodyLeap leap : {MelodyLeap::steps, MelodyLeap::third, MelodyLeap::fifth, MelodyLeap::any})
                    QTest::addRow("%s, %d notes, %s", name, length, qPrintable(leapText(leap)))
                        << QString::fromLatin1(text) << length << leap;
            }
        }
    }
    void melodiesMoveAsSongsDo()
    {
        QFETCH(QString, levelNotes);
        QFETCH(int, length);
        QFETCH(MelodyLeap, leap);
        const std::vector<Note> level = notes(levelNotes);
        const int cap = leapSemitones(leap);
        SeededRandomSource random(std::uint64_t(length * 31 + int(leap)));
        std::unordered_set<Note> reached;
        int steps = 0;
        int leaps = 0;
        int afterLeap = 0;
        int reversed = 0;
        for (int i = 0; i < 3000; ++i) {
            const Note first = level[size_t(random.bounded(std::ssize(level)))];
            const std::vector<Note> melody = makeMelody(level, first, length, leap, {}, random);
            QCOMPARE(int(melody.size()), length);
            QCOMPARE(melody.front(), first);
            for (std::size_t k = 0; k < melody.size(); ++k) {
                QVERIFY(std::find(level.begin(), level.end(), melody[k]) != level.end());
                reached.insert(melody[k]);
                if (k == 0)
                    continue;
                const int move = pitchOf(melody[k]) - pitchOf(melody[k - 1]);
                QVERIFY2(move != 0, qPrintable(lirra::test::text(melody)));
                int nearest = 1000;
                for (const Note &other : level) {
                    if (other != melody[k - 1])
                        nearest = std::min(nearest, std::abs(pitchOf(other) - pitchOf(melody[k - 1])));
                }
                QVERIFY2(std::abs(move) <= std::max(cap, nearest), qPrintable(lirra::test::text(melody)));
                (std::abs(move) <= widestStep ? steps : leaps) += 1;
                if (k >= 2 && std::abs(pitchOf(melody[k - 1]) - pitchOf(melody[k - 2])) > widestStep) {
                    ++afterLeap;
                    const int before = pitchOf(melody[k - 1]) - pitchOf(melody[k - 2]);
                    if ((move > 0) != (before > 0))
                        ++reversed;
                }
            }
        }
        QCOMPARE(reached.size(), level.size());
        if (leap == MelodyLeap::steps && level.size() > 2)
            QCOMPARE(leaps, 0);
        // Where the level offers both, about two steps for every leap.
        if (level.size() > 2 && leap != MelodyLeap::steps && length > 1) {
            const double ratio = double(steps) / double(std::max(leaps, 1));
            qInfo("%d steps, %d leaps (%.2f to 1); %d of %d leaps reversed", steps, leaps, ratio, reversed, afterLeap);
            QVERIFY2(ratio > 1.6 && ratio < 2.6, qPrintable(QStringLiteral("%1 steps, %2 leaps").arg(steps).arg(leaps)));
        }
        // After a leap, the way back is the more likely, by far.
        if (afterLeap >= 100) {
            const double share = double(reversed) / double(afterLeap);
            QVERIFY2(share > 0.65, qPrintable(QStringLiteral("%1 of %2 leaps reversed").arg(reversed).arg(afterLeap)));
        }
    }

    // Adaptive melodies draw each note by its weight: a weak note comes
    // more often, within the leap.
    void adaptiveMelodiesFavourWeakNotes()
    {
        const std::vector<Note> level = notes("C1 D1 E1 F1 G1");
        const PracticeEvidence evidence = scored("C1:20/0 D1:20/0 E1:0/20 F1:20/0 G1:20/0");
        const NoteWeight weight = [&evidence](Note n, std::optional<Note> previous) {
            return adaptiveWeight(evidence, n, previous);
        };
        const auto timesE = [&level](const NoteWeight &by) {
            SeededRandomSource random(7);
            int count = 0;
            for (int i = 0; i < 2000; ++i) {
                for (const Note &n : makeMelody(level, note(u"C1"), 4, MelodyLeap::fifth, by, random))
                    count += n == note(u"E1") ? 1 : 0;
            }
            return count;
        };
        const int weighted = timesE(weight);
        const int even = timesE({});
        QVERIFY2(weighted > even * 3 / 2, qPrintable(QStringLiteral("E1 %1 times weighted, %2 evenly").arg(weighted).arg(even)));
    }
};

LIRRA_TEST(AdaptiveOrderTest)
#include "adaptive_order_test.moc"
