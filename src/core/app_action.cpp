#include "app_action.h"

#include "model/timestamp.h"

namespace lirra {

namespace {

template <class... Ts>
struct overloaded : Ts... { using Ts::operator()...; };

QString noteText(const Note &note)
{
    return localizedName(note.name) + QStringLiteral(" (") + QString::number(note.octave) + QLatin1Char(')');
}

QString namesList(const std::vector<Note> &notes)
{
    QStringList quoted;
    for (const Note &note : notes)
        quoted << QLatin1Char('"') + localizedName(note.name) + QLatin1Char('"');
    return QLatin1Char('[') + quoted.join(QStringLiteral(", ")) + QLatin1Char(']');
}

} // namespace

QString description(const AppAction &action)
{
    using namespace actions;
    return std::visit(overloaded{
        [](const didPressNote &a) { return QStringLiteral("🎹 didPressNote - ") + noteText(a.note); },
        [](const didReleaseNote &a) { return QStringLiteral("🎹 didReleaseNote - ") + noteText(a.note); },
        [](const didSelectNotes &a) { return QStringLiteral("☑️ didSelectNotes ") + namesList(a.notes); },
        [](const didLoadLevel &a) {
            return QStringLiteral("✅ didLoadLevel - ") + QString::number(a.level.id) + QStringLiteral(" - ")
                + a.level.title();
        },
        [](const didCheckSound &a) {
            // Why it failed is logged once, as the error it is.
            return a.sound.failure ? QStringLiteral("🔇 didCheckSound - failed") : QStringLiteral("🔊 didCheckSound");
        },
        [](const didStartSession &a) {
            return QStringLiteral("✅ didStartSession at ") + formatTimestamp(a.session.timestamp);
        },
        [](const didLoadQuestion &a) {
            // A melody's notes in order: "D, F, E"; a progression's chords
            // by their numerals: "I, vi, IV".
            QStringList names;
            for (std::size_t i = 0; i < a.question.length(); ++i) {
                const NoteName name = a.question.noteAt(i).name;
                names << (a.question.kind == QuestionKind::chord ? chordOf(name, a.question.key, a.question.isMajor).numeral
                                                                 : localizedName(name));
            }
            return QStringLiteral("✅ didLoadQuestion - ") + uuidText(a.question.id) + QStringLiteral(" - ")
                + names.join(QStringLiteral(", "));
        },
        [](const didLogRightAnswer &a) {
            return QStringLiteral("👏 didLogRightAnswer in session started at ")
                + formatTimestamp(a.session.timestamp);
        },
        [](const didLogWrongAnswer &a) {
            return QStringLiteral("😅 didLogWrongAnswer in session started at ")
                + formatTimestamp(a.session.timestamp);
        },
        [](const errorOccurred &a) { return QStringLiteral("❌ errorOccurred - ") + a.error.fullText(); },
        [](const didLoad &) { return QStringLiteral("✅  didLoad"); },
        [](const didDismissTip &) { return QStringLiteral("💡 didDismissTip"); },
        [](const didPressHomeButton &) { return QStringLiteral("👆 didPressHome"); },
        [](const didPressRandomButton &) { return QStringLiteral("👆 didPressRandomLevel"); },
        [](const didPressPreviousLevelButton &) { return QStringLiteral("👆 didPressPreviousLevel"); },
        [](const didPressNextLevelButton &) { return QStringLiteral("👆 didPressNextLevel"); },
        [](const didPressConfigureLevelButton &) { return QStringLiteral("👆 didPressConfigureLevel"); },
        [](const didPressStartStopLevelButton &) { return QStringLiteral("👆 didPressStartStop"); },
        [](const didPressRepeatQuestionButton &) { return QStringLiteral("👆 didPressRepeat"); },
        [](const didPressAccuracyRing &) { return QStringLiteral("👆 didPressAccuracyRing"); },
        [](const didDismissAccuracyScreen &) { return QStringLiteral("👆 didDismissAccuracyView"); },
        [](const didDismissLevelEditor &) { return QStringLiteral("👆 didDismissLevelEditor"); },
        [](const didPlayNoteInResolution &) { return QStringLiteral("🎵 didPlayNoteInResolution"); },
        [](const didPlayCadence &a) {
            return a.withCadence ? QStringLiteral("🎶 didPlayCadence") : QStringLiteral("🎵 didPlayQuestion - no cadence due");
        },
        [](const didPressTryAgain &) { return QStringLiteral("👆 didPressTryAgain"); },
        [](const didDismissError &) { return QStringLiteral("👆 didDismissError"); },
        [](const didSkipTour &) { return QStringLiteral("👆 didSkipTour"); },
        [](const didRequestTour &) { return QStringLiteral("👆 didRequestTour"); },
        [](const didPressChooseLevelButton &) { return QStringLiteral("👆 didPressChooseLevel"); },
        [](const didDismissLevelChooser &) { return QStringLiteral("👆 didDismissLevelChooser"); },
        [](const didChooseLevel &a) { return QStringLiteral("👆 didChooseLevel - ") + QString::number(a.levelId); },
        [](const didSaveLevel &a) {
            return QStringLiteral("💾 didSaveLevel ") + namesList(a.notes) + QStringLiteral(" - ") + a.name;
        },
        [](const didRenameLevel &a) {
            return QStringLiteral("✏️ didRenameLevel - ") + QString::number(a.levelId) + QStringLiteral(" - ") + a.name;
        },
        [](const didDeleteLevel &a) { return QStringLiteral("🗑️ didDeleteLevel - ") + QString::number(a.levelId); },
        [](const didDeclineSavingLevel &) { return QStringLiteral("👆 didDeclineSavingLevel"); },
        [](const didPressPreferencesButton &) { return QStringLiteral("👆 didPressPreferences"); },
        [](const didDismissPreferences &) { return QStringLiteral("👆 didDismissPreferences"); },
        [](const didChangeSettings &a) {
            const Settings &s = a.settings;
            return QStringLiteral("⚙️ didChangeSettings - instrument %1, %2 BPM, cadence every %3, drone %4, "
                                  "question %5 beats +%6 dB, volume %7, names %8, %9 practice, contrast %10")
                .arg(presetText(s.instrument))
                .arg(s.tempo)
                .arg(s.cadenceEvery)
                .arg(s.drone ? QStringLiteral("on") : QStringLiteral("off"))
                .arg(s.questionBeats)
                .arg(s.questionEmphasis)
                .arg(s.volume)
                .arg(namingText(s.noteNames))
                .arg(modeText(s.mode))
                .arg(s.contrast ? QStringLiteral("on") : QStringLiteral("off"));
        },
        [](const didLoadQuestionsToHear &a) {
            return QStringLiteral("👂 didLoadQuestionsToHear ") + namesList([&a]() {
                std::vector<Note> notes;
                for (const Question &q : a.questions)
                    notes.push_back(q.answer);
                return notes;
            }());
        },
        [](const didPlayHeardNote &) { return QStringLiteral("👂 didPlayHeardNote"); },
        [](const didSkipListening &) { return QStringLiteral("👆 didSkipListening"); },
        [](const didPressConfusionsButton &) { return QStringLiteral("👆 didPressConfusions"); },
        [](const didDismissConfusions &) { return QStringLiteral("👆 didDismissConfusions"); },
        [](const didChangeScreenReader &a) {
            return QStringLiteral("🔈 didChangeScreenReader - ") + QLatin1String(a.active ? "on" : "off");
        },
        [](const didChooseExportDestination &a) {
            return QStringLiteral("👆 didChooseExportDestination - %1 %2")
                .arg(a.format == ExportFormat::json ? QStringLiteral("json") : QStringLiteral("csv"), a.path);
        },
        [](const didExportHistory &a) {
            if (!a.outcome.failure.isEmpty())
                return QStringLiteral("💾 didExportHistory - failed: ") + a.outcome.failure;
            return QStringLiteral("💾 didExportHistory - sessions: %1, levels: %2, skipped: %3")
                .arg(a.outcome.sessions)
                .arg(a.outcome.levels)
                .arg(a.outcome.skipped.size());
        },
        [](const didAnswerLeavingNarrowing &a) {
            const char *choices[] = {"save", "discard", "cancel"};
            return QStringLiteral("👆 didAnswerLeavingNarrowing - ") + QLatin1String(choices[int(a.choice)]);
        },
    }, action);
}

} // namespace lirra
