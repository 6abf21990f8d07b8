#include "hearing.h"

#include "model/generators.h"

namespace lirra {

namespace {

void appendResolution(std::vector<HeardStep> &steps, Note presenting, const std::vector<Note> &resolution)
{
    for (const Note &note : resolution)
        steps.push_back(HeardStep{note, presenting});
}

} // namespace

std::vector<HeardStep> listeningSteps(const std::vector<Question> &questions)
{
    std::vector<HeardStep> steps;
    for (const Question &question : questions) {
        steps.push_back(HeardStep{std::nullopt, question.answer});
        // A melody's notes before its last, each presenting itself.
        for (std::size_t i = 0; i + 1 < question.melody.size(); ++i)
            steps.push_back(HeardStep{question.melody[i], question.melody[i]});
        appendResolution(steps, question.answer, question.resolution);
    }
    return steps;
}

std::vector<HeardStep> contrastSteps(const Level &level, Note pressed, const Question &asked)
{
    std::vector<HeardStep> steps{HeardStep{std::nullopt, pressed}};
    appendResolution(steps, pressed, resolutionIn(level, pressed, asked.kind));
    steps.push_back(HeardStep{std::nullopt, asked.answer});
    appendResolution(steps, asked.answer, asked.resolution);
    return steps;
}

Reduction continueHearing(AppState state, bool stepPlayed)
{
    if (!state.hearing)
        return Reduction{std::move(state), std::nullopt};
    Hearing &hearing = *state.hearing;
    if (stepPlayed && !hearing.steps.empty())
        hearing.steps.erase(hearing.steps.begin());
    if (!hearing.steps.empty()) {
        const HeardStep step = hearing.steps.front();
        // The key sounding is lit: in a contrast red while the note pressed
        // sounds, green while the one asked does.
        if (step.note) {
            PaletteColor color = PaletteColor::blue;
            if (hearing.contrast)
                color = step.presenting == hearing.contrast->answered ? PaletteColor::red : PaletteColor::green;
            state.highlightedNote = Highlight{*step.note, color};
        } else {
            state.highlightedNote.reset();
        }
        AppEffect effect = effects::playHeardNote{step.note, state.playback, chordSounded(state, step.note)};
        return Reduction{std::move(state), std::move(effect)};
    }
    const Hearing::Kind kind = hearing.kind;
    state.hearing.reset();
    state.highlightedNote.reset();
    if (kind == Hearing::Kind::contrast && state.question) {
        // The note asked has just sounded, last in the contrast.
        const Question asked = askedNow(state);
        AppEffect effect = effects::logRightAnswer{asked.answer, asked, state.playback};
        return Reduction{std::move(state), std::move(effect)};
    }
    AppEffect effect = effects::loadNextQuestion{state.settings.mode};
    return Reduction{std::move(state), std::move(effect)};
}

bool listeningDue(const AppState &state)
{
    return state.settings.mode == PracticeMode::adaptive && state.questionsAsked > 0
        && state.questionsAsked % questionsBetweenListening == 0;
}

bool contrastDue(const AppState &state)
{
    return state.settings.mode == PracticeMode::adaptive && state.settings.contrast && state.firstWrongAnswer
        && state.question && state.level;
}

} // namespace lirra
