#include "support/test_registry.h"

#include "practice/practice_settings.h"
#include "storage/settings_preferences.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

using namespace lirra;

namespace {

// Every field of the settings as one line, for comparing.
QString describe(const Settings &s)
{
    return QStringLiteral("instrument %1 tempo %2 cadence %3 drone %4 beats %5 emphasis %6 volume %7 names %8 mode %9 contrast %10")
        .arg(presetText(s.instrument))
        .arg(s.tempo)
        .arg(s.cadenceEvery)
        .arg(s.drone)
        .arg(s.questionBeats)
        .arg(s.questionEmphasis)
        .arg(s.volume)
        .arg(namingText(s.noteNames))
        .arg(modeText(s.mode))
        .arg(s.contrast)
        + QStringLiteral(" length %1 leap %2 kind %3 repeat %4")
              .arg(s.melodyLength)
              .arg(leapText(s.melodyLeap), kindText(s.questionKind))
              .arg(s.chordsRepeat);
}

Settings with(const std::function<void(Settings &)> &change)
{
    Settings settings;
    change(settings);
    return settings;
}

} // namespace

Q_DECLARE_METATYPE(lirra::Settings)

class PracticeSettingsTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString path() const { return m_dir.filePath(QStringLiteral("lirra.json")); }

    void writeFile(const QByteArray &contents)
    {
        QFile::remove(path());
        QFile file(path());
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(contents), contents.size());
    }

