#pragma once

#include "audio/midi_note_player.h"
#include "core/app_environment.h"
#include "storage/file_session_storage.h"
#include "storage/session_journal.h"

namespace lirra {

// What differs between the app and its tests; the defaults are the app's.
struct EnvironmentSetup {
    MIDINotePlayer::Options player;
    FileSessionStorage::DocumentsFolder documentsFolder = FileSessionStorage::standardDocumentsFolder;
    // Where sessions whose save failed are kept.
    FileSessionJournal::Folder journalFolder = FileSessionJournal::standardFolder;
    // The file calls of the session files and the journal.
    std::shared_ptr<FileSystem> fileSystem = FileSystem::posix();
    std::shared_ptr<Preferences> preferences; // the user's store when empty
    std::shared_ptr<Logger> logger;           // standard error when empty
    // The keys of musical typing as the user's layout prints them, for the
    // tour: the white keys', then the black keys'; a US layout's when empty.
    QStringList typingKeys;
};

// The FluidSynth audio drivers to try, in order: those named, comma
// separated, by LIRRA_AUDIO_DRIVER (for example "jack" or "alsa,pulseaudio"),
// else the fallback.
QStringList audioDrivers(const QStringList &fallback);

// The one place that builds the services of the app: the note player, the
// practice manager over the session files and the preferences, the tour,
// the preferences and the logger.
AppEnvironment makeEnvironment(EnvironmentSetup setup = {});

// The app without a sound card or the user's files: the note player renders
// offline, sessions go to "<home>/Documents" and the preferences to
// "<home>/lirra.json", kept sessions to "<home>/data". For tests and tools.
EnvironmentSetup offlineSetup(const QString &home);

} // namespace lirra
