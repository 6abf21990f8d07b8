#include "support/test_registry.h"

#include "core/screen_states.h"
#include "model/localization.h"
#include "screens/app_delegate.h"
#include "screens/nav_bar.h"
#include "widgets/accuracy_ring.h"
#include "widgets/control.h"

#include <QMainWindow>
#include <QTest>
#include <QToolButton>

using namespace lirra;
using namespace lirra::test;

namespace {

const QStringList controls = {"firstLevelButton", "randomLevelButton", "previousLevelButton", "nextLevelButton",
                              "configureLevelButton", "startStopSessionButton", "repeatButton", "accuracyButton"};

StyledText score(int right, int total)
{
    return {{QString::number(right), PaletteColor::green}, {QStringLiteral(" · "), {}},
            {QString::number(total - right), PaletteColor::red}, {QStringLiteral(" · "), {}},
            {QString::number(total), PaletteColor::teal}};
}

// The toolbar's states over a session, as the loop derives them.
std::vector<std::pair<QString, NavBarState>> sessionStates()
{
    NavBarState idle; // before the first state
    NavBarState level = idle;
    level.isPreviousButtonEnabled = level.isNextButtonEnabled = level.isConfigureButtonEnabled = true;
    level.isStartStopButtonEnabled = level.isAccuracyRingEnabled = true;
    level.scoreText = StyledText{};
    NavBarState withHistory = level;
    withHistory.accuracy = 0.63f;
    withHistory.hasAccuracy = true;
    NavBarState cadence = withHistory;
    cadence.isPreviousButtonEnabled = cadence.isNextButtonEnabled = cadence.isConfigureButtonEnabled = false;
    cadence.isAccuracyRingEnabled = false;
    cadence.startStopButtonMode = NavBarState::StartStopMode::stop;
    cadence.isRepeatButtonEnabled = true;
    cadence.isScoreLabelHidden = false;
    cadence.hasAccuracy = false;
    NavBarState answered = cadence;
    answered.isAccuracyRingEnabled = true;
    answered.scoreText = score(6, 7);
    answered.accuracy = 6.0f / 7.0f;
    answered.hasAccuracy = true;
    NavBarState long_ = answered;
    long_.scoreText = score(288, 412);
    long_.accuracy = 0.7f;
    NavBarState stopped = withHistory;
    stopped.scoreText = score(288, 412);
    return {{"before the first state", idle}, {"a level", level}, {"a level with answers", withHistory},
            {"the cadence", cadence}, {"after the first answers", answered}, {"three-digit counts", long_},
            {"after the stop", stopped}};
}

std::map<QString, QRect> geometries(NavBar *bar)
{
    std::map<QString, QRect> result;
    for (const QString &identifier : controls) {
        QWidget *item = bar->item(identifier);
        result[identifier] = QRect(item->mapTo(bar->window(), QPoint(0, 0)), item->size());
    }
    return result;
}

// The mean brightness of the icon in the middle of a button, 0 to 255.
double iconBrightness(QToolButton *button)
{
    const QImage image = button->grab().toImage();
    const QRect middle = QRect(QPoint(0, 0), QSize(14, 14)).translated(image.rect().center() - QPoint(7, 7));
    double brightest = 0;
    for (int y = middle.top(); y <= middle.bottom(); ++y) {
        for (int x = middle.left(); x <= middle.right(); ++x) {
            const double value = qGray(image.pixel(x, y));
            brightest = std::max(brightest, value);
        }
    }
    return brightest;
}

} // namespace

class NavBarTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QMainWindow> m_window;
    NavBar *m_bar = nullptr;
    std::vector<AppAction> m_sent;

