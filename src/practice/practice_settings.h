#pragma once

#include "model/preferences.h"
#include "model/settings.h"

namespace lirra {

// The settings as stored. A value that is missing, of the wrong kind or out
// of its range reads as its default, each on its own.
Settings readSettings(const Preferences &preferences);

// Stores the values that differ from `before`, so that a user who changes
// nothing keeps a file without them.
void storeSettings(Preferences &preferences, const Settings &settings, const Settings &before);

} // namespace lirra
