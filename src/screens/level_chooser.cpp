#include "level_chooser.h"

#include "ask_text.h"
#include "model/generators.h"
#include "model/level_labels.h"
#include "model/localization.h"
#include "widgets/palette.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QShortcut>
#include <QTreeView>
#include <QVBoxLayout>

namespace lirra {

LevelChooser::LevelChooser(LevelListModel::Summaries summaries, QWidget *parent)
    : QDialog(parent)
    , m_model(new LevelListModel(std::move(summaries), this))
    , m_filter(new QLineEdit)
    , m_list(new QTreeView)
    , m_nothingFound(new QLabel)
{
    setWindowTitle(localized("chooseLevel.title"));
    setAccessibleName(localized("chooseLevel.title"));

    auto *findLabel = new QLabel(localized("chooseLevel.find"));
    findLabel->setBuddy(m_filter);
    m_filter->setPlaceholderText(localized("chooseLevel.placeholder"));
    m_filter->setAccessibleName(localized("chooseLevel.findName"));
    m_filter->setAccessibleDescription(localized("chooseLevel.placeholder"));
    m_filter->setClearButtonEnabled(true);
    QPalette hint = m_filter->palette();
    hint.setColor(QPalette::PlaceholderText, color(PaletteColor::lightGray));
    m_filter->setPalette(hint);
    m_filter->installEventFilter(this);

    m_list->setModel(m_model);
    m_list->setAccessibleName(localized("chooseLevel.listName"));
    m_list->setRootIsDecorated(false);
    m_list->setItemsExpandable(false);
    m_list->setUniformRowHeights(true); // rows are measured once, not each
    m_list->setAllColumnsShowFocus(true);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Fixed widths: a column fitted to its contents would read every
    // level's history to measure it.
    const QFontMetrics metrics = fontMetrics();
    QHeaderView *header = m_list->header();
    header->setStretchLastSection(false);
    header->setSectionResizeMode(LevelListModel::levelColumn, QHeaderView::Stretch);
    header->setSectionResizeMode(LevelListModel::notesColumn, QHeaderView::Interactive);
    for (int column : {int(LevelListModel::accuracyColumn), int(LevelListModel::lastPractisedColumn)}) {
        const QString title = m_model->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
        const int width = std::max(metrics.horizontalAdvance(title), metrics.horizontalAdvance(QStringLiteral("00.00.0000")));
        header->resizeSection(column, width + 24);
    }
    connect(m_model, &QAbstractItemModel::modelReset, this, [this]() {
        for (int row = 0; row < m_model->rowCount(); ++row) {
            if (m_model->isHeading(row))
                m_list->setFirstColumnSpanned(row, {}, true);
        }
    });

    auto *buttons = new QDialogButtonBox;
    m_open = buttons->addButton(localized("chooseLevel.open"), QDialogButtonBox::AcceptRole);
    m_open->setDefault(true);
    m_rename = buttons->addButton(localized("chooseLevel.rename"), QDialogButtonBox::ActionRole);
    m_delete = buttons->addButton(localized("chooseLevel.delete"), QDialogButtonBox::ActionRole);
    m_close = buttons->addButton(localized("chooseLevel.close"), QDialogButtonBox::RejectRole);
    m_rename->setToolTip(localized("chooseLevel.renameTip") + QStringLiteral(" (F2)"));
    m_delete->setToolTip(localized("chooseLevel.deleteTip") + QStringLiteral(" (")
                         + QKeySequence(QKeySequence::Delete).toString(QKeySequence::NativeText) + QLatin1Char(')'));
    m_rename->setAutoDefault(false);
    m_delete->setAutoDefault(false);
    m_close->setAutoDefault(false);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_close, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_rename, &QPushButton::clicked, this, &LevelChooser::rename);
    connect(m_delete, &QPushButton::clicked, this, &LevelChooser::remove);

    auto *renameKey = new QShortcut(QKeySequence(Qt::Key_F2), this);
    connect(renameKey, &QShortcut::activated, this, &LevelChooser::rename);
    // Delete only from the list: in the filter it deletes a character.
    auto *deleteKey = new QShortcut(QKeySequence::Delete, m_list);
    deleteKey->setContext(Qt::WidgetShortcut);
    connect(deleteKey, &QShortcut::activated, this, &LevelChooser::remove);

    connect(m_filter, &QLineEdit::textChanged, this, [this](const QString &text) {
        const std::optional<std::int64_t> selected = selectedLevelId();
        m_model->setFilter(text);
        select(selected);
        updateNothingFound();
    });
    m_nothingFound->setWordWrap(true);
    m_nothingFound->hide();
    connect(m_list, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex &index) {
        if (!m_model->isHeading(index.row()))
            accept();
    });

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(findLabel);
    layout->addWidget(m_filter);
    layout->addWidget(m_nothingFound);
    layout->addWidget(m_list, 1);
    layout->addWidget(buttons);
    setTabOrder(m_filter, m_list);
    resize(760, 560);
}

const Level *LevelChooser::selectedLevel() const
{
    const QModelIndex current = m_list->currentIndex();
    if (!current.isValid() || !m_list->selectionModel()->isRowSelected(current.row(), {}))
        return nullptr;
    return m_model->levelAt(current.row());
}

std::optional<std::int64_t> LevelChooser::selectedLevelId() const
{
    const Level *level = selectedLevel();
    return level ? std::optional(level->id) : std::nullopt;
}

