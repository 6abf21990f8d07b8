#pragma once

#include "model/error.h"

#include <QString>
#include <QStringList>

#include <initializer_list>
#include <optional>

typedef struct _fluid_hashtable_t fluid_settings_t;
typedef struct _fluid_synth_t fluid_synth_t;

namespace lirra {

// The banks to try, in order: the given one, then the fallbacks, or, with
// none given, the synth's default bank (from its settings, when there are any).
QStringList instrumentCandidates(const QString &soundFont, const QStringList &fallbacks, fluid_settings_t *settings);

// Why no bank at all can be loaded, told from a look at the files before
// FluidSynth is asked: each candidate missing, not a file, unreadable or
// not a SoundFont file. Absent when one may be.
std::optional<Error> instrumentFilesProblem(const QStringList &candidates);

struct InstrumentOutcome {
    QString warning;            // to log, when another bank stood in
    std::optional<Error> error; // when none could be loaded: silence
};

// Loads the first candidate FluidSynth can read and puts its program 0 of
// bank 0 on each of `channels`, and on no other: each preset put on a
// channel has its samples read into memory (the drum kit FluidSynth would
// put on channel 10 is 11 MB of them).
InstrumentOutcome loadInstrument(fluid_synth_t *synth, const QStringList &candidates, std::initializer_list<int> channels);

} // namespace lirra
