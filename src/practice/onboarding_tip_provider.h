#pragma once

#include "practice/tip_provider.h"

#include <vector>

namespace lirra {

// The first-run tour: twelve tips in a fixed order, texts resolved at
// construction. Runs forward only.
class OnboardingTipProvider final : public TipProvider {
public:
    // `whiteKeys` and `blackKeys` name the keys of musical typing as the
    // user's layout prints them ("A S D F G H J K", "W E T Y U" on a US one).
    explicit OnboardingTipProvider(QString whiteKeys = QStringLiteral("A S D F G H J K"),
                                   QString blackKeys = QStringLiteral("W E T Y U"));

    std::optional<Tip> nextTip() override;
    void restart() override;

private:
    std::int64_t m_index = -1;
    std::vector<Tip> m_tips;
};

} // namespace lirra
