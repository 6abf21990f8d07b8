#pragma once

#include "audio/note_player.h"
#include "model/logger.h"
#include "model/preferences.h"
#include "practice/practice_manager.h"
#include "practice/tip_provider.h"
#include "storage/history_export.h"

#include <functional>
#include <memory>

namespace lirra {

// The services of the core, shared by every copy of this record.
struct AppEnvironment {
    std::shared_ptr<NotePlayer> notePlayer;
    std::shared_ptr<PracticeManager> practiceManager;
    std::shared_ptr<TipProvider> tipProvider;
    std::shared_ptr<Preferences> preferences;
    std::shared_ptr<Logger> logger;
    // Seconds since 1970-01-01 00:00 UTC; the system clock when empty.
    std::function<double()> now = {};
    // Exports every level's history; without one an export fails.
    std::shared_ptr<HistoryWriter> historyWriter = {};
};

} // namespace lirra
