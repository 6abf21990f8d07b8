#pragma once

// The app's look: Fusion with a dark palette, for the whole application.

namespace lirra {

void applyDarkAppearance();

} // namespace lirra
