#pragma once

#include "core/app_action.h"
#include "core/app_effect.h"

#include <QCoroTask>

#include <optional>

namespace lirra {

// Carries out one effect and answers the action that reports its outcome.
// Never fails: failures come back as errorOccurred.
class EffectHandler {
public:
    virtual ~EffectHandler() = default;
    virtual QCoro::Task<std::optional<AppAction>> handle(AppEffect effect) = 0;
};

} // namespace lirra
