#include "preferences_dialog.h"

#include "ask_text.h"
#include "labelled_row.h"

#include "model/localization.h"
#include "widgets/announcer.h"
#include "widgets/palette.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QSortFilterProxyModel>
#include <QSpinBox>
#include <QMenu>
#include <QStandardItemModel>
#include <QVBoxLayout>

#include <algorithm>

namespace lirra {

namespace {

constexpr int presetRole = Qt::UserRole + 1;

int presetKey(Preset preset)
{
    return preset.bank * 128 + preset.program;
}

} // namespace

PreferencesDialog::PreferencesDialog(QWidget *parent)
    : QDialog(parent)
    , m_instrumentModel(new QStandardItemModel(this))
    , m_filtered(new QSortFilterProxyModel(this))
    , m_filter(new QLineEdit)
    , m_instruments(new QListView)
    , m_noInstruments(new QLabel(localized("preferences.noInstruments")))
    , m_tempo(new QSpinBox)
    , m_cadence(new QComboBox)
    , m_drone(new QCheckBox(localized("preferences.droneOn")))
    , m_beats(new QComboBox)
    , m_emphasis(new QSpinBox)
    , m_volume(new QSlider(Qt::Horizontal))
    , m_volumeValue(new QLabel)
    , m_naming(new QComboBox)
    , m_mode(new QComboBox)
    , m_contrast(new QCheckBox(localized("preferences.contrastOn")))
    , m_speechPause(new QComboBox)
    , m_length(new QComboBox)
    , m_leap(new QComboBox)
    , m_kind(new QComboBox)
    , m_repeat(new QCheckBox(localized("preferences.chordsRepeatOn")))
    , m_export(new QPushButton(localized("preferences.export")))
{
    setWindowTitle(localized("preferences.title"));
    setAccessibleName(localized("preferences.title"));
    auto *form = new QFormLayout;
    form->setFieldGrowthPolicy(QFormLayout::ExpandingFieldsGrow);
    form->setRowWrapPolicy(QFormLayout::DontWrapRows);

    // The instrument: typed to find, chosen from the bank's own list.
    m_filtered->setSourceModel(m_instrumentModel);
    m_filtered->setFilterCaseSensitivity(Qt::CaseInsensitive);
    m_filter->setPlaceholderText(localized("preferences.findInstrument"));
    m_filter->setAccessibleName(localized("preferences.findInstrument"));
    m_filter->setClearButtonEnabled(true);
    QPalette hint = m_filter->palette();
    hint.setColor(QPalette::PlaceholderText, color(PaletteColor::lightGray));
    m_filter->setPalette(hint);
    m_filter->installEventFilter(this);
    m_instruments->setModel(m_filtered);
    m_instruments->setAccessibleName(localized("preferences.instrument").remove(QLatin1Char(':')));
    m_instruments->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_instruments->setSelectionMode(QAbstractItemView::SingleSelection);
    m_instruments->setUniformItemSizes(true);
    m_instruments->setMinimumHeight(fontMetrics().height() * 7);
    // The focus shows on the list itself, as on every other control.
    m_instruments->setStyleSheet(QStringLiteral("QListView { border: 2px solid transparent; }"
                                                "QListView:focus { border: 2px solid %1; }")
                                     .arg(color(PaletteColor::focus).name()));
    m_noInstruments->setWordWrap(true);
    m_noInstruments->hide();
    auto *instrument = new QWidget;
    auto *instrumentLayout = new QVBoxLayout(instrument);
    instrumentLayout->setContentsMargins(0, 0, 0, 0);
    instrumentLayout->addWidget(m_filter);
    instrumentLayout->addWidget(m_instruments);
    instrumentLayout->addWidget(m_noInstruments);
    auto *instrumentLabel = new QLabel(localized("preferences.instrument"));
    instrumentLabel->setBuddy(m_filter);
    form->addRow(instrumentLabel, instrument);
    // Typing only narrows the list: the instrument changes when one is
    // chosen from it (↓ from the field picks the first match).
    connect(m_filter, &QLineEdit::textChanged, this, [this](const QString &text) {
        const QSignalBlocker quiet(m_instruments->selectionModel());
        m_filtered->setFilterFixedString(text.trimmed());
        selectInstrument(m_settings.instrument);
        m_instruments->viewport()->update();
    });
    connect(m_instruments->selectionModel(), &QItemSelectionModel::currentChanged, this, [this](const QModelIndex &current) {
        if (!current.isValid())
            return;
        const int key = current.data(presetRole).toInt();
        change([key](Settings &s) { s.instrument = Preset{key / 128, key % 128}; });
    });

    m_tempo->setRange(Settings::minTempo, Settings::maxTempo);
    m_tempo->setSuffix(localized("preferences.bpm"));
    m_tempo->setAccelerated(true);
    labelled(form, "preferences.tempo", m_tempo, "preferences.tempoTip");
    connect(m_tempo, &QSpinBox::valueChanged, this, [this](int value) { change([value](Settings &s) { s.tempo = value; }); });

    m_cadence->addItem(localized("preferences.cadenceEveryQuestion"), 1);
    for (int every = 2; every <= Settings::maxCadenceEvery; ++every)
        m_cadence->addItem(localized("preferences.cadenceEvery").arg(every), every);
    m_cadence->addItem(localized("preferences.cadenceAtStart"), 0);
    labelled(form, "preferences.cadence", m_cadence, "preferences.cadenceTip");
    connect(m_cadence, &QComboBox::activated, this, [this](int row) {
        const int every = m_cadence->itemData(row).toInt();
        change([every](Settings &s) { s.cadenceEvery = every; });
    });

    labelled(form, "preferences.drone", m_drone, "preferences.droneTip");
    m_drone->setAccessibleName(localized("preferences.droneOn"));
    connect(m_drone, &QCheckBox::toggled, this, [this](bool on) { change([on](Settings &s) { s.drone = on; }); });

    for (int beats = 1; beats <= Settings::maxQuestionBeats; ++beats)
        m_beats->addItem(localized(beats == 1 ? "preferences.oneBeat" : "preferences.beats").arg(beats), beats);
    labelled(form, "preferences.questionLength", m_beats);
    connect(m_beats, &QComboBox::activated, this, [this](int row) {
        const int beats = m_beats->itemData(row).toInt();
        change([beats](Settings &s) { s.questionBeats = beats; });
    });

    m_emphasis->setRange(0, Settings::maxEmphasis);
    m_emphasis->setPrefix(QStringLiteral("+"));
    m_emphasis->setSuffix(QStringLiteral(" dB"));
    labelled(form, "preferences.emphasis", m_emphasis, "preferences.emphasisTip");
    connect(m_emphasis, &QSpinBox::valueChanged, this,
            [this](int value) { change([value](Settings &s) { s.questionEmphasis = value; }); });

    m_volume->setRange(0, Settings::maxVolume);
    m_volume->setSingleStep(5);
    m_volume->setPageStep(10);
    auto *volume = new QWidget;
    auto *volumeLayout = new QHBoxLayout(volume);
    volumeLayout->setContentsMargins(0, 0, 0, 0);
    volumeLayout->addWidget(m_volume, 1);
    m_volumeValue->setMinimumWidth(fontMetrics().horizontalAdvance(localized("preferences.percent").arg(100)) + 4);
    m_volumeValue->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    volumeLayout->addWidget(m_volumeValue);
    auto *volumeLabel = new QLabel(localized("preferences.volume"));
    volumeLabel->setBuddy(m_volume);
    m_volume->setAccessibleName(localized("preferences.volume").remove(QLatin1Char(':')).trimmed());
    form->addRow(volumeLabel, volume);
    connect(m_volume, &QSlider::valueChanged, this, [this](int value) {
        m_volumeValue->setText(localized("preferences.percent").arg(value));
        change([value](Settings &s) { s.volume = value; });
    });

    const std::pair<NoteNaming, const char *> namings[] = {
        {NoteNaming::solfege, "preferences.namesSolfege"},
        {NoteNaming::solfegeForKey, "preferences.namesSolfegeForKey"},
        {NoteNaming::lettersForKey, "preferences.namesLettersForKey"},
        {NoteNaming::degrees, "preferences.namesDegrees"},
    };
    for (const auto &[naming, text] : namings)
        m_naming->addItem(localized(text), int(naming));
    labelled(form, "preferences.noteNames", m_naming, "preferences.noteNamesTip");
    connect(m_naming, &QComboBox::activated, this, [this](int row) {
        const auto naming = static_cast<NoteNaming>(m_naming->itemData(row).toInt());
        change([naming](Settings &s) { s.noteNames = naming; });
    });

    addPracticeRows(form);

    // Every level's history, for a spreadsheet or another program.
    auto *exportMenu = new QMenu(m_export);
    exportMenu->setObjectName(QStringLiteral("exportMenu"));
    exportMenu->addAction(localized("export.asJson"), this, [this]() {
        if (didRequestExport)
            didRequestExport(ExportFormat::json);
    });
    exportMenu->addAction(localized("export.asCsv"), this, [this]() {
        if (didRequestExport)
            didRequestExport(ExportFormat::csv);
    });
    m_export->setMenu(exportMenu);
    m_export->setAutoDefault(false);
    labelled(form, "preferences.yourData", m_export, "preferences.exportTip");
    m_export->setAccessibleName(localized("preferences.export"));

    auto *buttons = new QDialogButtonBox;
    m_defaults = buttons->addButton(localized("preferences.defaults"), QDialogButtonBox::ResetRole);
    m_close = buttons->addButton(localized("preferences.close"), QDialogButtonBox::RejectRole);
    m_close->setDefault(true);
    m_defaults->setAutoDefault(false);
    m_defaults->setToolTip(localized("preferences.defaultsTip"));
    connect(m_close, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_defaults, &QPushButton::clicked, this, [this]() {
        // Every setting at once: asked first, Cancel the default.
        if (m_settings == Settings{} || !(confirmRestore ? confirmRestore() : askToRestore()))
            return;
        change([](Settings &s) { s = Settings{}; });
        showSettings(m_settings);
    });

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);