void LevelChooser::select(std::optional<std::int64_t> levelId, std::optional<int> near)
{
    int row = levelId ? m_model->rowOf(*levelId).value_or(-1) : -1;
    // The level row nearest where the selection was, the one after first.
    for (int distance = 0; row < 0 && near && distance < m_model->rowCount(); ++distance) {
        for (const int r : {*near + distance, *near - distance - 1}) {
            if (row < 0 && r >= 0 && r < m_model->rowCount() && !m_model->isHeading(r))
                row = r;
        }
    }
    // Otherwise the first level the filter found.
    for (int r = 0; row < 0 && r < m_model->rowCount(); ++r) {
        if (!m_model->isHeading(r))
            row = r;
    }
    if (row >= 0) {
        const QModelIndex index = m_model->index(row, 0);
        m_list->setCurrentIndex(index);
        m_list->scrollTo(index, QAbstractItemView::PositionAtCenter);
    } else {
        m_list->setCurrentIndex({});
    }
    updateButtons();
}

void LevelChooser::updateNothingFound()
{
    const bool nothing = m_model->levelCount() == 0 && !m_model->filter().trimmed().isEmpty();
    const QString text = nothing ? localized("chooseLevel.nothingFound").arg(m_model->filter().trimmed(), m_model->filterReadAs())
                                 : QString();
    m_nothingFound->setText(text);
    m_nothingFound->setVisible(nothing);
    // Said with the field, for a screen reader typing there.
    m_filter->setAccessibleDescription(nothing ? text : localized("chooseLevel.placeholder"));
}

void LevelChooser::fitNotesColumn()
{
    // Every key's whole chromatic octave, in the names in use: no list of
    // notes is cut short. The dialog grows to keep the levels' column.
    const QFontMetrics metrics = m_list->fontMetrics();
    int widest = 0;
    for (NoteName key : allNoteNames) {
        for (bool major : {true, false}) {
            const Level octave = DiatonicLevelGenerator::makeLevel(0, key, major, true, NoteRange::entireOctave);
            widest = std::max(widest, metrics.horizontalAdvance(notesText(octave, m_model->naming())));
        }
    }
    QHeaderView *header = m_list->header();
    header->resizeSection(LevelListModel::notesColumn, widest + 24);
    int others = 0;
    for (int column : {int(LevelListModel::notesColumn), int(LevelListModel::accuracyColumn),
                       int(LevelListModel::lastPractisedColumn)})
        others += header->sectionSize(column);
    const int levelsRoom = metrics.horizontalAdvance(QStringLiteral("C major · whole octave · chromatic")) + 48;
    resize(std::max(width(), others + levelsRoom + 48), height());
}

void LevelChooser::updateButtons()
{
    const Level *level = selectedLevel();
    m_open->setEnabled(level != nullptr);
    m_rename->setEnabled(level && level->isSaved());
    m_delete->setEnabled(level && level->isSaved());
}

void LevelChooser::present(std::vector<Level> levels, std::int64_t currentId)
{
    m_reported = false;
    m_filter->blockSignals(true);
    m_filter->clear();
    m_filter->blockSignals(false);
    m_model->setFilter({});
    m_model->setLevels(std::move(levels));
    if (m_list->selectionModel()) {
        connect(m_list->selectionModel(), &QItemSelectionModel::currentChanged, this, &LevelChooser::updateButtons,
                Qt::UniqueConnection);
    }
    select(currentId);
    updateNothingFound();
    fitNotesColumn();
    m_filter->setFocus();
}

void LevelChooser::refresh(std::vector<Level> levels)
{
    const std::optional<std::int64_t> selected = selectedLevelId();
    const QModelIndex current = m_list->currentIndex();
    m_model->setLevels(std::move(levels));
    select(selected, current.isValid() ? std::optional(current.row()) : std::nullopt);
    updateNothingFound();
}

bool LevelChooser::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_filter && event->type() == QEvent::KeyPress) {
        switch (static_cast<QKeyEvent *>(event)->key()) {
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
        case Qt::Key_Home:
        case Qt::Key_End:
            // Typing stays in the filter; the arrows move in the list.
            QCoreApplication::sendEvent(m_list, event);
            updateButtons();
            return true;
        default:
            break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void LevelChooser::rename()
{
    const Level *level = selectedLevel();
    if (!level || !level->isSaved())
        return;
    const Level chosen = *level;
    std::optional<QString> name;
    if (askName) {
        name = askName(chosen);
    } else {
        name = askText(this, localized("renameLevel.title"), localized("renameLevel.label"), chosen.name,
                       localized("renameLevel.rename"));
    }
    if (name && !name->trimmed().isEmpty() && delegate && delegate->didRename)
        delegate->didRename(chosen.id, *name);
}

void LevelChooser::remove()
{
    const Level *level = selectedLevel();
    if (!level || !level->isSaved())
        return;
    const Level chosen = *level;
    bool confirmed = false;
    if (confirmDelete) {
        confirmed = confirmDelete(chosen);
    } else {
        confirmed = confirmDestructive(this, QMessageBox::Question, localized("deleteLevel.title"),
                                       localized("deleteLevel.question").arg(chosen.name),
                                       localized("deleteLevel.confirm"), localized("deleteLevel.historyKept"));
    }
    if (confirmed && delegate && delegate->didDelete)
        delegate->didDelete(chosen.id);
}

void LevelChooser::dismissQuietly()
{
    m_reported = true;
    reject();
}

void LevelChooser::done(int result)
{
    const std::optional<std::int64_t> chosen = result == QDialog::Accepted ? selectedLevelId() : std::nullopt;
    QDialog::done(result);
    // The keys go back to the window at once, whatever the window manager does.
    if (QWidget *owner = parentWidget()) {
        owner->window()->activateWindow();
        owner->window()->setFocus(Qt::OtherFocusReason);
    }
    if (std::exchange(m_reported, true) || !delegate)
        return;
    if (chosen && delegate->didChoose)
        delegate->didChoose(*chosen);
    else if (delegate->didDismiss)
        delegate->didDismiss();
}

} // namespace lirra
