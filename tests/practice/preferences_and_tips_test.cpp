#include "support/test_registry.h"

#include "model/localization.h"
#include "practice/onboarding_tip_provider.h"
#include "storage/settings_preferences.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace lirra;

class PreferencesAndTipsTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString path() const { return m_dir.filePath(QStringLiteral("lirra.json")); }

private slots:
    void valuesKeepTheirKindAcrossRuns()
    {
        QFile::remove(path());
        {
            SettingsPreferences first(path());
            QVERIFY(!first.integer(PreferenceKey::levelCursor));
            QVERIFY(!first.boolean(PreferenceKey::hasSeenOnboarding));
            first.setInteger(-1, PreferenceKey::levelCursor);
            first.setBool(true, PreferenceKey::hasSeenOnboarding);
        }
        SettingsPreferences later(path());
        QCOMPARE(later.integer(PreferenceKey::levelCursor), std::optional<std::int64_t>(-1));
        QVERIFY(later.boolean(PreferenceKey::hasSeenOnboarding));
        // Each key read as the other kind is absent or false.
        QVERIFY(!later.boolean(PreferenceKey::levelCursor));
        QVERIFY(!later.integer(PreferenceKey::hasSeenOnboarding));
    }

    // A store whose file cannot be read, or cannot be written, says so
    // once, on a later turn of the event loop, naming the file; what was set
    // stays readable, and a file that could not be read is never written.
    void aFailedWriteIsToldOnce_data()
    {
        QTest::addColumn<QString>("obstacle");
        QTest::addColumn<QString>("told");
        QTest::newRow("a file where the folder goes") << "folder is a file" << "Could not read %1: Not a directory";
        QTest::newRow("a folder where the file goes") << "file is a folder" << "Could not read %1: Is a directory";
        QTest::newRow("a file that becomes a folder") << "later a folder"
                                                      << "Could not save the settings file %1: it could not be written.";
    }
    void aFailedWriteIsToldOnce()
    {
        QFETCH(QString, obstacle);
        QFETCH(QString, told);
        QTemporaryDir home;
        const QString folder = home.filePath(QStringLiteral("config"));
        const QString file = folder + QStringLiteral("/lirra.json");
        if (obstacle == QLatin1String("folder is a file")) {
            QFile blocker(folder);
            QVERIFY(blocker.open(QIODevice::WriteOnly));
        } else if (obstacle == QLatin1String("file is a folder")) {
            QVERIFY(QDir().mkpath(file));
        }
        SettingsPreferences preferences(file);
        if (obstacle == QLatin1String("later a folder"))
            QVERIFY(QDir().mkpath(file));
        QStringList heard;
        preferences.setFailureHandler([&heard](const Error &error) { heard << error.description; });
        preferences.setInteger(7, PreferenceKey::levelCursor);
        QVERIFY(heard.isEmpty()); // the caller never waits for the file
        QTRY_COMPARE(heard.size(), 1);
        QCOMPARE(heard.front(), told.arg(file));
        preferences.setBool(true, PreferenceKey::hasSeenOnboarding);
        QTest::qWait(50);
        QCOMPARE(heard.size(), 1);
        QCOMPARE(preferences.integer(PreferenceKey::levelCursor), std::optional<std::int64_t>(7));
        // What stands there is left as it was.
        QVERIFY(obstacle == QLatin1String("folder is a file") ? QFileInfo(folder).isFile() : QFileInfo(file).isDir());
    }

    void theTour()
    {
        OnboardingTipProvider provider;
        std::vector<Tip> tips;
        while (auto tip = provider.nextTip())
            tips.push_back(*tip);
        QCOMPARE(tips.size(), size_t(12));
        QCOMPARE(tips.front().message, localized("tip.howItWorks.content"));
        QCOMPARE(tips[3].target, Tip::Target::keyboard);
        QCOMPARE(tips.back().actionTitle, localized("tip.getStarted.button"));
        for (const Tip &tip : tips) // every text has English words: no key shows through
            QVERIFY(!(tip.title + tip.message + tip.actionTitle).contains(QLatin1String("tip.")));
        QVERIFY(!provider.nextTip());
    }
};

LIRRA_TEST(PreferencesAndTipsTest)
#include "preferences_and_tips_test.moc"
