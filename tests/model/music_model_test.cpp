#include "support/notes.h"
#include "support/test_registry.h"

#include "model/localization.h"
#include "model/music.h"
#include "model/timestamp.h"

#include <QHash>
#include <QRandomGenerator>
#include <QTest>

#include <cmath>
#include <unordered_map>

using namespace lirra;
using lirra::test::note;
using lirra::test::notes;

namespace {

Session session(double timestamp, std::initializer_list<std::pair<const char *, Score>> entries)
{
    Session s{timestamp, {}};
    for (const auto &[n, score] : entries)
        s.score[note(QString::fromLatin1(n))] = score;
    return s;
}

} // namespace

class MusicModelTest : public QObject {
    Q_OBJECT

private slots:
    void rawValues_data()
    {
        QTest::addColumn<int>("raw");
        QTest::addColumn<int>("expectedIndex"); // -1: no name
        QTest::newRow("below c") << 11 << -1;
        QTest::newRow("c") << 12 << 0;
        QTest::newRow("f sharp") << 18 << 6;
        QTest::newRow("b") << 23 << 11;
        QTest::newRow("above b") << 24 << -1;
        QTest::newRow("zero") << 0 << -1;
    }
    void rawValues()
    {
        QFETCH(int, raw);
        QFETCH(int, expectedIndex);
        const auto name = noteNameFromRawValue(raw);
        QCOMPARE(name.has_value(), expectedIndex >= 0);
        if (name)
            QCOMPARE(index(*name), expectedIndex);
    }

