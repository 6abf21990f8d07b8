#pragma once

#include <cstdint>
#include <random>
#include <utility>
#include <vector>

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

// Fisher–Yates, from the last element down.
template <typename T>
void shuffle(std::vector<T> &items, RandomSource &random)
{
    for (std::int64_t i = std::ssize(items) - 1; i >= 1; --i)
        std::swap(items[size_t(i)], items[size_t(random.bounded(i + 1))]);
}

// The same numbers for the same seed: for runs that must be repeated, such
// as simulations of practice.
class SeededRandomSource final : public RandomSource {
public:
    explicit SeededRandomSource(std::uint64_t seed) : m_engine(seed) {}
    std::int64_t bounded(std::int64_t upper) override
    {
        return std::uniform_int_distribution<std::int64_t>(0, upper - 1)(m_engine);
    }

private:
    std::mt19937_64 m_engine;
};

} // namespace lirra
