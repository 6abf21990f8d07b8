#include "nav_bar.h"

#include "model/localization.h"
#include "widgets/accuracy_ring.h"
#include "widgets/control.h"
#include "widgets/palette.h"

#include <QHBoxLayout>
#include <QIconEngine>
#include <QPainter>
#include <QPixmapCache>
#include <QSvgRenderer>
#include <QToolButton>

namespace lirra {

namespace {

constexpr int iconSide = 20;

QString richText(const StyledText &text)
{
    QString html;
    for (const TextSegment &segment : text) {
        const QString escaped = segment.text.toHtmlEscaped();
        html += segment.color ? QStringLiteral("<span style=\"color:%1\">%2</span>").arg(color(*segment.color).name(), escaped)
                              : escaped;
    }
    return html;
}

// Draws the symbol when a size and mode are first asked for, not before:
// the toolbar's icons cost nothing at start-up until they are painted.
class GreyingIconEngine final : public QIconEngine {
public:
    explicit GreyingIconEngine(QString path) : m_path(std::move(path)) {}

    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State) override
    {
        // A third of the light symbol over the dark bar reads as grey.
        const bool greyed = mode == QIcon::Disabled;
        const QString key = QStringLiteral("lirra-icon:%1:%2x%3:%4").arg(m_path).arg(size.width()).arg(size.height()).arg(greyed);
        QPixmap cached;
        if (QPixmapCache::find(key, &cached))
            return cached;
        QPixmap drawn(size);
        drawn.fill(Qt::transparent);
        QPainter painter(&drawn);
        painter.setOpacity(greyed ? 0.33 : 1.0);
        QSvgRenderer(m_path).render(&painter);
        painter.end();
        QPixmapCache::insert(key, drawn);
        return drawn;
    }
    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        const qreal scale = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        QPixmap drawn = pixmap((QSizeF(rect.size()) * scale).toSize(), mode, state);
        drawn.setDevicePixelRatio(scale);
        painter->drawPixmap(rect, drawn);
    }
    QIconEngine *clone() const override { return new GreyingIconEngine(m_path); }

private:
    QString m_path;
};

} // namespace

QString withShortcut(const QString &text, Command command)
{
    return QStringLiteral("%1 (%2)").arg(text, shortcuts(command).value(0).toString(QKeySequence::NativeText));
}

QString shortcutDescription(Command command)
{
    return localized("shortcut.description").arg(shortcuts(command).value(0).toString(QKeySequence::NativeText));
}

QIcon toolbarIcon(const QString &name)
{
    return QIcon(new GreyingIconEngine(QStringLiteral(":/icons/%1.svg").arg(name)));
}