    void pitchArithmetic_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("semitonesAbove");
        QTest::addColumn<int>("by");
        QTest::addColumn<int>("transposedIndex");
        QTest::newRow("b above c") << 11 << 0 << 11 << 1 << 0;   // b + 1 = c
        QTest::newRow("c above b") << 0 << 11 << 1 << 0 << 0;
        QTest::newRow("a above itself") << 9 << 9 << 0 << 3 << 0; // a + 3 = c
        QTest::newRow("e by 12") << 4 << 7 << 9 << 12 << 4;
        QTest::newRow("f sharp above g") << 6 << 7 << 11 << 6 << 0;
    }
    void pitchArithmetic()
    {
        QFETCH(int, from);
        QFETCH(int, key);
        QFETCH(int, semitonesAbove);
        QFETCH(int, by);
        QFETCH(int, transposedIndex);
        const NoteName name = allNoteNames[size_t(from)];
        QCOMPARE(semitones(name, allNoteNames[size_t(key)]), semitonesAbove);
        QCOMPARE(index(transposed(name, by)), transposedIndex);
    }

    void ordering()
    {
        for (size_t i = 1; i < allNoteNames.size(); ++i)
            QVERIFY(allNoteNames[i - 1] < allNoteNames[i]);
        QCOMPARE(rawValue(NoteName::c), 12);
    }

    void displayTexts_data()
    {
        QTest::addColumn<int>("name");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("syllableAbove_c");
        QTest::newRow("c") << 0 << "C" << "Do";
        QTest::newRow("c sharp") << 1 << "C♯ / D♭" << "Di / Ra";
        QTest::newRow("d sharp") << 3 << "D♯ / E♭" << "Ri / Me";
        QTest::newRow("f sharp") << 6 << "F♯ / G♭" << "Fi / Se";
        QTest::newRow("g") << 7 << "G" << "Sol";
        QTest::newRow("a sharp") << 10 << "A♯ / B♭" << "Li / Te";
        QTest::newRow("b") << 11 << "B" << "Ti";
    }
    void displayTexts()
    {
        QFETCH(int, name);
        QFETCH(QString, text);
        QFETCH(QString, syllableAbove_c);
        const NoteName n = allNoteNames[size_t(name)];
        QCOMPARE(localizedName(n), text);
        QCOMPARE(solfegeSyllables().at(semitones(n, NoteName::c)), syllableAbove_c);
        QCOMPARE(solfegeSyllables().size(), 12);
    }

    void stringTable()
    {
        // A key with a text shows the text, a key without one shows itself.
        QCOMPARE(localized("tip.next"), QStringLiteral("Next"));
        QCOMPARE(localized(QStringLiteral("tip.getStarted.button")), QStringLiteral("Let's go"));
        QCOMPARE(localized("no.such.key"), QStringLiteral("no.such.key"));
        QCOMPARE(localized("score").arg(3).arg(5), QStringLiteral("3 of 5 right"));
    }

    void levelTitle()
    {
        Level level;
        level.key = NoteName::c;
        QCOMPARE(level.title(), QStringLiteral("C major"));
        level.key = NoteName::fSharp;
        level.isMajor = false;
        level.isCustom = true;
        level.spansMultipleOctaves = true;
        QCOMPARE(level.title(), QStringLiteral("F♯ / G♭ minor * · 8.."));
        level.isCustom = false;
        QCOMPARE(level.title(), QStringLiteral("F♯ / G♭ minor · 8.."));
    }

    void notesAreHashKeys()
    {
        std::unordered_map<Note, int> map;
        QHash<Note, int> hash;
        for (const Note &n : notes("C1 C2 C#1 C1")) {
            ++map[n];
            ++hash[n];
        }
        QCOMPARE(map.size(), size_t(3));
        QCOMPARE(hash.size(), 3);
        QCOMPARE(map[note(u"C1")], 2);
        QCOMPARE(hash.value(note(u"C1")), 2);
    }

    void valueEquality()
    {
        const QUuid id = QUuid::createUuid();
        const Question a{id, note(u"D1"), notes("D1 C1")};
        QCOMPARE(a, (Question{id, note(u"D1"), notes("D1 C1")}));
        QVERIFY(!(a == Question{QUuid::createUuid(), note(u"D1"), notes("D1 C1")}));

        // Dictionaries compare by content, whatever the order they were filled in.
        Session first{1.5, {}};
        Session second{1.5, {}};
        for (const Note &n : notes("C1 D1 E1 F1 G1"))
            first.score[n] = Score{1, 2};
        for (const Note &n : notes("G1 F1 E1 D1 C1"))
            second.score[n] = Score{1, 2};
        QCOMPARE(first, second);
        second.score[note(u"E1")].wrong = 3;
        QVERIFY(!(first == second));
    }

    void sessionStatistics_data()
    {
        QTest::addColumn<Session>("session");
        QTest::addColumn<qint64>("correct");
        QTest::addColumn<qint64>("wrong");
        QTest::addColumn<double>("accuracy");
        QTest::addColumn<int>("notesWithAccuracy");
        QTest::newRow("empty") << Session{} << 0ll << 0ll << 0.0 << 0;
        QTest::newRow("3 right 1 wrong") << session(1, {{"C1", {3, 1}}}) << 3ll << 1ll << 0.75 << 1;
        QTest::newRow("entry without answers") << session(1, {{"C1", {0, 0}}, {"D1", {1, 0}}}) << 1ll << 0ll
                                               << 1.0 << 1;
        // Pooled over answers: 1 of 1 on C and 1 of 3 on D is 2 of 4, not the mean of 1 and 1/3.
        QTest::newRow("pooled") << session(1, {{"C1", {1, 0}}, {"D1", {1, 2}}}) << 2ll << 2ll << 0.5 << 2;
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
        for (const auto &[n, score] : session.score) {
            if (score.correct + score.wrong > 0)
                QCOMPARE(stats.accuracyPerNote.at(n), double(score.correct) / double(score.correct + score.wrong));
        }
    }

    void levelStatistics()
    {
        // Worked example: C1 answered 2 of 4 across sessions, D1 never.
        Level level;
        level.notes = notes("C1 D1");
        level.sessions = {session(1, {{"C1", {2, 1}}}), session(2, {{"C1", {0, 1}}})};
        LevelStatistics stats = level.statistics();
        QCOMPARE(stats.accuracyPerNote.size(), size_t(1));
        QCOMPARE(stats.accuracyPerNote.at(note(u"C1")), 0.5);
        QCOMPARE(stats.accuracy, 0.25);

        // Each note weighs the same, however often it was asked; notes outside
        // the level are reported but do not enter the mean.
        level.sessions.push_back(session(3, {{"D1", {1, 0}}, {"G1", {0, 5}}}));
        stats = level.statistics();
        QCOMPARE(stats.accuracyPerNote.at(note(u"D1")), 1.0);
        QCOMPARE(stats.accuracyPerNote.at(note(u"G1")), 0.0);
        QCOMPARE(stats.accuracy, 0.75);

        level.notes.clear();
        QCOMPARE(level.statistics().accuracy, 0.0);
    }

    void timestampText_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("whole") << 3.0 << "3.0";
        QTest::newRow("half") << 2.5 << "2.5";
        QTest::newRow("zero") << 0.0 << "0.0";
        QTest::newRow("negative") << -0.5 << "-0.5";
        QTest::newRow("tenth") << 0.1 << "0.1";
        QTest::newRow("now") << 1733472000.123456 << "1733472000.123456";
        QTest::newRow("whole now") << 1733472000.0 << "1733472000.0";
        QTest::newRow("huge") << 1e16 << "1e+16";
    }
    void timestampText()
    {
        QFETCH(double, value);
        QFETCH(QString, text);
        QCOMPARE(formatTimestamp(value), text);
        QCOMPARE(parseDouble(text), std::optional<double>(value));
    }

    void timestampRoundTrip()
    {
        QRandomGenerator random(7);
        for (int i = 0; i < 10000; ++i) {
            const double value = std::ldexp(random.generateDouble(), int(random.bounded(-20, 40)));
            const QString text = formatTimestamp(value);
            QVERIFY2(parseDouble(text) == value, qPrintable(text));
            // The shortest form: one digit less no longer reads back.
            const qsizetype digits = text.indexOf(QLatin1Char('e')) < 0 ? text.size() : text.indexOf(QLatin1Char('e'));
            if (text.contains(QLatin1Char('.')) && !text.endsWith(QLatin1String(".0")) && digits > 3) {
                const QString shorter = text.left(digits - 1) + text.mid(digits);
                QVERIFY2(parseDouble(shorter) != value, qPrintable(text));
            }
        }
        QVERIFY(!parseDouble(u"abc"));
        QVERIFY(!parseDouble(u" 2.5"));
        QVERIFY(!parseDouble(u""));
        QCOMPARE(parseDouble(u"+2.5"), std::optional<double>(2.5));
    }
};

LIRRA_TEST(MusicModelTest)
#include "music_model_test.moc"
