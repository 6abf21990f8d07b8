#include "app_effect_handler.h"

#include "practice/cyclic_practice_manager.h"
#include "practice/practice_settings.h"

namespace lirra {

AppEffectHandler::AppEffectHandler(AppEnvironment environment)
    : m_environment(std::move(environment))
{
}

std::optional<AppAction> AppEffectHandler::failed(const Error &error)
{
    if (isPlaybackStopped(error))
        return std::nullopt;
    Logger *logger = m_environment.logger.get();
    if (logger && logger->isEnabled(LogLevel::error))
        logger->write(LogLevel::error, error.fullText());
    return actions::errorOccurred{error};
}

AppAction AppEffectHandler::soundChecked(const Result<void> &sound)
{
    SoundCheck check;
    if (!sound) {
        Logger *logger = m_environment.logger.get();
        if (logger && logger->isEnabled(LogLevel::error))
            logger->write(LogLevel::error, sound.error().fullText());
        check.failure = sound.error();
    }
    return actions::didCheckSound{check};
}

std::optional<AppAction> AppEffectHandler::loaded(const Result<Level> &level, bool checksSound)
{
    if (!level)
        return failed(level.error());
    return actions::didLoadLevel{*level, std::nullopt, std::nullopt, checksSound};
}

QCoro::Task<Result<void>> AppEffectHandler::sound(NotePlayer &player, Note note, std::vector<int> chord, bool key)
{
    if (!chord.empty())
        co_return co_await player.playChord(std::move(chord), key);
    if (key)
        co_return co_await player.playKey(note);
    co_return co_await player.playNote(note);
}

std::vector<std::vector<int>> AppEffectHandler::questionChords(const Level &level, const Question &question)
{
    std::vector<std::vector<int>> chords;
    for (const Note &root : question.melody.empty() ? std::vector<Note>{question.answer} : question.melody)
        chords.push_back(chordVoicing(chordOf(root.name, level.key, level.isMajor)));
    return chords;
}

QCoro::Task<std::optional<AppAction>> AppEffectHandler::handle(AppEffect effect)
{
    const QString domain = QStringLiteral("AppEffectHandler");
    Error error;
    try {
        co_return co_await perform(std::move(effect));
    } catch (const std::bad_alloc &) {
        error = Error{domain, 1, QStringLiteral("There was not enough memory to finish what Lirra was doing.")};
    } catch (const std::exception &e) {
        error = Error{domain, 2, QStringLiteral("Lirra could not finish what it was doing: %1.").arg(QString::fromLocal8Bit(e.what()))};
    } catch (...) {
        error = Error{domain, 3, QStringLiteral("Lirra could not finish what it was doing.")};
    }
    co_return failed(error);
}

QCoro::Task<std::optional<AppAction>> AppEffectHandler::perform(AppEffect effect)
{
    // Keep the services alive for the whole effect, whatever happens to the
    // handler meanwhile.
    const AppEnvironment env = m_environment;
    NotePlayer &player = *env.notePlayer;
    PracticeManager &practice = *env.practiceManager;

    if (auto *e = std::get_if<effects::prepareToPractice>(&effect)) {
        player.apply(e->settings);
        practice.setQuestionShape(e->settings.melodyLength, e->settings.melodyLeap, e->settings.questionKind,
                                  e->settings.chordsRepeat);
        // The level is shown without waiting for the sound server: the
        // output starts on its own thread after it (checkSound).
        co_return loaded(co_await practice.prepareToPractice(), true);
    }
    if (std::holds_alternative<effects::loadFirstLevel>(effect))
        co_return loaded(co_await practice.loadFirstLevel());
    if (std::holds_alternative<effects::loadRandomLevel>(effect))
        co_return loaded(co_await practice.loadRandomLevel());
    if (std::holds_alternative<effects::loadPreviousLevel>(effect))
        co_return loaded(co_await practice.loadPreviousLevel());
    if (std::holds_alternative<effects::loadNextLevel>(effect))
        co_return loaded(co_await practice.loadNextLevel());
    if (auto *e = std::get_if<effects::loadLevel>(&effect))
        co_return loaded(co_await practice.loadLevel(e->level));
    if (auto *e = std::get_if<effects::stopSession>(&effect)) {
        player.stopAll();
        // The answer whose sound was cut short counts like any other; the
        // effect that would have recorded it ends on the stop.
        if (e->pendingAnswer) {
            const Question &question = e->pendingAnswer->question;
            // Two statements: GCC 12 mishandles co_await inside a conditional
            // expression.
            Result<Session> logged;
            if (e->pendingAnswer->isRight)
                logged = co_await practice.logRightAnswer(question);
            else
                logged = co_await practice.logWrongAnswer(question, e->pendingAnswer->pressed);
            if (!logged)
                co_return failed(logged.error());
            e->session = *logged;
        }
        const Result<Level> stopped = co_await practice.stopSession();
        if (!stopped)
            co_return failed(stopped.error());
        std::optional<SessionSummary> summary;
        if (e->summarize) {
            const double now = env.now ? env.now() : CyclicPracticeManager::systemNow();
            summary = summarizeSession(e->session, e->before, now);
        }
        co_return actions::didLoadLevel{*stopped, summary, e->session};
    }
    if (auto *e = std::get_if<effects::loadLevelWithId>(&effect))
        co_return loaded(co_await practice.loadLevelWithId(e->levelId));
    if (auto *e = std::get_if<effects::saveLevel>(&effect))
        co_return loaded(co_await practice.saveLevel(e->level, e->name));
    if (auto *e = std::get_if<effects::renameLevel>(&effect))
        co_return loaded(co_await practice.renameLevel(e->levelId, e->name));
    if (auto *e = std::get_if<effects::deleteLevel>(&effect))
        co_return loaded(co_await practice.deleteLevel(e->levelId));
    if (std::holds_alternative<effects::reloadLevel>(effect)) {
        // The player too may have failed before: the check after the
        // level gives it another chance.
        co_return loaded(co_await practice.reloadLevel(), true);
    }
    if (std::holds_alternative<effects::checkSound>(effect)) {
        // Without sound the levels and their histories are still there to
        // see; the error says why nothing can be played.
        co_return soundChecked(co_await player.prepare());
    }

    if (std::holds_alternative<effects::startSession>(effect)) {
        auto session = co_await practice.startSession();
        if (!session)
            co_return failed(session.error());
        co_return actions::didStartSession{*session};
    }
    if (auto *e = std::get_if<effects::loadNextQuestion>(&effect)) {
        if (e->cutShort)
            player.stopAll();
        auto question = co_await practice.loadNextQuestion(e->mode);
        if (!question)
            co_return failed(question.error());
        co_return actions::didLoadQuestion{*question};
    }

    const auto *cadence = std::get_if<effects::playCadence>(&effect);
    const auto *repeat = std::get_if<effects::repeatQuestion>(&effect);
    if (cadence || repeat) {
        const Level level = cadence ? cadence->level : repeat->level;
        const Question question = cadence ? cadence->question : repeat->question;
        const std::uint64_t playback = cadence ? cadence->playback : repeat->playback;
        // A replay starts over what may still sound of the question.
        if (repeat)
            player.stopAll();
        Result<void> lead;
        if (cadence && cadence->pauseBeats > 0)
            lead = co_await player.rest(cadence->pauseBeats);
        if (!lead)
            co_return failed(lead.error());
        if (repeat || cadence->withCadence)
            lead = co_await player.playCadence(level.cadence);
        else
            lead = co_await player.rest(1);
        if (!lead)
            co_return failed(lead.error());
        player.holdDrone(level.key);
        // A melody's notes a beat apart, the last as a question's note; a
        // progression's chords likewise.
        Result<void> played;
        if (question.kind == QuestionKind::chord)
            played = co_await player.playProgression(questionChords(level, question));
        else if (question.melody.empty())
            played = co_await player.playQuestionNote(question.answer);
        else
            played = co_await player.playMelody(question.melody);
        if (!played)
            co_return failed(played.error());
        co_return actions::didPlayCadence{playback, repeat || cadence->withCadence};
    }
    if (auto *e = std::get_if<effects::applySettings>(&effect)) {
        if (env.preferences)
            storeSettings(*env.preferences, e->settings, e->previous);
        player.apply(e->settings);
        const bool reshaped = !sameHistory(e->settings, e->previous) || e->settings.melodyLeap != e->previous.melodyLeap
            || e->settings.chordsRepeat != e->previous.chordsRepeat;
        if (reshaped)
            practice.setQuestionShape(e->settings.melodyLength, e->settings.melodyLeap, e->settings.questionKind,
                                      e->settings.chordsRepeat);
        // Another kind or length shows the level with that one's history.
        if (!sameHistory(e->settings, e->previous))
            co_return loaded(co_await practice.loadLevelForQuestionLength());
        if (e->preview) {
            if (auto played = co_await player.playNote(*e->preview); !played)
                co_return failed(played.error());
        }
        co_return std::nullopt;
    }
    if (auto *e = std::get_if<effects::playNote>(&effect)) {
        if (auto played = co_await sound(player, e->note, e->chord, true); !played)
            co_return failed(played.error());
        co_return std::nullopt;
    }
    if (auto *e = std::get_if<effects::playNoteInResolution>(&effect)) {
        if (e->note) {
            if (auto played = co_await sound(player, *e->note, e->chord, false); !played)
                co_return failed(played.error());
        }
        co_return actions::didPlayNoteInResolution{e->playback};
    }
    if (auto *e = std::get_if<effects::exportHistory>(&effect)) {
        ExportOutcome outcome;
        outcome.path = e->path;
        if (!env.historyWriter) {
            outcome.failure = QStringLiteral("There is nowhere to export to");
            co_return actions::didExportHistory{outcome};
        }
        const auto format = e->format == ExportFormat::json ? HistoryWriter::Format::json : HistoryWriter::Format::csv;
        const Result<HistoryWriter::Written> written = co_await env.historyWriter->write(format, e->path);
        if (!written) {
            outcome.failure = written.error().description;
        } else {
            outcome.sessions = written->sessions;
            outcome.levels = written->levels;
            outcome.skipped = written->skipped;
        }
        co_return actions::didExportHistory{outcome};
    }
    if (auto *e = std::get_if<effects::loadQuestionsToHear>(&effect))
        co_return actions::didLoadQuestionsToHear{practice.questionsToHear(e->count), e->playback};
    if (auto *e = std::get_if<effects::playHeardNote>(&effect)) {
        Result<void> played;
        if (e->note)
            played = co_await sound(player, *e->note, e->chord, false);
        else
            played = co_await player.rest(1);
        if (!played)
            co_return failed(played.error());
        co_return actions::didPlayHeardNote{e->playback};
    }
    if (auto *e = std::get_if<effects::logRightAnswer>(&effect)) {
        if (e->playsNote) {
            if (auto played = co_await sound(player, e->note, e->chord, true); !played)
                co_return failed(played.error());
        }
        auto session = co_await practice.logRightAnswer(e->question);
        if (!session)
            co_return failed(session.error());
        co_return actions::didLogRightAnswer{*session, e->playback};
    }
    if (auto *e = std::get_if<effects::logWrongAnswer>(&effect)) {
        // The wrong key is heard before the answer is recorded.
        if (auto played = co_await sound(player, e->note, e->chord, true); !played)
            co_return failed(played.error());
        auto session = co_await practice.logWrongAnswer(e->question, e->note);
        if (!session)
            co_return failed(session.error());
        co_return actions::didLogWrongAnswer{*session, e->playback};
    }
    co_return std::nullopt;
}

} // namespace lirra