private slots:
    // The settings file as a user or a damaged disk may leave it: each value
    // that is not one the app writes reads as its default, and the others
    // stay as they are.
    void readsWhatIsSound_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<Settings>("expected");
        const Settings defaults;
        QTest::newRow("no file contents") << QByteArray() << defaults;
        QTest::newRow("not JSON") << QByteArray("sound.volume = 3") << defaults;
        QTest::newRow("binary") << QByteArray("\x00\xff\xfe{\"sound.volume\":3", 20) << defaults;
        QTest::newRow("a JSON list") << QByteArray("[1, 2]") << defaults;
        QTest::newRow("every value sound")
            << QByteArray("{\"sound.instrument\": \"0:48\", \"practice.tempo\": 60, \"practice.cadence.every\": 3, \"sound.drone\": true, \"sound.questionNote.beats\": 4, \"sound.questionNote.emphasis\": 12, \"sound.volume\": 0, \"display.noteNames\": \"lettersForKey\"}")
            << Settings{Preset{0, 48}, 60, 3, true, 4, 12, 0, NoteNaming::lettersForKey};
        QTest::newRow("adaptive without contrast")
            << QByteArray("{\"practice.mode\": \"adaptive\", \"practice.contrast\": false}")
            << with([](Settings &s) { s.mode = PracticeMode::adaptive; s.contrast = false; });
        QTest::newRow("mode unknown") << QByteArray("{\"practice.mode\": \"Adaptive\"}") << defaults;
        QTest::newRow("mode a number") << QByteArray("{\"practice.mode\": 1}") << defaults;
        QTest::newRow("contrast a text stays on") << QByteArray("{\"practice.contrast\": \"false\"}") << defaults;
        QTest::newRow("contrast zero stays on") << QByteArray("{\"practice.contrast\": 0}") << defaults;
        QTest::newRow("lowest values") << QByteArray("{\"practice.tempo\": 40, \"practice.cadence.every\": 0, \"sound.questionNote.beats\": 1}")
                                       << with([](Settings &s) { s.tempo = 40; s.cadenceEvery = 0; });
        QTest::newRow("highest values") << QByteArray("{\"practice.tempo\": 240, \"practice.cadence.every\": 16, \"sound.volume\": 100}")
                                        << with([](Settings &s) { s.tempo = 240; s.cadenceEvery = 16; });
        QTest::newRow("tempo too slow") << QByteArray("{\"practice.tempo\": 39, \"sound.volume\": 50}")
                                        << with([](Settings &s) { s.volume = 50; });
        QTest::newRow("tempo too fast") << QByteArray("{\"practice.tempo\": 241}") << defaults;
        QTest::newRow("tempo a fraction") << QByteArray("{\"practice.tempo\": 100.5}") << defaults;
        QTest::newRow("tempo a text") << QByteArray("{\"practice.tempo\": \"100\"}") << defaults;
        QTest::newRow("tempo huge") << QByteArray("{\"practice.tempo\": 1e300}") << defaults;
        QTest::newRow("cadence negative") << QByteArray("{\"practice.cadence.every\": -1}") << defaults;
        QTest::newRow("cadence too rare") << QByteArray("{\"practice.cadence.every\": 17}") << defaults;
        QTest::newRow("drone a number") << QByteArray("{\"sound.drone\": 1}") << defaults;
        QTest::newRow("drone a text") << QByteArray("{\"sound.drone\": \"true\"}") << defaults;
        QTest::newRow("no beats") << QByteArray("{\"sound.questionNote.beats\": 0}") << defaults;
        QTest::newRow("five beats") << QByteArray("{\"sound.questionNote.beats\": 5}") << defaults;
        QTest::newRow("emphasis too much") << QByteArray("{\"sound.questionNote.emphasis\": 13}") << defaults;
        QTest::newRow("emphasis negative") << QByteArray("{\"sound.questionNote.emphasis\": -3}") << defaults;
        QTest::newRow("volume too loud") << QByteArray("{\"sound.volume\": 101}") << defaults;
        QTest::newRow("volume null") << QByteArray("{\"sound.volume\": null}") << defaults;
        QTest::newRow("instrument a number") << QByteArray("{\"sound.instrument\": 48}") << defaults;
        QTest::newRow("instrument no bank") << QByteArray("{\"sound.instrument\": \"48\"}") << defaults;
        QTest::newRow("instrument beyond MIDI") << QByteArray("{\"sound.instrument\": \"0:200\"}") << defaults;
        QTest::newRow("instrument an object") << QByteArray("{\"sound.instrument\": {\"bank\": 0}}") << defaults;
        QTest::newRow("progressions of chords that may repeat")
            << QByteArray("{\"practice.question.kind\": \"chord\", \"practice.chords.repeat\": true, \"practice.melody.length\": 3, \"practice.melody.leap\": \"any\"}")
            << with([](Settings &s) { s.questionKind = QuestionKind::chord; s.chordsRepeat = true; s.melodyLength = 3; s.melodyLeap = MelodyLeap::any; });
        QTest::newRow("kind unknown") << QByteArray("{\"practice.question.kind\": \"Chord\"}") << defaults;
        QTest::newRow("kind a number, repeat a text")
            << QByteArray("{\"practice.question.kind\": 1, \"practice.chords.repeat\": \"true\"}") << defaults;
        QTest::newRow("length beyond five") << QByteArray("{\"practice.melody.length\": 6}") << defaults;
        QTest::newRow("names unknown") << QByteArray("{\"display.noteNames\": \"Solfege\"}") << defaults;
        QTest::newRow("names a list") << QByteArray("{\"display.noteNames\": [\"degrees\"]}") << defaults;
        QTest::newRow("one bad value among good ones")
            << QByteArray("{\"practice.tempo\": 999, \"sound.drone\": true, \"display.noteNames\": \"degrees\"}")
            << with([](Settings &s) { s.drone = true; s.noteNames = NoteNaming::degrees; });
    }
    void readsWhatIsSound()
    {
        QFETCH(QByteArray, file);
        QFETCH(Settings, expected);
        writeFile(file);
        const SettingsPreferences preferences(path());
        QCOMPARE(describe(readSettings(preferences)), describe(expected));
    }

    // What the dialog changes is what the next run reads, and only changed
    // values are written.
    void changesOutlastTheRun()
    {
        QFile::remove(path());
        const Settings defaults;
        Settings changed = defaults;
        changed.instrument = Preset{8, 4};
        changed.tempo = 200;
        changed.cadenceEvery = 0;
        changed.noteNames = NoteNaming::solfegeForKey;
        changed.mode = PracticeMode::adaptive;
        changed.contrast = false;
        changed.questionKind = QuestionKind::chord;
        changed.chordsRepeat = true;
        {
            SettingsPreferences preferences(path());
            storeSettings(preferences, changed, defaults);
            QVERIFY(preferences.sync());
        }
        QFile file(path());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QJsonObject stored = QJsonDocument::fromJson(file.readAll()).object();
        QCOMPARE(stored.keys(), (QStringList{"display.noteNames", "practice.cadence.every", "practice.chords.repeat",
                                             "practice.contrast", "practice.mode", "practice.question.kind",
                                             "practice.tempo", "sound.instrument"}));
        QCOMPARE(stored.value("practice.contrast").toBool(true), false);
        QCOMPARE(stored.value("sound.instrument").toString(), QStringLiteral("8:4"));

        SettingsPreferences later(path());
        QCOMPARE(describe(readSettings(later)), describe(changed));
        // Back to a default: stored as such, read the same.
        Settings reverted = changed;
        reverted.tempo = defaults.tempo;
        storeSettings(later, reverted, changed);
        QVERIFY(later.sync());
        QCOMPARE(describe(readSettings(SettingsPreferences(path()))), describe(reverted));
    }
};

LIRRA_TEST(PracticeSettingsTest)
#include "practice_settings_test.moc"
