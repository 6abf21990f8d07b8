// The practice manager's questions of more than one note: the length and
// leap set, melodies made from the level's notes, each length's history on
// show, and melodies to listen to.
#include "cyclic_practice_manager.h"

#include "practice/melody.h"

#include <algorithm>

namespace lirra {

std::vector<Note> CyclicPracticeManager::askedNotes() const
{
    if (!m_currentLevel)
        return {};
    return questionNotes(m_currentLevel->notes, m_kind);
}

Question CyclicPracticeManager::questionStartingOn(Note first, PracticeMode mode)
{
    if (m_length <= 1)
        return questionFor(first);
    const PracticeEvidence known = mode == PracticeMode::adaptive ? evidence() : PracticeEvidence{};
    NoteWeight weight;
    if (mode == PracticeMode::adaptive)
        weight = [&known](Note note, std::optional<Note> previous) { return adaptiveWeight(known, note, previous); };
    if (m_kind == QuestionKind::chord)
        return melodyQuestion(makeProgression(askedNotes(), first, m_length, m_repeat, weight, *m_with.random));
    return melodyQuestion(makeMelody(m_currentLevel->notes, first, m_length, m_leap, weight, *m_with.random));
}

Question CyclicPracticeManager::melodyQuestion(std::vector<Note> melody) const
{
    Question question = questionFor(melody.back());
    question.melody = std::move(melody);
    return question;
}

void CyclicPracticeManager::setQuestionShape(int length, MelodyLeap leap, QuestionKind kind, bool repeat)
{
    m_leap = leap;
    m_repeat = repeat;
    length = std::clamp(length, 1, Settings::maxMelodyLength);
    if (length == m_length && kind == m_kind)
        return;
    // An unsaved narrowing's answers of one kind and length stay apart
    // from another's.
    if (m_currentLevel && m_currentLevel->isCustom) {
        m_narrowingSessions[{m_kind, m_length}] = std::exchange(m_currentLevel->sessions, {});
        m_currentLevel->sessions = std::exchange(m_narrowingSessions[{kind, length}], {});
        m_currentLevel->questionLength = length;
        m_currentLevel->questionKind = kind;
    }
    m_length = length;
    m_kind = kind;
    // The figures of the lists are of the length on show.
    m_summaries.clear();
}

QCoro::Task<Result<Level>> CyclicPracticeManager::loadLevelForQuestionLength()
{
    if (!m_currentLevel)
        co_return std::unexpected(error(ErrorCase::unexpected));
    if (m_currentLevel->isCustom) {
        startPasses(askedNotes());
        co_return Result<Level>(*m_currentLevel);
    }
    if (m_currentLevel->isSaved()) {
        if (std::optional<Level> level = savedLevel(m_currentLevel->id))
            co_return co_await loadSavedLevel(std::move(*level));
    }
    co_return co_await loadLevelAtCursor();
}

std::vector<Question> CyclicPracticeManager::questionsToHear(std::size_t count)
{
    std::vector<Question> questions;
    if (!m_currentLevel)
        return questions;
    const std::vector<Note> weakest = notesToHear(askedNotes(), evidence(), count, *m_with.random);
    if (m_length <= 1) {
        for (const Note note : weakest)
            questions.push_back(questionFor(note));
        return questions;
    }
    // Melodies of the weakest notes, each starting on another of them.
    for (const Note first : weakest) {
        if (m_kind == QuestionKind::chord)
            questions.push_back(melodyQuestion(makeProgression(weakest, first, m_length, m_repeat, {}, *m_with.random)));
        else
            questions.push_back(melodyQuestion(makeMelody(weakest, first, m_length, m_leap, {}, *m_with.random)));
    }
    return questions;
}

} // namespace lirra
