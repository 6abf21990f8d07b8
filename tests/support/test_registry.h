#pragma once

#include <QObject>

#include <functional>
#include <memory>
#include <vector>

namespace lirra::test {

using Factory = std::function<std::unique_ptr<QObject>()>;

struct Registration {
    const char *name;
    Factory make;
};

std::vector<Registration> &registry();

struct Register {
    Register(const char *name, Factory make) { registry().push_back({name, std::move(make)}); }
};

// Runs every registered test class; the exit code counts the failed ones.
int runAll(int argc, char **argv);

} // namespace lirra::test

#define LIRRA_TEST(Class) \
    static const lirra::test::Register lirraRegister##Class(#Class, [] { return std::make_unique<Class>(); });
