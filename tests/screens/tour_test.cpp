#include "support/app_window.h"
#include "support/test_registry.h"

#include "model/localization.h"
#include "screens/app.h"
#include "screens/main_screen.h"
#include "storage/settings_preferences.h"
#include "widgets/control.h"
#include "widgets/keyboard.h"
#include "widgets/tip_view.h"

#include <QAccessible>
#include <QPushButton>
#include <QTest>

using namespace lirra;
using namespace lirra::test;

class TourTest : public QObject, private AppWindowFixture {
    Q_OBJECT

private:
    bool start()
    {
        return launch(withoutMidi());
    }
    // The bubble on display, over the toolbar or on the keys.
    TipView *shownTip()
    {
        if (TipView *tip = m_delegate->toolbarTip())
            return tip;
        return m_delegate->app()->main()->keyboardView()->tipView();
    }
    bool seenPreference()
    {
        return SettingsPreferences(m_home->filePath(QStringLiteral("lirra.json"))).boolean(PreferenceKey::hasSeenOnboarding);
    }

private slots:
    void init() { newHome(); }
    void cleanup() { closeApp(); }

    // Each tip sits by the control it is about, and offers a way out.
    void everyTipPointsAtItsControlAndCanBeSkipped()
    {
        QVERIFY(start());
        const std::vector<Tip::Target> expected = {
            Tip::Target::startStopButton, Tip::Target::keyboard, Tip::Target::keyboard, Tip::Target::keyboard,
            Tip::Target::titleView, Tip::Target::nextButton, Tip::Target::previousButton, Tip::Target::randomButton,
            Tip::Target::homeButton, Tip::Target::configureLevelButton, Tip::Target::accuracyRing,
            Tip::Target::startStopButton};
        for (size_t i = 0; i < expected.size(); ++i) {
            QVERIFY(state().currentTip);
            QCOMPARE(state().currentTip->target, expected[i]);
            TipView *tip = shownTip();
            QVERIFY2(tip, qPrintable(QString::number(i)));
            QCOMPARE(tip->message(), state().currentTip->message);
            QVERIFY(tip->secondaryButton() && tip->secondaryButton()->isVisible());
            QCOMPARE(tip->secondaryButton()->pushButton()->text(), localized("tip.skip"));
            // A screen reader finds it as a button by what it does.
            QAccessibleInterface *skip = QAccessible::queryAccessibleInterface(tip->secondaryButton()->pushButton());
            QVERIFY(skip && skip->role() == QAccessible::Button);
            QCOMPARE(skip->text(QAccessible::Name), localized("tip.skip"));
            // On the keys for the keyboard's tips, in the toolbar's bubble for the others.
            QCOMPARE(m_delegate->toolbarTip() == nullptr, expected[i] == Tip::Target::keyboard);
            tip->button()->pushButton()->click();
        }
        QVERIFY(!state().currentTip && state().isInteractionEnabled);
        QVERIFY(spinUntil([this] { return seenPreference(); }, 5000)); // written on a later turn
    }

    // Escape skips the tour for good; F1 brings it back from its start.
    void escapeSkipsAndF1Replays()
    {
        QVERIFY(start());
        QVERIFY(state().currentTip);
        shownTip()->button()->pushButton()->click(); // to the second tip
        QVERIFY(m_delegate->shortcut(Command::cancel)->isEnabled());
        QTest::keyClick(m_delegate->window(), Qt::Key_Escape);
        QVERIFY(waitFor([](const AppState &s) { return !s.currentTip && s.isInteractionEnabled; }));
        QVERIFY(!shownTip());
        QVERIFY(spinUntil([this] { return seenPreference(); }, 5000)); // written on a later turn

        // Not at the next start either.
        closeApp();
        QVERIFY(start());
        QVERIFY(!state().currentTip && state().isInteractionEnabled);

        QTest::keyClick(m_delegate->window(), Qt::Key_F1);
        QVERIFY(waitFor([](const AppState &s) { return s.currentTip.has_value(); }));
        QCOMPARE(state().currentTip->message, localized("tip.howItWorks.content"));
        QVERIFY(shownTip());
        // Not into a session: F1 waits for the session to end.
        shownTip()->secondaryButton()->pushButton()->click();
        QVERIFY(waitFor([](const AppState &s) { return !s.currentTip; }));
        button("startStopSessionButton")->click();
        QVERIFY(waitFor([](const AppState &s) { return s.isPracticing && s.question; }));
        QTest::keyClick(m_delegate->window(), Qt::Key_F1);
        QCoreApplication::processEvents();
        QVERIFY(!state().currentTip);
    }
};

LIRRA_TEST(TourTest)
#include "tour_test.moc"
