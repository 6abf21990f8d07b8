#include "confusion_table.h"

#include "model/level_labels.h"

#include <algorithm>

namespace lirra {

ConfusionTable confusionTable(const std::vector<Session> &sessions, const std::vector<Note> &notes, std::size_t recent)
{
    ConfusionTable table;
    table.notes = notes;
    const std::size_t first = recent > 0 && sessions.size() > recent ? sessions.size() - recent : 0;
    const auto column = [&table](Note note) {
        const auto it = std::find(table.notes.begin(), table.notes.end(), note);
        if (it != table.notes.end())
            return std::size_t(it - table.notes.begin());
        table.notes.push_back(note);
        return table.notes.size() - 1;
    };
    // Every note heard in a row or a column first, so that the table is square.
    for (std::size_t i = first; i < sessions.size(); ++i) {
        for (const auto &[confusion, count] : sessions[i].confusions) {
            column(confusion.asked);
            column(confusion.answered);
        }
    }
    const std::size_t n = table.notes.size();
    table.counts.assign(n, std::vector<std::int64_t>(n, 0));
    for (std::size_t i = first; i < sessions.size(); ++i) {
        for (const auto &[note, score] : sessions[i].score) {
            const auto it = std::find(table.notes.begin(), table.notes.end(), note);
            if (it == table.notes.end())
                continue;
            std::int64_t &cell = table.counts[std::size_t(it - table.notes.begin())][std::size_t(it - table.notes.begin())];
            cell = saturatingAdd(cell, score.correct);
        }
        for (const auto &[confusion, count] : sessions[i].confusions) {
            std::int64_t &cell = table.counts[column(confusion.asked)][column(confusion.answered)];
            cell = saturatingAdd(cell, count);
            table.mostConfused = std::max(table.mostConfused, cell);
        }
    }
    return table;
}

ConfusionViewState confusionViewState(const AppState &state)
{
    ConfusionViewState view;
    view.naming = state.settings.noteNames;
    if (!state.level)
        return view;
    view.key = state.level->key;
    view.isMajor = state.level->isMajor;
    view.levelHeading = levelHeading(*state.level);
    view.kind = state.level->questionKind;
    view.notes = questionNotes(state.level->notes, view.kind);
    view.sessions = state.level->sessions;
    if (state.isPracticing && state.session)
        view.sessions.push_back(*state.session);
    return view;
}

} // namespace lirra