    // A combo box is read with its value, and a value chosen is said: Qt
    // 6.4 gives a screen reader neither. On Linux a combo box is read by its
    // label and its current text, so the value goes into the label's name.
    const QList<QLabel *> labels = findChildren<QLabel *>();
    for (QComboBox *box : findChildren<QComboBox *>()) {
        const QString label = box->property("labelName").toString();
        if (label.isEmpty())
            continue;
        const auto buddy = std::find_if(labels.begin(), labels.end(), [box](QLabel *l) { return l->buddy() == box; });
        QLabel *text = buddy == labels.end() ? nullptr : *buddy;
        const auto name = [box, label, text]() {
            const QString named = localized("preferences.valueName").arg(label, box->currentText());
            box->setAccessibleName(named);
            if (text)
                text->setAccessibleName(named);
        };
        name();
        m_namers.push_back(name);
        connect(box, &QComboBox::currentIndexChanged, box, name);
        connect(box, &QComboBox::activated, this, [this, box]() { say(box->currentText()); });
    }
}

void PreferencesDialog::present(const Settings &settings, const std::vector<InstrumentChoice> &instruments)
{
    m_quiet = false;
    m_filter->clear();
    m_instrumentModel->clear();
    for (const InstrumentChoice &choice : instruments) {
        QString name = choice.name.isEmpty() ? presetText(choice.preset) : choice.name;
        if (choice.preset.bank != 0)
            name = localized("preferences.variation").arg(name).arg(choice.preset.bank);
        auto *item = new QStandardItem(name);
        item->setData(presetKey(choice.preset), presetRole);
        item->setToolTip(QStringLiteral("%1 (%2)").arg(name, presetText(choice.preset)));
        m_instrumentModel->appendRow(item);
    }
    m_filter->setVisible(!instruments.empty());
    m_instruments->setVisible(!instruments.empty());
    m_noInstruments->setVisible(instruments.empty());
    showSettings(settings);
    m_filter->setFocus();
}

