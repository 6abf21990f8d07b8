#pragma once

#include <QString>

namespace lirra {

// An onboarding tip; its texts are already localised.
struct Tip {
    enum class Target {
        titleView,
        startStopButton,
        repeatButton,
        previousButton,
        nextButton,
        randomButton,
        homeButton,
        accuracyRing,
        configureLevelButton,
        keyboard,
    };

    Target target = Target::keyboard;
    QString title;
    QString message;
    QString actionTitle;

    friend bool operator==(const Tip &, const Tip &) = default;
};

} // namespace lirra
