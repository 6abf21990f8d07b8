// clang 14 cannot compile libstdc++ 12's <expected> (it needs conditionally
// trivial special members, which clang 14 lacks, so the header comes out
// empty). The fuzz build alone is force-included with this subset, which is
// all the fuzzed sources use; the app and its tests use the real header.
#pragma once

#include <version>
#if __has_include(<expected>)
#include <expected>
#endif

#ifndef __cpp_lib_expected
#include <cstdlib>
#include <type_traits>
#include <utility>
#include <variant>

namespace std {

template <class E>
class unexpected {
public:
    explicit unexpected(E error) : m_error(std::move(error)) {}
    const E &error() const & { return m_error; }
    E &error() & { return m_error; }
    E &&error() && { return std::move(m_error); }

private:
    E m_error;
};

template <class E>
unexpected(E) -> unexpected<E>;

template <class T, class E>
class expected {
public:
    expected() requires std::is_default_constructible_v<T> : m_value(std::in_place_index<0>) {}
    template <class U = T>
        requires std::is_constructible_v<T, U &&> && (!std::is_same_v<std::remove_cvref_t<U>, expected>)
    expected(U &&value) : m_value(std::in_place_index<0>, std::forward<U>(value)) {}
    template <class G>
    expected(const unexpected<G> &u) : m_value(std::in_place_index<1>, u.error()) {}
    template <class G>
    expected(unexpected<G> &&u) : m_value(std::in_place_index<1>, std::move(u).error()) {}

    bool has_value() const noexcept { return m_value.index() == 0; }
    explicit operator bool() const noexcept { return has_value(); }
    T &operator*() & { return std::get<0>(m_value); }
    const T &operator*() const & { return std::get<0>(m_value); }
    T &&operator*() && { return std::get<0>(std::move(m_value)); }
    T *operator->() { return &std::get<0>(m_value); }
    const T *operator->() const { return &std::get<0>(m_value); }
    T &value() & { if (!has_value()) std::abort(); return **this; }
    const T &value() const & { if (!has_value()) std::abort(); return **this; }
    const E &error() const & { return std::get<1>(m_value); }
    E &error() & { return std::get<1>(m_value); }
    template <class U>
    T value_or(U &&other) const & { return has_value() ? **this : static_cast<T>(std::forward<U>(other)); }

private:
    std::variant<T, E> m_value;
};

template <class E>
class expected<void, E> {
public:
    expected() = default;
    template <class G>
    expected(const unexpected<G> &u) : m_error(u.error()), m_failed(true) {}
    template <class G>
    expected(unexpected<G> &&u) : m_error(std::move(u).error()), m_failed(true) {}

    bool has_value() const noexcept { return !m_failed; }
    explicit operator bool() const noexcept { return has_value(); }
    void operator*() const noexcept {}
    const E &error() const & { return m_error; }
    E &error() & { return m_error; }

private:
    E m_error{};
    bool m_failed = false;
};

} // namespace std
#endif
