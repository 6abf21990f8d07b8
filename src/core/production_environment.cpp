#include "production_environment.h"

#include "practice/cyclic_practice_manager.h"
#include "practice/onboarding_tip_provider.h"
#include "storage/history_export.h"
#include "storage/saved_levels.h"
#include "storage/session_journal.h"
#include "storage/settings_preferences.h"

#include <QDir>

namespace lirra {

QStringList audioDrivers(const QStringList &fallback)
{
    const QString chosen = qEnvironmentVariable("LIRRA_AUDIO_DRIVER").simplified();
    if (chosen.isEmpty())
        return fallback;
    QStringList drivers;
    for (const QString &name : chosen.split(QLatin1Char(','), Qt::SkipEmptyParts))
        drivers << name.trimmed();
    return drivers;
}

AppEnvironment makeEnvironment(EnvironmentSetup setup)
{
    AppEnvironment env;
    env.logger = setup.logger ? setup.logger : std::make_shared<StandardErrorLogger>();
    env.preferences = setup.preferences ? setup.preferences : SettingsPreferences::standard();

    MIDINotePlayer::Options player = setup.player;
    player.drivers = audioDrivers(player.drivers);
    if (!player.logger)
        player.logger = env.logger;
    env.notePlayer = std::make_shared<MIDINotePlayer>(player);

    // The session files and the journal share one thread for their file
    // work, so that what one writes the other reads in order.
    auto worker = std::make_shared<FileWorker>();
    auto storage = std::make_shared<FileSessionStorage>(setup.documentsFolder, setup.fileSystem, worker);
    CyclicPracticeManager::Collaborators practice;
    practice.storage = storage;
    auto journal = std::make_shared<FileSessionJournal>(setup.journalFolder, *storage, setup.fileSystem, worker);
    journal->setWarningHandler([logger = env.logger](const QString &warning) {
        if (logger->isEnabled(LogLevel::warning))
            logger->write(LogLevel::warning, warning);
    });
    practice.journal = journal;
    practice.preferences = env.preferences;
    // The user's levels live beside their histories.
    practice.savedLevels = std::make_shared<SavedLevelStore>([storage]() { return storage->sessionsFolder(); },
                                                             setup.fileSystem, worker);
    env.practiceManager = std::make_shared<CyclicPracticeManager>(practice);
    env.historyWriter = std::make_shared<HistoryWriter>([storage]() { return storage->sessionsFolder(); }, setup.fileSystem);

    env.tipProvider = setup.typingKeys.size() == 2
        ? std::make_shared<OnboardingTipProvider>(setup.typingKeys[0], setup.typingKeys[1])
        : std::make_shared<OnboardingTipProvider>();
    return env;
}

EnvironmentSetup offlineSetup(const QString &home)
{
    const QString documents = QDir(home).filePath(QStringLiteral("Documents"));
    QDir().mkpath(documents);
    EnvironmentSetup setup;
    setup.player.output = MIDINotePlayer::Output::offline;
    setup.documentsFolder = [documents]() -> Result<QString> { return documents; };
    const QString data = QDir(home).filePath(QStringLiteral("data"));
    setup.journalFolder = [data]() -> Result<QString> { return data; };
    setup.preferences = std::make_shared<SettingsPreferences>(QDir(home).filePath(QStringLiteral("lirra.json")));
    return setup;
}

} // namespace lirra
