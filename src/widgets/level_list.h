#pragma once

#include "model/level_labels.h"
#include "model/level_search.h"
#include "model/music.h"

#include <QAbstractTableModel>

#include <functional>
#include <map>
#include <optional>
#include <vector>

namespace lirra {

// Every level to choose from as rows under headings: the built-in levels
// grouped by key and mode, then "My levels". A level's row says what sets it
// apart, its notes, its accuracy and when it was last practised. Headings
// are neither selectable nor enabled, so the arrow keys pass over them.
// What a history comes to is asked for only when a row's figure is first
// wanted, and kept.
class LevelListModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { levelColumn, notesColumn, accuracyColumn, lastPractisedColumn, columnCount_ };
    static constexpr int levelIdRole = Qt::UserRole + 1;

    using Summaries = std::function<HistorySummary(const Level &)>;

    explicit LevelListModel(Summaries summaries, QObject *parent = nullptr);

    void setLevels(std::vector<Level> levels);
    // How the notes column names notes.
    void setNaming(NoteNaming naming);
    // Shows the levels the query finds (all for an empty one).
    void setFilter(const QString &query);
    const QString &filter() const { return m_query; }

    // The row of a level on show, if any; its id, for a level's row.
    std::optional<int> rowOf(std::int64_t levelId) const;
    std::optional<std::int64_t> levelIdAt(int row) const;
    const Level *levelAt(int row) const;
    bool isHeading(int row) const;
    // How many levels are on show (headings not counted).
    int levelCount() const;
    // How the filter's words were read ("F♯, minor"), to say what was
    // looked for when nothing was found.
    QString filterReadAs() const { return m_search.readAs(m_query); }
    NoteNaming naming() const { return m_naming; }
    // How many histories were read so far.
    int summariesRead() const { return int(m_summaries.size()); }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    struct Row {
        QString heading;           // a heading's text
        std::optional<size_t> level; // index into m_levels for a level's row
    };
    const HistorySummary &summary(const Level &level) const;
    void rebuild();

    Summaries m_summariesOf;
    std::vector<Level> m_levels;
    NoteNaming m_naming = NoteNaming::solfege;
    std::vector<Row> m_rows;
    QString m_query;
    LevelSearch m_search;
    mutable std::map<std::int64_t, HistorySummary> m_summaries;
};

} // namespace lirra