NavBar::NavBar(std::function<void(AppAction)> send, QWidget *parent)
    : QToolBar(parent)
    , m_send(std::move(send))
{
    setMovable(false);
    setFloatable(false);
    setToolButtonStyle(Qt::ToolButtonIconOnly);
    setIconSize(QSize(iconSide, iconSide));
    setContextMenuPolicy(Qt::PreventContextMenu);
    // The style's focus frame is faint on the dark bar.
    setStyleSheet(QStringLiteral("QToolButton:focus { border: 2px solid %1; border-radius: 5px; }")
                      .arg(color(PaletteColor::focus).name()));

    // Linux windows have no subtitle; it is shown here, at the left. It
    // takes the room the controls leave and never pushes them.
    auto *left = new QWidget;
    left->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    auto *leftLayout = new QHBoxLayout(left);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    m_subtitleLabel = new Label;
    m_subtitleLabel->setFont(textFont(TextStyle::body));
    m_subtitleLabel->setContentsMargins(8, 0, 8, 0);
    m_subtitleLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_subtitleLabel->setMinimumWidth(0);
    m_subtitleLabel->setElided(true);
    m_subtitleLabel->setText(localized("earTraining"));
    leftLayout->addWidget(m_subtitleLabel, 1);
    addWidget(left);

    addButton(QStringLiteral("chooseLevelButton"), "chooseLevel", QStringLiteral("list-search"), Command::chooseLevel,
              actions::didPressChooseLevelButton{});
    addButton(QStringLiteral("firstLevelButton"), "goToCMajor", QStringLiteral("c-circle"), Command::firstLevel,
              actions::didPressHomeButton{});
    addButton(QStringLiteral("randomLevelButton"), "goToRandomLevel", QStringLiteral("shuffle-circle"),
              Command::randomLevel, actions::didPressRandomButton{});
    addSeparator();
    addButton(QStringLiteral("previousLevelButton"), "goToPreviousLevel", QStringLiteral("chevron-left"),
              Command::previousLevel, actions::didPressPreviousLevelButton{});
    addButton(QStringLiteral("nextLevelButton"), "goToNextLevel", QStringLiteral("chevron-right"), Command::nextLevel,
              actions::didPressNextLevelButton{});
    addSeparator();
    addButton(QStringLiteral("configureLevelButton"), "configureLevel", QStringLiteral("sliders"),
              Command::configureLevel, actions::didPressConfigureLevelButton{});
    addButton(QStringLiteral("startStopSessionButton"), "startSession", QStringLiteral("play"), Command::startStop,
              actions::didPressStartStopLevelButton{});
    addButton(QStringLiteral("repeatButton"), "replayQuestion", QStringLiteral("repeat"), Command::repeat,
              actions::didPressRepeatQuestionButton{});
    addSeparator();

    // The score's room is kept while it is hidden and fits three-digit
    // counts, so nothing beside it moves when it appears or grows.
    auto *scoreRoom = new QWidget;
    auto *scoreLayout = new QHBoxLayout(scoreRoom);
    scoreLayout->setContentsMargins(0, 0, 0, 0);
    m_scoreLabel = new Label;
    m_scoreLabel->setFont(textFont(TextStyle::body));
    m_scoreLabel->setTextFormat(Qt::RichText);
    m_scoreLabel->setContentsMargins(8, 0, 8, 0);
    m_scoreLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_scoreLabel->setVisible(false);
    scoreLayout->addWidget(m_scoreLabel);
    m_scoreLabel->setText(QStringLiteral("000 · 000 · 000"));
    scoreRoom->setFixedWidth(m_scoreLabel->sizeHint().width());
    m_scoreLabel->clear();
    m_items[QStringLiteral("scoreLabel")] = m_scoreLabel;
    addWidget(scoreRoom);

    m_accuracyRing = new AccuracyRing;
    m_accuracyRing->setStrokeWidth(3);
    m_accuracyRing->setFixedSize(92, 32);
    m_accuracyRing->clearAccuracy();
    m_accuracyRing->setToolTip(withShortcut(localized("accuracyInLevel"), Command::accuracy));
    // Said short: its name, its figure, its key.
    m_accuracyRing->setAccessibleName(localized("accuracy.ringName"));
    m_accuracyRing->setAccessibleDescription(shortcutDescription(Command::accuracy));
    m_accuracyRing->setEnabled(false);
    takeKeyboardFocus(m_accuracyRing);
    const QString ring = QStringLiteral("accuracyButton");
    m_accuracyRing->addAction(std::make_shared<Action>([this, ring](Action &) { trigger(ring); }),
                              Control::Event::released);
    m_items[ring] = m_accuracyRing;
    m_commands[ring] = Command::accuracy;
    m_actions.emplace(ring, actions::didPressAccuracyRing{});
    addWidget(m_accuracyRing);
    addSeparator();
    addButton(QStringLiteral("preferencesButton"), "preferences", QStringLiteral("gear"), Command::preferences,
              actions::didPressPreferencesButton{});
    // The button a narrow window shows for the controls that do not fit.
    if (auto *more = findChild<QToolButton *>(QStringLiteral("qt_toolbar_ext_button")))
        more->setAccessibleName(localized("toolbar.more"));
}