bool PreferencesDialog::askToRestore()
{
    return confirmDestructive(this, QMessageBox::Question, localized("preferences.defaults"),
                              localized("preferences.restoreQuestion"), localized("preferences.restore"));
}

void PreferencesDialog::say(const QString &text)
{
    if (!m_announcer)
        m_announcer = new Announcer(this);
    m_announcer->say(text);
}

void PreferencesDialog::showSettings(const Settings &settings)
{
    m_settings = settings;
    {
        const QSignalBlocker tempo(m_tempo), cadence(m_cadence), drone(m_drone), beats(m_beats), emphasis(m_emphasis),
            volume(m_volume), naming(m_naming), list(m_instruments->selectionModel()), mode(m_mode), contrast(m_contrast),
            speechPause(m_speechPause), length(m_length), leap(m_leap), kind(m_kind), repeat(m_repeat);
        selectInstrument(settings.instrument);
        m_tempo->setValue(settings.tempo);
        m_cadence->setCurrentIndex(m_cadence->findData(settings.cadenceEvery));
        m_drone->setChecked(settings.drone);
        m_beats->setCurrentIndex(m_beats->findData(settings.questionBeats));
        m_emphasis->setValue(settings.questionEmphasis);
        m_volume->setValue(settings.volume);
        m_volumeValue->setText(localized("preferences.percent").arg(settings.volume));
        m_naming->setCurrentIndex(m_naming->findData(int(settings.noteNames)));
        m_mode->setCurrentIndex(m_mode->findData(int(settings.mode)));
        m_contrast->setChecked(settings.contrast);
        m_contrast->setEnabled(settings.mode == PracticeMode::adaptive);
        m_speechPause->setCurrentIndex(m_speechPause->findData(settings.speechPause));
        m_length->setCurrentIndex(m_length->findData(settings.melodyLength));
        m_leap->setCurrentIndex(m_leap->findData(int(settings.melodyLeap)));
        m_kind->setCurrentIndex(m_kind->findData(int(settings.questionKind)));
        m_repeat->setChecked(settings.chordsRepeat);
        showQuestionShape(settings);
    }
    // The choices shown without their signals are in the labels' names too.
    for (const std::function<void()> &name : m_namers)
        name();
}

