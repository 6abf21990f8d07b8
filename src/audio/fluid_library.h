#pragma once

// FluidSynth is opened at run time, by the thread that builds the first
// synthesizer, not linked: its library and the dozens it needs (codecs,
// JACK, PulseAudio, glib) cost a start-up some 11 ms before main() when the
// window needs none of them. The functions are called through one table,
// filled once; its types come from FluidSynth's own header.

#include "model/error.h"

#include <fluidsynth.h>

namespace lirra {

#define LIRRA_FLUID_FUNCTIONS(X) \
    X(delete_fluid_audio_driver) \
    X(delete_fluid_event) \
    X(delete_fluid_sequencer) \
    X(delete_fluid_settings) \
    X(delete_fluid_synth) \
    X(fluid_event_note) \
    X(fluid_event_set_dest) \
    X(fluid_event_set_source) \
    X(fluid_free) \
    X(fluid_preset_get_banknum) \
    X(fluid_preset_get_name) \
    X(fluid_preset_get_num) \
    X(fluid_sequencer_get_tick) \
    X(fluid_sequencer_register_client) \
    X(fluid_sequencer_register_fluidsynth) \
    X(fluid_sequencer_remove_events) \
    X(fluid_sequencer_send_at) \
    X(fluid_sequencer_set_time_scale) \
    X(fluid_sequencer_unregister_client) \
    X(fluid_set_log_function) \
    X(fluid_settings_dupstr) \
    X(fluid_settings_setint) \
    X(fluid_settings_setnum) \
    X(fluid_settings_setstr) \
    X(fluid_sfont_get_id) \
    X(fluid_sfont_get_preset) \
    X(fluid_sfont_iteration_next) \
    X(fluid_sfont_iteration_start) \
    X(fluid_synth_all_notes_off) \
    X(fluid_synth_all_sounds_off) \
    X(fluid_synth_cc) \
    X(fluid_synth_get_active_voice_count) \
    X(fluid_synth_get_channel_preset) \
    X(fluid_synth_get_chorus_group_level) \
    X(fluid_synth_get_program) \
    X(fluid_synth_get_reverb_group_level) \
    X(fluid_synth_get_sfont) \
    X(fluid_synth_noteon) \
    X(fluid_synth_program_select) \
    X(fluid_synth_set_chorus_group_level) \
    X(fluid_synth_set_gain) \
    X(fluid_synth_set_reverb_group_level) \
    X(fluid_synth_sfcount) \
    X(fluid_synth_sfload) \
    X(fluid_synth_write_float) \
    X(new_fluid_audio_driver2) \
    X(new_fluid_event) \
    X(new_fluid_sequencer2) \
    X(new_fluid_settings) \
    X(new_fluid_synth)

struct FluidLibrary {
#define LIRRA_FLUID_POINTER(name) decltype(&::name) name = nullptr;
    LIRRA_FLUID_FUNCTIONS(LIRRA_FLUID_POINTER)
#undef LIRRA_FLUID_POINTER
};

// Opens the library and finds every function the first time; later calls,
// from any thread, answer at once with the same outcome. The error names
// the file or the function that is missing.
Result<void> openFluidLibrary();

// The table; only after openFluidLibrary() has succeeded.
const FluidLibrary &fluid();

} // namespace lirra