private slots:
    void initTestCase() { applyDarkAppearance(); }
    void init()
    {
        m_window = std::make_unique<QMainWindow>();
        m_sent.clear();
        m_bar = new NavBar([this](AppAction action) { m_sent.push_back(std::move(action)); });
        m_window->addToolBar(m_bar);
        m_window->setCentralWidget(new QWidget);
        m_window->resize(860, 380);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    }
    void cleanup() { m_window.reset(); }

    // No control moves as a session goes on, in any language: the score's
    // room is kept and the start/stop button keeps its place.
    void controlsHoldStill_data()
    {
        QTest::addColumn<QString>("subtitle");
        QTest::addColumn<int>("width");
        QTest::newRow("short title") << QStringLiteral("C major") << 860;
        QTest::newRow("long title") << QStringLiteral("F♯ minor * · 8.. — a custom level with a long name") << 860;
        QTest::newRow("wide window") << QStringLiteral("C major") << 1400;
    }
    void controlsHoldStill()
    {
        QFETCH(QString, subtitle);
        QFETCH(int, width);
        m_window->resize(width, 380);
        m_bar->setSubtitle(subtitle);
        std::optional<std::map<QString, QRect>> first;
        for (const auto &[name, state] : sessionStates()) {
            m_bar->apply(state);
            QCoreApplication::processEvents();
            const auto now = geometries(m_bar);
            for (const auto &[identifier, rect] : now) {
                QVERIFY2(m_window->rect().contains(rect), qPrintable(name + QLatin1Char(' ') + identifier));
                if (first)
                    QVERIFY2(first->at(identifier) == rect,
                             qPrintable(QStringLiteral("%1 moved in \"%2\"").arg(identifier, name)));
            }
            if (!first)
                first = now;
        }
        // The score shows whole in its room.
        const int scoreWidth = m_bar->scoreLabel()->sizeHint().width();
        QVERIFY2(scoreWidth <= m_bar->scoreLabel()->parentWidget()->width(), qPrintable(QString::number(scoreWidth)));
    }

    // A disabled button looks disabled: its icon is greyed, not just inert.
    void disabledLooksDisabled()
    {
        NavBarState state = sessionStates()[1].second;
        m_bar->apply(state);
        auto *next = qobject_cast<QToolButton *>(m_bar->item(QStringLiteral("nextLevelButton")));
        auto *start = qobject_cast<QToolButton *>(m_bar->item(QStringLiteral("startStopSessionButton")));
        const double enabled = iconBrightness(next);
        const double startEnabled = iconBrightness(start);
        state.isNextButtonEnabled = false;
        state.isStartStopButtonEnabled = false;
        m_bar->apply(state);
        const double disabled = iconBrightness(next);
        const double startDisabled = iconBrightness(start);
        QVERIFY2(disabled < enabled * 0.6, qPrintable(QStringLiteral("%1 → %2").arg(enabled).arg(disabled)));
        QVERIFY2(startDisabled < startEnabled * 0.6,
                 qPrintable(QStringLiteral("%1 → %2").arg(startEnabled).arg(startDisabled)));
        // The stop symbol too, once a session runs.
        state.startStopButtonMode = NavBarState::StartStopMode::stop;
        m_bar->apply(state);
        const double stopDisabled = iconBrightness(start);
        state.isStartStopButtonEnabled = true;
        m_bar->apply(state);
        QVERIFY(stopDisabled < iconBrightness(start) * 0.6);
    }

    // Before any answer the ring shows no figure; the counts say what they are.
    void figuresSayWhatTheyAre()
    {
        NavBarState state = sessionStates()[1].second;
        m_bar->apply(state);
        AccuracyRing *ring = m_bar->accuracyRing();
        QVERIFY(!ring->hasAccuracy());
        QCOMPARE(ring->text(), QStringLiteral("–"));
        QVERIFY(ring->colorName() != PaletteColor::red);
        state = sessionStates()[4].second;
        state.scoreLegend = localized("scoreLegend").arg(6).arg(1).arg(7);
        m_bar->apply(state);
        QVERIFY(ring->hasAccuracy());
        QCOMPARE(ring->text(), percentText(6.0f / 7.0f));
        QCOMPARE(m_bar->scoreLabel()->toolTip(), *state.scoreLegend);
        QVERIFY(ring->toolTip().startsWith(localized("accuracyInSessionWithCTA")));
    }

    // Each button and its shortcut send the same action.
    void itemsSendTheirActions()
    {
        NavBarState state = sessionStates()[1].second;
        m_bar->apply(state);
        auto *next = qobject_cast<QToolButton *>(m_bar->item(QStringLiteral("nextLevelButton")));
        next->click();
        m_bar->trigger(QStringLiteral("accuracyButton"));
        QCOMPARE(m_sent.size(), size_t(2));
        QVERIFY(std::holds_alternative<actions::didPressNextLevelButton>(m_sent[0]));
        QVERIFY(std::holds_alternative<actions::didPressAccuracyRing>(m_sent[1]));
        QCOMPARE(m_bar->commands().at(QStringLiteral("nextLevelButton")), Command::nextLevel);
    }
};

LIRRA_TEST(NavBarTest)
#include "nav_bar_test.moc"
