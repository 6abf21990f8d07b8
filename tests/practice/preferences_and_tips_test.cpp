#include "support/test_registry.h"

#include "model/localization.h"
#include "practice/onboarding_tip_provider.h"
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
