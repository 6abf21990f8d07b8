#include "level_list.h"

#include "model/localization.h"
#include "widgets/accuracy_ring.h"
#include "widgets/palette.h"

#include <QBrush>
#include <QDateTime>
#include <QFont>
#include <QLocale>

namespace lirra {

LevelListModel::LevelListModel(Summaries summaries, QObject *parent)
    : QAbstractTableModel(parent)
    , m_summariesOf(std::move(summaries))
{
}

void LevelListModel::setNaming(NoteNaming naming)
{
    if (std::exchange(m_naming, naming) == naming || m_rows.empty())
        return;
    emit dataChanged(index(0, notesColumn), index(int(m_rows.size()) - 1, notesColumn));
}

void LevelListModel::setLevels(std::vector<Level> levels)
{
    m_levels = std::move(levels);
    m_summaries.clear();
    rebuild();
}

void LevelListModel::setFilter(const QString &query)
{
    if (query == m_query)
        return;
    m_query = query;
    rebuild();
}

void LevelListModel::rebuild()
{
    beginResetModel();
    m_rows.clear();
    QString group;
    bool savedHeadingShown = false;
    const QStringList wanted = m_search.queryWords(m_query);
    for (size_t i = 0; i < m_levels.size(); ++i) {
        const Level &level = m_levels[i];
        if (!m_search.matches(level, wanted))
            continue;
        if (level.isSaved()) {
            if (!savedHeadingShown)
                m_rows.push_back(Row{localized("myLevels"), std::nullopt});
            savedHeadingShown = true;
        } else if (const QString title = keyTitle(level); title != group) {
            m_rows.push_back(Row{title, std::nullopt});
            group = title;
        }
        m_rows.push_back(Row{{}, i});
    }
    endResetModel();
}

std::optional<int> LevelListModel::rowOf(std::int64_t levelId) const
{
    for (size_t row = 0; row < m_rows.size(); ++row) {
        if (m_rows[row].level && m_levels[*m_rows[row].level].id == levelId)
            return int(row);
    }
    return std::nullopt;
}

const Level *LevelListModel::levelAt(int row) const
{
    if (row < 0 || row >= int(m_rows.size()) || !m_rows[size_t(row)].level)
        return nullptr;
    return &m_levels[*m_rows[size_t(row)].level];
}

std::optional<std::int64_t> LevelListModel::levelIdAt(int row) const
{
    const Level *level = levelAt(row);
    return level ? std::optional(level->id) : std::nullopt;
}

bool LevelListModel::isHeading(int row) const
{
    return row >= 0 && row < int(m_rows.size()) && !m_rows[size_t(row)].level;
}

int LevelListModel::levelCount() const
{
    return int(std::count_if(m_rows.begin(), m_rows.end(), [](const Row &row) { return row.level.has_value(); }));
}

int LevelListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int LevelListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : columnCount_;
}

const HistorySummary &LevelListModel::summary(const Level &level) const
{
    auto found = m_summaries.find(level.id);
    if (found == m_summaries.end())
        found = m_summaries.emplace(level.id, m_summariesOf ? m_summariesOf(level) : HistorySummary{}).first;
    return found->second;
}

QVariant LevelListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= int(m_rows.size()))
        return {};
    const Row &row = m_rows[size_t(index.row())];
    if (!row.level) {
        if (role == Qt::DisplayRole && index.column() == levelColumn)
            return row.heading;
        if (role == Qt::AccessibleTextRole && index.column() == levelColumn)
            return localized("levelGroup").arg(row.heading);
        if (role == Qt::FontRole) {
            QFont bold;
            bold.setBold(true);
            return bold;
        }
        // Not selectable, yet no less readable than the rows under it.
        if (role == Qt::ForegroundRole)
            return QBrush(color(PaletteColor::amber));
        return {};
    }
    const Level &level = m_levels[*row.level];
    if (role == levelIdRole)
        return QVariant::fromValue(qint64(level.id));
    if (role == Qt::TextAlignmentRole && (index.column() == accuracyColumn || index.column() == lastPractisedColumn))
        return int(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole && role != Qt::AccessibleTextRole && role != Qt::ToolTipRole)
        return {};
    switch (index.column()) {
    case levelColumn:
        // A saved level by its own name; a built-in one by what sets it apart
        // under its key's heading. Read aloud with its key and mode.
        if (level.isSaved())
            return role == Qt::DisplayRole ? level.name + QStringLiteral(" · ") + keyTitle(level) : levelHeading(level);
        return role == Qt::DisplayRole ? levelDetails(level) : levelHeading(level);
    case notesColumn:
        return notesText(level, m_naming);
    case accuracyColumn: {
        const HistorySummary &figures = summary(level);
        if (figures.answers <= 0)
            return role == Qt::DisplayRole ? QStringLiteral("—") : localized("noAnswersYet");
        return percentText(float(figures.accuracy));
    }
    case lastPractisedColumn: {
        const HistorySummary &figures = summary(level);
        if (!figures.lastPractised)
            return role == Qt::DisplayRole ? QStringLiteral("—") : localized("neverPractised");
        const QDate date = QDateTime::fromMSecsSinceEpoch(qint64(*figures.lastPractised * 1000.0)).date();
        return QLocale().toString(date, QLocale::ShortFormat);
    }
    default:
        return {};
    }
}

QVariant LevelListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case levelColumn: return localized("column.level");
    case notesColumn: return localized("column.notes");
    case accuracyColumn: return localized("column.accuracy");
    case lastPractisedColumn: return localized("column.lastPractised");
    default: return {};
    }
}

Qt::ItemFlags LevelListModel::flags(const QModelIndex &index) const
{
    if (!index.isValid() || isHeading(index.row()))
        return Qt::ItemNeverHasChildren;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

} // namespace lirra
