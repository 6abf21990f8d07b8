#pragma once

#include <cstdint>

namespace lirra {

class RandomSource {
public:
    virtual ~RandomSource() = default;
    // A uniformly random whole number from 0 to upper - 1; upper is at least 1.
    virtual std::int64_t bounded(std::int64_t upper) = 0;
};

// The system's random source.
class SystemRandomSource final : public RandomSource {
public:
    std::int64_t bounded(std::int64_t upper) override;
};

} // namespace lirra
