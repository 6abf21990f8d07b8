#pragma once

#include "model/tip.h"

#include <optional>

namespace lirra {

class TipProvider {
public:
    virtual ~TipProvider() = default;
    // The next tip of the tour, absent once it is over. Every call advances it.
    virtual std::optional<Tip> nextTip() = 0;
    // Starts the tour over: the next call answers its first tip again.
    virtual void restart() = 0;
};

} // namespace lirra
