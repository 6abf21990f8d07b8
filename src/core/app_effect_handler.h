#pragma once

#include "core/app_environment.h"
#include "core/effect_handler.h"

namespace lirra {

// Carries effects out against the services of the environment, one step
// after another; a failing step is logged once and answered with
// errorOccurred. Nothing is retried or undone.
class AppEffectHandler final : public EffectHandler {
public:
    explicit AppEffectHandler(AppEnvironment environment);

    QCoro::Task<std::optional<AppAction>> handle(AppEffect effect) override;

private:
    AppAction failed(const Error &error);
    std::optional<AppAction> loaded(const Result<Level> &level);

    AppEnvironment m_environment;
};

} // namespace lirra
