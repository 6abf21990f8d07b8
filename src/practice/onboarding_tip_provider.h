#pragma once

#include "practice/tip_provider.h"

#include <vector>

namespace lirra {

// The first-run tour: twelve tips in a fixed order, texts resolved at
// construction. Runs forward only.
class OnboardingTipProvider final : public TipProvider {
public:
    OnboardingTipProvider();

    std::optional<Tip> nextTip() override;
    void restart() override;

private:
    std::int64_t m_index = -1;
    std::vector<Tip> m_tips;
};

} // namespace lirra
