#include "support/test_registry.h"

#include "practice/onboarding_tip_provider.h"
#include "model/localization.h"
#include "practice/settings_preferences.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace lirra;

class PreferencesAndTipsTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString path() const { return m_dir.filePath(QStringLiteral("lirra.json")); }

private slots:
    void init() { QFile::remove(path()); }

    void absentValues()
    {
        SettingsPreferences preferences(path());
        QVERIFY(!preferences.integer(PreferenceKey::levelCursor));
        QVERIFY(!preferences.boolean(PreferenceKey::levelCursor));
        QVERIFY(!preferences.boolean(PreferenceKey::hasSeenOnboarding));
    }

    void valuesKeepTheirKindAcrossRuns()
    {
        {
            SettingsPreferences preferences(path());
            preferences.setInteger(-1, PreferenceKey::levelCursor);
            preferences.setBool(true, PreferenceKey::hasSeenOnboarding);
            QCOMPARE(preferences.integer(PreferenceKey::levelCursor), std::optional<std::int64_t>(-1));
            QVERIFY(preferences.boolean(PreferenceKey::hasSeenOnboarding));
        }
        SettingsPreferences later(path());
        QCOMPARE(later.integer(PreferenceKey::levelCursor), std::optional<std::int64_t>(-1));
        QVERIFY(later.boolean(PreferenceKey::hasSeenOnboarding));
        // Each key read as the other kind is absent or false.
        QVERIFY(!later.boolean(PreferenceKey::levelCursor));
        QVERIFY(!later.integer(PreferenceKey::hasSeenOnboarding));
    }

    void otherKindsReadAsAbsent_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::newRow("text") << QByteArray(R"({"practice.level.cursor": "5", "user.has.seen.onboarding": "true"})");
        QTest::newRow("fraction and number") << QByteArray(R"({"practice.level.cursor": 5.5, "user.has.seen.onboarding": 1})");
        QTest::newRow("swapped kinds") << QByteArray(R"({"practice.level.cursor": true, "user.has.seen.onboarding": 0})");
        QTest::newRow("damaged file") << QByteArray(R"({"practice.level.cursor": 5,)");
    }
    void otherKindsReadAsAbsent()
    {
        QFETCH(QByteArray, file);
        QFile out(path());
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(file);
        out.close();
        SettingsPreferences preferences(path());
        QVERIFY(!preferences.integer(PreferenceKey::levelCursor));
        QVERIFY(!preferences.boolean(PreferenceKey::hasSeenOnboarding));
    }

    void wholeNumbersReadAsIntegers()
    {
        QFile out(path());
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(R"({"practice.level.cursor": 42, "user.has.seen.onboarding": false})");
        out.close();
        SettingsPreferences preferences(path());
        QCOMPARE(preferences.integer(PreferenceKey::levelCursor), std::optional<std::int64_t>(42));
        QVERIFY(!preferences.boolean(PreferenceKey::hasSeenOnboarding));
    }

    void theTour()
    {
        OnboardingTipProvider provider;
        std::vector<Tip> tips;
        while (auto tip = provider.nextTip())
            tips.push_back(*tip);
        QCOMPARE(tips.size(), size_t(12));
        QCOMPARE(tips.front().target, Tip::Target::startStopButton);
        QCOMPARE(tips.front().message, localized("tip.howItWorks.content"));
        QCOMPARE(tips[3].target, Tip::Target::keyboard);
        QCOMPARE(tips[10].target, Tip::Target::accuracyRing);
        QCOMPARE(tips.back().actionTitle, localized("tip.getStarted.button"));
        for (const Tip &tip : tips) {
            // Every text has an English translation: no key shows through.
            QVERIFY2(!tip.title.startsWith(QLatin1String("tip.")), qPrintable(tip.title));
            QVERIFY2(!tip.message.startsWith(QLatin1String("tip.")), qPrintable(tip.message));
            QVERIFY2(!tip.actionTitle.startsWith(QLatin1String("tip.")), qPrintable(tip.actionTitle));
        }
        QVERIFY(!provider.nextTip());
        QVERIFY(!provider.nextTip());
    }
};

LIRRA_TEST(PreferencesAndTipsTest)
#include "preferences_and_tips_test.moc"
