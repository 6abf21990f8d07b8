#include "confusion_dialog.h"

#include "model/localization.h"
#include "model/note_naming.h"
#include "widgets/palette.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace lirra {

namespace {

// Without its colon: the name a screen reader gives the control.
QString accessibleText(const char *key)
{
    return localized(key).remove(QLatin1Char(':')).trimmed();
}

} // namespace

ConfusionDialog::ConfusionDialog(QWidget *parent)
    : QDialog(parent)
    , m_heading(new QLabel)
    , m_span(new QComboBox)
    , m_summary(new QLabel)
    , m_explanation(new QLabel)
    , m_table(new QTableWidget)
{
    setObjectName(QStringLiteral("confusionDialog"));
    setWindowTitle(localized("confusions.title"));
    setModal(true);

    m_heading->setTextFormat(Qt::PlainText);
    m_heading->setWordWrap(true);
    m_span->addItem(localized("confusions.recent").arg(recentSessions), int(recentSessions));
    m_span->addItem(localized("confusions.all"), 0);
    m_span->setAccessibleName(accessibleText("confusions.span"));
    auto *spanLabel = new QLabel(localized("confusions.span"));
    spanLabel->setBuddy(m_span);
    auto *form = new QFormLayout;
    form->addRow(spanLabel, m_span);
    connect(m_span, &QComboBox::currentIndexChanged, this, [this]() { refresh(); });

    m_summary->setTextFormat(Qt::PlainText);
    m_summary->setWordWrap(true);
    m_explanation->setWordWrap(true);

    m_table->setObjectName(QStringLiteral("confusionTable"));
    m_table->setAccessibleName(localized("confusions.title"));
    m_table->setAccessibleDescription(localized("confusions.explain"));
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setTabKeyNavigation(false);
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_table->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_table->setMinimumSize(420, 260);

    auto *buttons = new QDialogButtonBox;
    m_close = buttons->addButton(localized("preferences.close"), QDialogButtonBox::RejectRole);
    m_close->setDefault(true);
    connect(m_close, &QPushButton::clicked, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_heading);
    layout->addLayout(form);
    layout->addWidget(m_summary);
    layout->addWidget(m_explanation);
    layout->addWidget(m_table, 1);
    layout->addWidget(buttons);
}

void ConfusionDialog::present(const ConfusionViewState &state)
{
    m_state = state;
    m_heading->setText(state.levelHeading);
    refresh();
}

QString ConfusionDialog::label(Note note, const std::vector<Note> &among) const
{
    QString text = answerLabel(note.name, m_state.key, m_state.isMajor, m_state.naming, NamePlace::noteLists, m_state.kind);
    // Two octaves of one note are told apart by their octave.
    const bool twice = std::count_if(among.begin(), among.end(), [note](Note n) { return n.name == note.name; }) > 1;
    if (twice)
        text += QLatin1Char(' ') + QString::number(note.octave);
    return text;
}

void ConfusionDialog::refresh()
{
    const std::size_t recent = std::size_t(m_span->currentData().toInt());
    const ConfusionTable table = confusionTable(m_state.sessions, m_state.notes, recent);
    const std::vector<Note> &notes = table.notes;
    const int n = int(notes.size());
    // Of chords, the rows and columns are chords.
    const QString explained = localized(m_state.kind == QuestionKind::chord ? "confusions.explainChords" : "confusions.explain");
    m_explanation->setText(explained);
    m_table->setAccessibleDescription(explained);
    QStringList names;
    for (const Note &note : notes)
        names << label(note, notes);

    m_table->clear();
    m_table->setRowCount(n);
    m_table->setColumnCount(n);
    m_table->setHorizontalHeaderLabels(names);
    m_table->setVerticalHeaderLabels(names);
    for (int i = 0; i < n; ++i) {
        m_table->horizontalHeaderItem(i)->setToolTip(localized("confusions.answeredHeader").arg(names[i]));
        m_table->verticalHeaderItem(i)->setToolTip(localized("confusions.askedHeader").arg(names[i]));
    }

    // The most confused pairs in words, most often first.
    struct Pair {
        int asked;
        int answered;
        std::int64_t count;
    };
    std::vector<Pair> pairs;
    const QColor wrong = color(PaletteColor::red);
    const QColor right = color(PaletteColor::green);
    for (int asked = 0; asked < n; ++asked) {
        for (int answered = 0; answered < n; ++answered) {
            const std::int64_t count = table.counts[size_t(asked)][size_t(answered)];
            const bool diagonal = asked == answered;
            auto *item = new QTableWidgetItem(count > 0 ? QString::number(count) : QString());
            item->setTextAlignment(Qt::AlignCenter);
            const QString spoken = diagonal
                ? localized("confusions.rightCell").arg(names[asked]).arg(count)
                : localized("confusions.cell").arg(names[asked], names[answered]).arg(count);
            item->setData(Qt::AccessibleTextRole, spoken);
            item->setToolTip(spoken);
            // Shaded by count: confusions in red, the strongest fullest;
            // right answers on the diagonal in a light green.
            if (count > 0) {
                QColor shade = diagonal ? right : wrong;
                const double share = diagonal ? 0.25 : 0.2 + 0.8 * double(count) / double(std::max<std::int64_t>(1, table.mostConfused));
                shade.setAlphaF(float(share));
                item->setBackground(shade);
                if (!diagonal)
                    pairs.push_back(Pair{asked, answered, count});
            }
            m_table->setItem(asked, answered, item);
        }
    }
    std::stable_sort(pairs.begin(), pairs.end(), [](const Pair &a, const Pair &b) { return a.count > b.count; });
    if (pairs.empty()) {
        m_summary->setText(localized("confusions.none"));
    } else {
        QStringList words;
        for (std::size_t i = 0; i < std::min<std::size_t>(3, pairs.size()); ++i)
            words << localized("confusions.pair")
                         .arg(names[pairs[i].asked],
                              takenFor(answerLabel(notes[size_t(pairs[i].answered)].name, m_state.key, m_state.isMajor,
                                                   m_state.naming, NamePlace::noteLists, m_state.kind),
                                       notes[size_t(pairs[i].asked)], notes[size_t(pairs[i].answered)]))
                         .arg(pairs[i].count);
        m_summary->setText(localized("confusions.most").arg(words.join(QStringLiteral("; "))));
    }
    m_summary->setAccessibleName(m_summary->text());
}

void ConfusionDialog::done(int result)
{
    QDialog::done(result);
    if (!std::exchange(m_quiet, false) && didClose)
        didClose();
}

void ConfusionDialog::dismissQuietly()
{
    m_quiet = true;
    reject();
    m_quiet = false;
}

} // namespace lirra
