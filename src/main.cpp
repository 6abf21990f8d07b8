#include "audio/midi_note_player.h"
#include "model/localization.h"
#include "screens/app_delegate.h"
#include "screens/quit_guard.h"
#include "screens/single_instance.h"
#include "storage/file_session_storage.h"
#include "storage/history_export.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>
#include <QStandardPaths>

#include <csignal>
#include <cstdio>
#include <optional>

namespace {

// Every level's history to a JSON file or CSV files, without a window.
int exportHistory(const QString &json, const QString &csvFolder)
{
    lirra::installTranslations();
    const lirra::FileSessionStorage storage;
    const lirra::Result<QString> folder = storage.sessionsFolder();
    if (!folder) {
        std::fprintf(stderr, "lirra: %s\n", qPrintable(folder.error().description));
        return 1;
    }
    const auto fs = lirra::FileSystem::posix();
    const lirra::HistoryExport history = lirra::readHistory(*folder, *fs);
    for (const QString &skipped : history.skipped)
        std::fprintf(stderr, "lirra: %s\n", qPrintable(skipped));
    const lirra::Result<void> written =
        json.isEmpty() ? lirra::exportCsv(history, csvFolder, *fs) : lirra::exportJson(history, json, *fs);
    if (!written) {
        std::fprintf(stderr, "lirra: %s\n", qPrintable(written.error().description));
        return 1;
    }
    const std::size_t sessions = history.sessionCount();
    const std::size_t levels = history.levelCount();
    std::printf("Exported %zu session%s of %zu level%s to %s\n", sessions, sessions == 1 ? "" : "s", levels,
                levels == 1 ? "" : "s", qPrintable(json.isEmpty() ? csvFolder : json));
    if (!history.unreadable.isEmpty()) {
        std::fprintf(stderr, "lirra: the export is not the whole history: %s could not be read\n",
                     qPrintable(history.unreadable.join(QStringLiteral(", "))));
        return 1;
    }
    return 0;
}

// --help and --version answer like any command-line program and never open a
// window (or need a display). Options the parser does not know are left to
// Qt, which takes its own (-platform, -style, …). Returns the exit code when
// the program should end here.
std::optional<int> answerCommandLine(int argc, char **argv)
{
    if (argc < 2)
        return std::nullopt;
    QCoreApplication probe(argc, argv);
    QCoreApplication::setApplicationVersion(QStringLiteral(LIRRA_VERSION));
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Ear training by scale degree: hear a cadence and a note, name the note on the piano."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption json(QStringLiteral("export-json"),
                                  QStringLiteral("Write every level's sessions to <file> as JSON, then quit."),
                                  QStringLiteral("file"));
    const QCommandLineOption csv(QStringLiteral("export-csv"),
                                 QStringLiteral("Write every level's sessions to sessions.csv and confusions.csv in <folder>, then quit."),
                                 QStringLiteral("folder"));
    parser.addOption(json);
    parser.addOption(csv);
    // Options Qt takes for itself (-platform, -style, …) are not errors;
    // a known one without its value is.
    if (!parser.parse(probe.arguments())) {
        const bool ours = parser.errorText().contains(QLatin1String("export-json"))
            || parser.errorText().contains(QLatin1String("export-csv"));
        if (ours) {
            std::fprintf(stderr, "lirra: %s\n%s", qPrintable(parser.errorText()), qPrintable(parser.helpText()));
            return 2;
        }
    }
    if (parser.isSet(help) || parser.isSet(QStringLiteral("help-all"))) {
        std::fputs(qPrintable(parser.helpText()), stdout);
        return 0;
    }
    if (parser.isSet(version)) {
        std::printf("lirra %s\n", LIRRA_VERSION);
        return 0;
    }
    if (parser.isSet(json) || parser.isSet(csv)) {
        if (parser.isSet(json) && parser.isSet(csv)) {
            std::fputs("lirra: --export-json and --export-csv go one at a time\n", stderr);
            return 2;
        }
        const QString where = parser.value(parser.isSet(json) ? json : csv);
        if (where.trimmed().isEmpty()) {
            std::fprintf(stderr, "lirra: %s needs a destination\n%s",
                         parser.isSet(json) ? "--export-json" : "--export-csv", qPrintable(parser.helpText()));
            return 2;
        }
        return exportHistory(parser.value(json), parser.value(csv));
    }
    return std::nullopt;
}

} // namespace

int main(int argc, char **argv)
{
    // Past the file size limit a write fails with EFBIG, which the session
    // files report and survive, instead of ending the process.
    std::signal(SIGXFSZ, SIG_IGN);
    if (const std::optional<int> code = answerCommandLine(argc, argv))
        return *code;
    // One copy per user: a second start brings the first one's window to
    // the front and ends, before it has made anything of its own.
    lirra::SingleInstance instance;
    if (instance.claim() == lirra::SingleInstance::Claim::handedOver) {
        std::puts("Lirra is already running; its window was brought to the front.");
        return 0;
    }

    lirra::MIDINotePlayer::nameOutput(QStringLiteral("Lirra"), QStringLiteral("app.lirra.Lirra"));
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("lirra"));
    QApplication::setApplicationVersion(QStringLiteral(LIRRA_VERSION));
    // The desktop entry, and with it the icon, that the window belongs to.
    QGuiApplication::setDesktopFileName(QStringLiteral("app.lirra.Lirra"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/app.lirra.Lirra.svg")));
    lirra::applyDarkAppearance();
    lirra::installTranslations();
    // SIGTERM, SIGINT and SIGHUP save the practice and quit, like a close.
    lirra::QuitGuard::catchSignals();

    lirra::InputSetup input;
    input.windowPlacementFile =
        QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation) + QStringLiteral("/window.json");
    lirra::AppDelegate delegate({}, input);
    delegate.applicationDidFinishLaunching();
    instance.listen([&delegate]() { delegate.bringToFront(); });
    return application.exec();
}
