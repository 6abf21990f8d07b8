#pragma once

// What becomes of practice on notes the user chose but never saved as a
// level, when they leave them: a quit, or a move to another level.

#include "core/app_action.h"

#include <QString>

class QWidget;

namespace lirra {

// A standard question: save the notes as a level of the user's own under
// `name`, with their practice; discard the practice; or cancel, the default
// (Escape). In the app's language.
KeepNarrowing askAboutNarrowing(QWidget *parent, const QString &name);

} // namespace lirra
