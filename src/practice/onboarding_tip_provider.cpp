#include "onboarding_tip_provider.h"

#include "model/localization.h"

namespace lirra {

OnboardingTipProvider::OnboardingTipProvider(QString whiteKeys, QString blackKeys)
{
    using T = Tip::Target;
    struct Entry {
        T target;
        const char *title;
        const char *message;
        const char *action;
    };
    static constexpr Entry tour[] = {
        {T::startStopButton, "tip.howItWorks.title", "tip.howItWorks.content", "tip.next"},
        // Finding the note, and its way home, happen on the keys.
        {T::keyboard, "tip.howItWorks.title", "tip.howItWorks.content.1", "tip.next"},
        {T::keyboard, "tip.howItWorks.title", "tip.howItWorks.content.2", "tip.next"},
        {T::keyboard, "tip.keyboard.title", "tip.keyboard.content", "tip.next"},
        {T::titleView, "tip.currentLevel.title", "tip.currentLevel.content", "tip.next"},
        {T::nextButton, "tip.nextLevel.title", "tip.nextLevel.content", "tip.next"},
        {T::previousButton, "tip.previousLevel.title", "tip.previousLevel.content", "tip.next"},
        {T::randomButton, "tip.randomLevel.title", "tip.randomLevel.content", "tip.next"},
        {T::homeButton, "tip.firstLevel.title", "tip.firstLevel.content", "tip.next"},
        {T::configureLevelButton, "tip.configureLevel.title", "tip.configureLevel.content", "tip.next"},
        {T::accuracyRing, "tip.accuracyRing.title", "tip.accuracyRing.content", "tip.next"},
        {T::startStopButton, "tip.getStarted.title", "tip.getStarted.content", "tip.getStarted.button"},
    };
    for (const Entry &entry : tour) {
        QString message = localized(entry.message);
        if (message.contains(QLatin1String("%2")))
            message = message.arg(whiteKeys, blackKeys);
        m_tips.push_back(Tip{entry.target, localized(entry.title), message, localized(entry.action)});
    }
}

void OnboardingTipProvider::restart()
{
    m_index = -1;
}

std::optional<Tip> OnboardingTipProvider::nextTip()
{
    const std::int64_t i = m_index + 1;
    if (i >= std::int64_t(m_tips.size()))
        return std::nullopt;
    m_index = i;
    return m_tips[size_t(i)];
}

} // namespace lirra
