#pragma once

#include "core/confusion_table.h"

#include <QDialog>

#include <functional>

class QComboBox;
class QLabel;
class QPushButton;
class QTableWidget;

namespace lirra {

// Which note the user first answers for which, over a level's recent
// sessions or all of them: a table of counts, shaded by count and read out
// cell by cell, with the pairs most often confused in words above it.
class ConfusionDialog final : public QDialog {
    Q_OBJECT
public:
    // How many sessions "the last sessions" are.
    static constexpr std::size_t recentSessions = 5;

    explicit ConfusionDialog(QWidget *parent = nullptr);

    void present(const ConfusionViewState &state);
    const ConfusionViewState &state() const { return m_state; }

    std::function<void()> didClose;

    QComboBox *spanBox() const { return m_span; }
    QTableWidget *table() const { return m_table; }
    QLabel *summaryLabel() const { return m_summary; }
    QPushButton *closeButton() const { return m_close; }

    void done(int result) override;
    // Closes without reporting: the app closed it.
    void dismissQuietly();

private:
    void refresh();
    QString label(Note note, const std::vector<Note> &among) const;

    ConfusionViewState m_state;
    bool m_quiet = false;
    QLabel *m_heading;
    QComboBox *m_span;
    QLabel *m_summary;
    QLabel *m_explanation;
    QTableWidget *m_table;
    QPushButton *m_close;
};

} // namespace lirra