QToolButton *NavBar::addButton(const QString &identifier, const char *tooltip, const QString &iconName,
                               Command command, AppAction action)
{
    auto *button = new QToolButton;
    button->setObjectName(identifier);
    button->setIcon(toolbarIcon(iconName));
    button->setToolTip(withShortcut(localized(tooltip), command));
    // Read out by what it does: an icon has no text of its own. The
    // description is its key alone, so that the name is not said twice.
    button->setAccessibleName(localized(tooltip));
    button->setAccessibleDescription(shortcutDescription(command));
    button->setAutoRaise(true);
    takeKeyboardFocus(button);
    // Every item stays disabled until the first state says otherwise.
    button->setEnabled(false);
    connect(button, &QToolButton::clicked, this, [this, identifier]() { trigger(identifier); });
    m_items[identifier] = button;
    m_commands[identifier] = command;
    m_actions.emplace(identifier, std::move(action));
    addWidget(button);
    return button;
}

QWidget *NavBar::item(const QString &identifier) const
{
    const auto it = m_items.find(identifier);
    return it == m_items.end() ? nullptr : it->second.data();
}

void NavBar::trigger(const QString &identifier)
{
    if (const auto it = m_actions.find(identifier); it != m_actions.end() && m_send)
        m_send(it->second);
}

void NavBar::setSubtitle(const QString &subtitle)
{
    m_subtitleLabel->setText(subtitle);
    m_subtitleLabel->setToolTip(subtitle);
    m_subtitleLabel->setAccessibleName(QString(subtitle).replace(QStringLiteral(" · "), QStringLiteral(", ")));
}

void NavBar::apply(const NavBarState &bar)
{
    m_enabled = {
        {QStringLiteral("chooseLevelButton"), bar.isChooseLevelButtonEnabled},
        {QStringLiteral("firstLevelButton"), bar.isPreviousButtonEnabled},
        {QStringLiteral("randomLevelButton"), bar.isPreviousButtonEnabled},
        {QStringLiteral("previousLevelButton"), bar.isPreviousButtonEnabled},
        {QStringLiteral("nextLevelButton"), bar.isNextButtonEnabled},
        {QStringLiteral("configureLevelButton"), bar.isConfigureButtonEnabled},
        {QStringLiteral("startStopSessionButton"), bar.isStartStopButtonEnabled},
        {QStringLiteral("repeatButton"), bar.isRepeatButtonEnabled},
        {QStringLiteral("accuracyButton"), bar.isAccuracyRingEnabled},
        {QStringLiteral("preferencesButton"), bar.isPreferencesButtonEnabled},
    };
    for (const auto &[identifier, enabled] : m_enabled) {
        if (QWidget *widget = item(identifier))
            widget->setEnabled(enabled);
    }

    const bool stop = bar.startStopButtonMode == NavBarState::StartStopMode::stop;
    if (auto *startStop = qobject_cast<QToolButton *>(item(QStringLiteral("startStopSessionButton")))) {
        const QString icon = stop ? QStringLiteral("stop") : QStringLiteral("play");
        if (startStop->property("iconName").toString() != icon) {
            startStop->setIcon(toolbarIcon(icon));
            startStop->setProperty("iconName", icon);
        }
        startStop->setToolTip(withShortcut(localized(stop ? "stopSession" : "startSession"), Command::startStop));
        startStop->setAccessibleName(localized(stop ? "stopSession" : "startSession"));
    }

    if (bar.scoreText)
        m_scoreLabel->setText(richText(*bar.scoreText));
    m_scoreLabel->setVisible(!bar.isScoreLabelHidden);
    m_scoreLabel->setToolTip(bar.scoreLegend.value_or(QString()));
    // Read as a sentence, not as the bare counts it shows.
    m_scoreLabel->setAccessibleName(bar.scoreAccessibilityText.value_or(QString()));
    m_scoreLabel->setAccessibleDescription(bar.scoreLegend.value_or(QString()));

    if (bar.hasAccuracy)
        m_accuracyRing->setAccuracy(bar.accuracy);
    else
        m_accuracyRing->clearAccuracy();
    m_accuracyRing->setEnabled(bar.isAccuracyRingEnabled);
    const char *tooltip = stop ? (bar.isAccuracyRingEnabled ? "accuracyInSessionWithCTA" : "accuracyInSession")
                               : (bar.isAccuracyRingEnabled ? "accuracyInLevelWithCTA" : "accuracyInLevel");
    m_accuracyRing->setToolTip(withShortcut(localized(tooltip), Command::accuracy));
}

} // namespace lirra
