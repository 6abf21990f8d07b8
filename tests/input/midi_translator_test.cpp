#include "support/notes.h"
#include "support/test_registry.h"

#include "input/chord_gathering.h"
#include "input/computer_keyboard.h"
#include "input/midi_translator.h"

#include <QTest>

using namespace lirra;
using namespace lirra::test;

// "C1+ D1-" → C1 pressed, then D1 released.
static std::vector<NoteInput> inputs(const QString &text)
{
    std::vector<NoteInput> result;
    for (const QString &word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        result.push_back(NoteInput{note(word.chopped(1)), word.endsWith(QLatin1Char('+'))});
    return result;
}

class MidiTranslatorTest : public QObject {
    Q_OBJECT

private slots:
    // Each row feeds its chunks of bytes in turn to one translator.
    void bytesToKeys_data()
    {
        QTest::addColumn<QList<QByteArray>>("chunks");
        QTest::addColumn<QString>("expected");
        const auto bytes = [](std::initializer_list<int> values) {
            QByteArray b;
            for (int v : values)
                b.append(char(v));
            return b;
        };
        QTest::newRow("note-on, note-off") << QList{bytes({0x90, 60, 100, 0x80, 60, 64})} << "C1+ C1-";
        QTest::newRow("any channel") << QList{bytes({0x9F, 72, 1, 0x83, 72, 0})} << "C2+ C2-";
        QTest::newRow("velocity 0 releases") << QList{bytes({0x90, 64, 0})} << "E1-";
        QTest::newRow("running status") << QList{bytes({0x90, 60, 90, 64, 90, 60, 0})} << "C1+ E1+ C1-";
        QTest::newRow("running status across messages") << QList{bytes({0x90, 61, 90}), bytes({61, 0})} << "C#1+ C#1-";
        QTest::newRow("a message split between chunks") << QList{bytes({0x90, 62}), bytes({80})} << "D1+";
        QTest::newRow("controllers, bend, pressure, program") << QList{bytes({0xB0, 64, 127, 0xE0, 0, 64, 0xD0, 5, 0xC0, 3, 0xA0, 60, 9})}
                                                            << "";
        QTest::newRow("running status of a controller is not a note") << QList{bytes({0xB0, 7, 100, 60, 100})} << "";
        QTest::newRow("real time inside a message") << QList{bytes({0x90, 0xF8, 65, 0xFE, 70})} << "F1+";
        QTest::newRow("real time keeps running status") << QList{bytes({0x90, 65, 70, 0xF8, 67, 70})} << "F1+ G1+";
        QTest::newRow("system exclusive") << QList{bytes({0xF0, 0x7E, 60, 100, 0xF7, 0x90, 66, 1})} << "F#1+";
        QTest::newRow("system messages end running status") << QList{bytes({0x90, 60, 90, 0xF2, 1, 2, 62, 90})} << "C1+";
        QTest::newRow("data without a status") << QList{bytes({60, 100, 0x80, 71, 0})} << "B1-";
        QTest::newRow("below the keyboard: folded up") << QList{bytes({0x90, 48, 90, 0x90, 23, 90, 0x90, 0, 90})} << "C1+ B1+ C1+";
        QTest::newRow("above the keyboard: folded down") << QList{bytes({0x90, 84, 90, 0x90, 83, 90, 0x90, 127, 90})}
                                                       << "C2+ B2+ G2+";
    }
    void bytesToKeys()
    {
        QFETCH(QList<QByteArray>, chunks);
        QFETCH(QString, expected);
        MidiTranslator translator;
        std::vector<NoteInput> got;
        for (const QByteArray &chunk : chunks) {
            const auto *data = reinterpret_cast<const std::uint8_t *>(chunk.constData());
            const std::vector<NoteInput> part = translator.translate(std::span(data, size_t(chunk.size())));
            got.insert(got.end(), part.begin(), part.end());
        }
        QCOMPARE(got, inputs(expected));
    }

    // The home row in both typed octaves, and the octave keys at their ends.
    void musicalTyping_data()
    {
        QTest::addColumn<QList<int>>("octaveKeys");
        QTest::addColumn<QString>("notes"); // for A W S E D F T G Y H U J K; "-" where none
        QTest::newRow("octave 1") << QList<int>{} << "C1 C#1 D1 D#1 E1 F1 F#1 G1 G#1 A1 A#1 B1 C2";
        QTest::newRow("X: octave 2, K beyond the keyboard") << QList<int>{Qt::Key_X} << "C2 C#2 D2 D#2 E2 F2 F#2 G2 G#2 A2 A#2 B2 -";
        QTest::newRow("X twice stays at 2") << QList<int>{Qt::Key_X, Qt::Key_X} << "C2 C#2 D2 D#2 E2 F2 F#2 G2 G#2 A2 A#2 B2 -";
        QTest::newRow("Z below 1 stays at 1") << QList<int>{Qt::Key_X, Qt::Key_Z, Qt::Key_Z} << "C1 C#1 D1 D#1 E1 F1 F#1 G1 G#1 A1 A#1 B1 C2";
    }
    void musicalTyping()
    {
        QFETCH(QList<int>, octaveKeys);
        QFETCH(QString, notes);
        TypingKeyboard typing;
        for (int key : octaveKeys)
            QVERIFY(typing.moveOctave(*typingKey(0, key)));
        const int keys[] = {Qt::Key_A, Qt::Key_W, Qt::Key_S, Qt::Key_E, Qt::Key_D, Qt::Key_F, Qt::Key_T,
                            Qt::Key_G, Qt::Key_Y, Qt::Key_H, Qt::Key_U, Qt::Key_J, Qt::Key_K};
        const QStringList expected = notes.split(QLatin1Char(' '));
        for (int i = 0; i < 13; ++i) {
            const std::optional<Note> typed = typing.note(*typingKey(0, keys[i]));
            QCOMPARE(typed.has_value(), expected[i] != QLatin1String("-"));
            if (typed)
                QCOMPARE(*typed, note(expected[i]));
        }
        QVERIFY(!typingKey(0, Qt::Key_Q));
    }

    // Keys struck on a MIDI keyboard, each "note@ms", in chord mode: what
    // each answer comes to once the gap after the last press has passed.
    void chordsStruckTogether_data()
    {
        QTest::addColumn<QString>("presses");
        QTest::addColumn<QString>("answers");
        QTest::newRow("root position") << "C1@0 E1@5 G1@9" << "C1";
        QTest::newRow("first inversion") << "E1@0 G1@3 C2@6" << "C2";
        QTest::newRow("second inversion") << "C1@0 F1@2 A1@4" << "F1";
        QTest::newRow("spread over two octaves") << "D1@0 A1@8 F#2@14" << "D1";
        QTest::newRow("a doubled note") << "G1@0 B1@1 D2@2 G2@3" << "G1";
        QTest::newRow("diminished") << "B1@0 D1@10 F1@20" << "B1";
        QTest::newRow("notes 40 ms apart: one chord") << "A1@0 C2@40 E2@80" << "A1";
        QTest::newRow("notes 120 ms apart: three keys") << "F1@0 A1@120 C2@240" << "F1 A1 C2";
        QTest::newRow("a single note") << "D1@0" << "D1";
        QTest::newRow("two notes: the first") << "E1@0 C1@5" << "E1";
        QTest::newRow("no triad: the first") << "C1@0 D1@3 E1@6" << "C1";
        QTest::newRow("a chord, then a chord") << "F1@0 A1@5 C2@9 G1@300 B1@302 D2@305" << "F1 G1";
    }
    void chordsStruckTogether()
    {
        QFETCH(QString, presses);
        QFETCH(QString, answers);
        ChordGathering gathering;
        std::vector<Note> answered;
        for (const QString &press : presses.split(u' ')) {
            const QStringList parts = press.split(u'@');
            const std::int64_t at = parts[1].toLongLong();
            if (const std::optional<Note> before = gathering.press(note(parts[0]), at))
                answered.push_back(*before);
            QCOMPARE(gathering.dueAt(), std::optional<std::int64_t>(at + ChordGathering::gapMs));
        }
        if (const std::optional<Note> last = gathering.take())
            answered.push_back(*last);
        QCOMPARE(text(answered), answers);
        QVERIFY(!gathering.dueAt() && !gathering.take());
    }

    // The number row names a key's chords by degree, by its place: on AZERTY
    // it types & é " ' ( - è.
    void degreesOnTheNumberRow_data()
    {
        QTest::addColumn<quint32>("keycode");
        QTest::addColumn<int>("letter");
        QTest::addColumn<int>("degree"); // 0: none
        QTest::addColumn<QString>("inCMajor");
        QTest::addColumn<QString>("inAMinor");
        QTest::newRow("1 on US") << 10u << int(Qt::Key_1) << 1 << "C" << "A";
        QTest::newRow("4 on AZERTY types '") << 13u << int(Qt::Key_Apostrophe) << 4 << "F" << "D";
        QTest::newRow("3: the minor key's III") << 12u << int(Qt::Key_3) << 3 << "E" << "C";
        QTest::newRow("7: the minor key's VII") << 16u << int(Qt::Key_7) << 7 << "B" << "G";
        QTest::newRow("made up, without a keycode") << 0u << int(Qt::Key_5) << 5 << "G" << "E";
        QTest::newRow("8 is none") << 17u << int(Qt::Key_8) << 0 << "" << "";
        QTest::newRow("0 is none") << 19u << int(Qt::Key_0) << 0 << "" << "";
        QTest::newRow("A is none") << 38u << int(Qt::Key_A) << 0 << "" << "";
    }
    void degreesOnTheNumberRow()
    {
        QFETCH(quint32, keycode);
        QFETCH(int, letter);
        QFETCH(int, degree);
        QFETCH(QString, inCMajor);
        QFETCH(QString, inAMinor);
        const std::optional<int> found = degreeKey(keycode, letter);
        QCOMPARE(found.value_or(0), degree);
        if (!found)
            return;
        QCOMPARE(note(inCMajor + u"1"_qs).name, degreeRoot(NoteName::c, true, *found));
        QCOMPARE(note(inAMinor + u"1"_qs).name, degreeRoot(NoteName::a, false, *found));
    }

    // Keys go by their place: what a French or a German layout prints there
    // (the keysym Qt reports) does not matter, the keycode does.
    void typingFollowsThePlaceNotTheLetter_data()
    {
        QTest::addColumn<quint32>("keycode");
        QTest::addColumn<int>("letter"); // what the layout types there
        QTest::addColumn<QString>("plays"); // a note, "down", "up" or "-"
        QTest::newRow("AZERTY: Q where A is") << 38u << int(Qt::Key_Q) << "C1";
        QTest::newRow("AZERTY: Z where W is") << 25u << int(Qt::Key_Z) << "C#1";
        QTest::newRow("AZERTY: A where Q is") << 24u << int(Qt::Key_A) << "-";
        QTest::newRow("AZERTY: W where Z is") << 52u << int(Qt::Key_W) << "down";
        QTest::newRow("QWERTZ: Z where Y is") << 29u << int(Qt::Key_Z) << "G#1";
        QTest::newRow("QWERTZ: Y where Z is") << 52u << int(Qt::Key_Y) << "down";
        QTest::newRow("Dvorak: O where S is") << 39u << int(Qt::Key_O) << "D1";
        QTest::newRow("X where X is") << 53u << int(Qt::Key_X) << "up";
        QTest::newRow("R: no typing key") << 27u << int(Qt::Key_R) << "-";
    }
    void typingFollowsThePlaceNotTheLetter()
    {
        QFETCH(quint32, keycode);
        QFETCH(int, letter);
        QFETCH(QString, plays);
        const std::optional<TypingKey> key = typingKey(keycode, letter);
        QCOMPARE(key.has_value(), plays != QLatin1String("-"));
        if (!key)
            return;
        TypingKeyboard typing;
        if (plays == QLatin1String("down") || plays == QLatin1String("up")) {
            QCOMPARE(*key, plays == QLatin1String("down") ? TypingKey::octaveDown : TypingKey::octaveUp);
            return;
        }
        QCOMPARE(typing.note(*key), std::optional(note(plays)));
        QCOMPARE(keycodeOf(*key), keycode);
    }
};

LIRRA_TEST(MidiTranslatorTest)
#include "midi_translator_test.moc"
