#include "screen_states.h"

#include "model/generators.h"
#include "model/level_labels.h"
#include "model/localization.h"
#include "model/note_naming.h"
#include "practice/adaptive_order.h"

#include <cmath>

namespace lirra {

QString plainText(const StyledText &text)
{
    QString result;
    for (const TextSegment &segment : text)
        result += segment.text;
    return result;
}

namespace {

StyledText scoreText(const AppState &state)
{
    if (state.questionsCount < 1)
        return {};
    const std::int64_t right = state.correctIdentifications;
    const std::int64_t total = state.questionsCount;
    const QString dot = QStringLiteral(" · ");
    return {
        {QString::number(right), PaletteColor::green},
        {dot, std::nullopt},
        {QString::number(total - right), PaletteColor::red},
        {dot, std::nullopt},
        {QString::number(total), PaletteColor::teal},
    };
}

QString nameOf(const AppState &state, Note note)
{
    const Level *level = state.level ? &*state.level : nullptr;
    // As the keys name it, since it is said under them.
    return answerLabel(note.name, level ? level->key : NoteName::c, !level || level->isMajor, state.settings.noteNames,
                       NamePlace::practiceKeys, level ? level->questionKind : QuestionKind::note);
}

QString percent(double share)
{
    return localized("preferences.percent").arg(std::lround(share * 100));
}

// What the notes heard between questions are, or what the last session
// came to.
std::optional<QString> practiceCaption(const AppState &state)
{
    if (state.hearing && !state.hearing->steps.empty()) {
        const Hearing &hearing = *state.hearing;
        const Note presenting = hearing.steps.front().presenting;
        if (hearing.kind == Hearing::Kind::listening)
            return localized("listening.caption").arg(nameOf(state, presenting));
        const bool pressed = hearing.contrast && presenting == hearing.contrast->answered;
        return localized(pressed ? "contrast.pressed" : "contrast.asked").arg(nameOf(state, presenting));
    }
    if (state.notice)
        return state.notice;
    if (!state.sessionSummary || state.isPracticing)
        return std::nullopt;
    const SessionSummary &summary = *state.sessionSummary;
    const auto seconds = std::llround(summary.seconds);
    QString text = localized("summary.text")
                       .arg(seconds < 60 ? localized("summary.seconds").arg(seconds)
                                         : localized("summary.length").arg(seconds / 60).arg(seconds % 60))
                       .arg(summary.right)
                       .arg(summary.questions)
                       .arg(percent(summary.accuracy));
    if (summary.mostImproved)
        text += QLatin1Char(' ')
            + localized("summary.improved").arg(nameOf(state, *summary.mostImproved), percent(summary.improvement));
    if (summary.mostConfused)
        text += QLatin1Char(' ')
            + localized("summary.confused")
                  .arg(nameOf(state, summary.mostConfused->asked),
                       takenFor(nameOf(state, summary.mostConfused->answered), summary.mostConfused->asked,
                                summary.mostConfused->answered))
                  .arg(summary.confusedCount);
    return text;
}

} // namespace

MainScreenState mainScreenState(const AppState &state)
{
    const bool controlsEnabled = state.isInteractionEnabled && !state.isLevelEditorVisible
        && !state.isAccuracyScreenVisible && !state.isLevelChooserVisible && !state.isPreferencesVisible;
    const bool practising = state.isPracticing;
    // A session can be stopped and its question replayed while it plays:
    // only another screen or a tip waiting to be read holds them back.
    const bool sessionControlsReachable = practising && !state.isLevelEditorVisible
        && !state.isAccuracyScreenVisible && !state.currentTip;

    MainScreenState main;
    main.key = state.level ? state.level->key : NoteName::c;
    main.isMajor = !state.level || state.level->isMajor;
    main.naming = state.settings.noteNames;
    main.kind = state.settings.questionKind;
    main.isPreviousButtonEnabled = !practising && controlsEnabled;
    main.isNextButtonEnabled = !practising && controlsEnabled;
    main.isConfigureButtonEnabled = !practising && controlsEnabled;
    main.isChooseLevelButtonEnabled = !practising && controlsEnabled && !state.hasError && !state.currentTip;
    main.isPreferencesButtonEnabled = state.level && !state.currentTip && !state.isLevelEditorVisible
        && !state.isAccuracyScreenVisible && !state.isLevelChooserVisible && !state.isPreferencesVisible;
    main.offersToSaveLevel = state.offersToSaveLevel && !practising;
    main.isStartStopButtonEnabled = controlsEnabled || sessionControlsReachable;
    main.startStopButtonMode = practising ? MainScreenState::StartStopMode::stop
                                          : MainScreenState::StartStopMode::start;
    // Not while an answer is heard: its resolution leads to the next question.
    main.isRepeatButtonEnabled = sessionControlsReachable && state.question && !state.pendingAnswer;
    main.isScoreLabelHidden = !practising;
    main.scoreText = scoreText(state);
    if (state.questionsCount >= 1 && practising) {
        main.scoreAccessibilityText =
            localized("score").arg(state.correctIdentifications).arg(state.questionsCount);
    }
    if (state.questionsCount >= 1) {
        main.scoreLegend = localized("scoreLegend")
                               .arg(state.correctIdentifications)
                               .arg(state.questionsCount - state.correctIdentifications)
                               .arg(state.questionsCount);
    }
    main.accuracy = state.accuracy;
    main.hasAccuracy = !state.accuracyPerNote.empty();
    main.isAccuracyRingEnabled = controlsEnabled;
    main.isKeyboardEnabled = state.isInteractionEnabled;
    if (state.level)
        main.activeNotes = state.level->notes;
    main.highlightedNote = state.highlightedNote;
    main.tip = state.currentTip;
    main.caption = practiceCaption(state);
    if (state.isPracticing && state.question && state.question->length() > 1) {
        MelodySlots boxes;
        boxes.length = state.question->length();
        // Once the last note is found the whole melody is found.
        const bool done = state.pendingAnswer && state.pendingAnswer->isRight
            && state.melodyPosition + 1 == boxes.length;
        boxes.waiting = done ? boxes.length : state.melodyPosition;
        for (std::size_t i = 0; i < boxes.waiting; ++i)
            boxes.found.push_back(nameOf(state, state.question->noteAt(i)));
        main.melody = boxes;
    }
    return main;
}

NavBarState navBarState(const MainScreenState &main)
{
    NavBarState bar;
    bar.isPreviousButtonEnabled = main.isPreviousButtonEnabled;
    bar.isNextButtonEnabled = main.isNextButtonEnabled;
    bar.isConfigureButtonEnabled = main.isConfigureButtonEnabled;
    bar.isChooseLevelButtonEnabled = main.isChooseLevelButtonEnabled;
    bar.isPreferencesButtonEnabled = main.isPreferencesButtonEnabled;
    bar.isStartStopButtonEnabled = main.isStartStopButtonEnabled;
    bar.startStopButtonMode = main.startStopButtonMode;
    bar.isRepeatButtonEnabled = main.isRepeatButtonEnabled;
    bar.isScoreLabelHidden = main.isScoreLabelHidden;
    bar.scoreText = main.scoreText;
    bar.scoreAccessibilityText = main.scoreAccessibilityText;
    bar.scoreLegend = main.scoreLegend;
    bar.accuracy = main.accuracy;
    bar.hasAccuracy = main.hasAccuracy;
    bar.isAccuracyRingEnabled = main.isAccuracyRingEnabled;
    return bar;
}

LevelEditorScreenState levelEditorScreenState(const AppState &state)
{
    LevelEditorScreenState editor;
    editor.key = state.level ? state.level->key : NoteName::c;
    editor.isMajor = !state.level || state.level->isMajor;
    editor.naming = state.settings.noteNames;
    // A saved level may be widened again to any note of its key and mode.
    if (state.baseLevel && state.baseLevel->isSaved())
        editor.allNotes = DiatonicLevelGenerator::notesOfKey(state.baseLevel->key, state.baseLevel->isMajor);
    else if (state.baseLevel)
        editor.allNotes = state.baseLevel->notes;
    if (state.level)
        editor.selectedNotes = state.level->notes;
    return editor;
}

AccuracyScreenState accuracyScreenState(const AppState &state)
{
    AccuracyScreenState accuracy;
    accuracy.context = state.session ? AccuracyScreenState::Context::session : AccuracyScreenState::Context::level;
    accuracy.key = state.level ? state.level->key : NoteName::c;
    accuracy.isMajor = !state.level || state.level->isMajor;
    accuracy.naming = state.settings.noteNames;
    accuracy.accuracyPerNote = state.accuracyPerNote;
    if (state.level) {
        accuracy.kind = state.level->questionKind;
        accuracy.activeNotes = questionNotes(state.level->notes, accuracy.kind);
        accuracy.levelHeading = levelHeading(*state.level);
    }
    if (state.level && accuracy.context == AccuracyScreenState::Context::level) {
        const std::vector<Session> &sessions = state.level->sessions;
        constexpr size_t shown = 100;
        for (size_t i = sessions.size() > shown ? sessions.size() - shown : 0; i < sessions.size(); ++i) {
            const SessionStatistics stats = sessions[i].statistics();
            const std::int64_t total = saturatingAdd(stats.correctCount, stats.wrongCount);
            if (total > 0)
                accuracy.progress.push_back({sessions[i].timestamp, stats.accuracy, stats.correctCount, total});
        }
        accuracy.levelAccuracy = state.level->statistics().pooledAccuracy;
    }
    std::map<Confusion, std::int64_t> confusions;
    if (accuracy.context == AccuracyScreenState::Context::session) {
        confusions = state.session->confusions;
    } else if (state.level) {
        confusions = evidenceOf(state.level->sessions, state.level->sessions.size()).confusions;
    }
    // In order of the notes taken for, so that a tie goes to the lowest.
    for (const auto &[confusion, count] : confusions) {
        if (!accuracy.heardAs.empty() && accuracy.heardAs.back().asked == confusion.asked) {
            if (count > accuracy.heardAsCounts.back()) {
                accuracy.heardAs.back() = confusion;
                accuracy.heardAsCounts.back() = count;
            }
            continue;
        }
        accuracy.heardAs.push_back(confusion);
        accuracy.heardAsCounts.push_back(count);
    }
    return accuracy;
}

} // namespace lirra
