#pragma once

#include "model/music.h"
#include "widgets/level_list.h"

#include <QDialog>

#include <functional>
#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;
class QTreeView;

namespace lirra {

struct LevelChooserDelegate {
    std::function<void(std::int64_t)> didChoose;
    std::function<void()> didDismiss;
    std::function<void(std::int64_t, QString)> didRename;
    std::function<void(std::int64_t)> didDelete;
};

// Every level in one list over the window, found by typing: the filter has
// the focus, ↑ ↓ Page Up, Page Down, Home and End move through the levels
// from there, Return loads the one selected, Escape closes; a filter that
// finds nothing says how it read what was typed. A saved level can be renamed (F2) or deleted
// (Delete, asked once) from here.
class LevelChooser final : public QDialog {
    Q_OBJECT
public:
    LevelChooser(LevelListModel::Summaries summaries, QWidget *parent = nullptr);

    // The levels, with the current one selected; the filter is cleared.
    void present(std::vector<Level> levels, std::int64_t currentId);
    // New levels after a rename or a delete; filter and selection stay.
    void refresh(std::vector<Level> levels);

    QLineEdit *filterField() const { return m_filter; }
    // What is said when the filter finds no level; hidden otherwise.
    QLabel *nothingFoundLabel() const { return m_nothingFound; }
    QTreeView *list() const { return m_list; }
    LevelListModel *model() const { return m_model; }
    QPushButton *openButton() const { return m_open; }
    QPushButton *renameButton() const { return m_rename; }
    QPushButton *deleteButton() const { return m_delete; }
    // The level selected, if any.
    const Level *selectedLevel() const;
    std::optional<std::int64_t> selectedLevelId() const;

    // Stand-ins for the name and the confirmation asked for, for tests;
    // standard dialogs by default.
    std::function<std::optional<QString>(const Level &)> askName;
    std::function<bool(const Level &)> confirmDelete;

    std::optional<LevelChooserDelegate> delegate;

    // Reports the choice, or the dismissal, once per presentation.
    void done(int result) override;
    // Closes without reporting: the app closed it.
    void dismissQuietly();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The level, else the level row nearest `near` (a level just deleted
    // leaves the selection beside it), else the first level found.
    void select(std::optional<std::int64_t> levelId, std::optional<int> near = std::nullopt);
    void updateButtons();
    void updateNothingFound();
    // Room for a whole chromatic octave in the names the list uses.
    void fitNotesColumn();
    void rename();
    void remove();

    LevelListModel *m_model;
    QLineEdit *m_filter;
    QTreeView *m_list;
    QLabel *m_nothingFound;
    QPushButton *m_open;
    QPushButton *m_rename;
    QPushButton *m_delete;
    QPushButton *m_close;
    bool m_reported = false;
};

} // namespace lirra