void PreferencesDialog::selectInstrument(Preset preset)
{
    const QModelIndexList found = m_filtered->match(m_filtered->index(0, 0), presetRole, presetKey(preset), 1, Qt::MatchExactly);
    if (found.isEmpty()) {
        m_instruments->clearSelection();
        m_instruments->setCurrentIndex({});
        return;
    }
    m_instruments->setCurrentIndex(found.front());
    m_instruments->scrollTo(found.front(), QAbstractItemView::PositionAtCenter);
}

void PreferencesDialog::showQuestionShape(const Settings &settings)
{
    // The lengths are of notes or of chords, as asked; melodies move by a
    // leap, progressions may repeat a chord.
    const bool chords = settings.questionKind == QuestionKind::chord;
    for (int row = 0; row < m_length->count(); ++row) {
        const int count = m_length->itemData(row).toInt();
        m_length->setItemText(row, count == 1 ? localized(chords ? "preferences.oneChord" : "preferences.oneNote")
                                              : localized(chords ? "preferences.progressionOf" : "preferences.melodyOf").arg(count));
    }
    m_leap->setEnabled(settings.melodyLength > 1 && !chords);
    m_repeat->setEnabled(settings.melodyLength > 1 && chords);
}

void PreferencesDialog::change(const std::function<void(Settings &)> &edit)
{
    Settings changed = m_settings;
    edit(changed);
    if (changed == m_settings)
        return;
    m_settings = changed;
    if (didChange)
        didChange(m_settings);
}

bool PreferencesDialog::eventFilter(QObject *watched, QEvent *event)
{
    // ↑ and ↓ in the search field move through the instruments.
    if (watched == m_filter && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Up || key->key() == Qt::Key_Down || key->key() == Qt::Key_PageUp
            || key->key() == Qt::Key_PageDown) {
            QKeyEvent forwarded(QEvent::KeyPress, key->key(), key->modifiers());
            QCoreApplication::sendEvent(m_instruments, &forwarded);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void PreferencesDialog::done(int result)
{
    QDialog::done(result);
    if (!std::exchange(m_quiet, false) && didClose)
        didClose();
}

void PreferencesDialog::dismissQuietly()
{
    m_quiet = true;
    reject();
    m_quiet = false;
}

} // namespace lirra
