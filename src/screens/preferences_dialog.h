#pragma once

#include "audio/note_player.h"
#include "model/settings.h"
#include "core/app_state.h"

#include <QDialog>

#include <functional>
#include <vector>

class QCheckBox;
class QComboBox;
class QFormLayout;
class QLabel;
class QLineEdit;
class QListView;
class QPushButton;
class QSlider;
class QSortFilterProxyModel;
class QSpinBox;
class QStandardItemModel;

namespace lirra {

// How the app sounds, paces the questions and names notes. Every change
// applies at once; Close (Return or Escape) only closes.
class PreferencesDialog final : public QDialog {
    Q_OBJECT
public:
    explicit PreferencesDialog(QWidget *parent = nullptr);

    // The settings to show, and the instruments the loaded bank offers
    // (none: the bank could not be read, and the list says so).
    void present(const Settings &settings, const std::vector<InstrumentChoice> &instruments);
    // Shows settings changed elsewhere, without reporting them back.
    void showSettings(const Settings &settings);
    const Settings &settings() const { return m_settings; }

    // Told of every change, and once when the dialog closes.
    std::function<void(const Settings &)> didChange;
    std::function<void()> didClose;
    // An export of every level's history was asked for.
    std::function<void(ExportFormat)> didRequestExport;
    // Asked before every setting goes back to its default; a standard
    // question by default.
    std::function<bool()> confirmRestore;

    QLineEdit *instrumentFilter() const { return m_filter; }
    QListView *instrumentList() const { return m_instruments; }
    QSpinBox *tempoBox() const { return m_tempo; }
    QComboBox *cadenceBox() const { return m_cadence; }
    QCheckBox *droneBox() const { return m_drone; }
    QComboBox *beatsBox() const { return m_beats; }
    QSpinBox *emphasisBox() const { return m_emphasis; }
    QSlider *volumeSlider() const { return m_volume; }
    QComboBox *namingBox() const { return m_naming; }
    QComboBox *modeBox() const { return m_mode; }
    QCheckBox *contrastBox() const { return m_contrast; }
    QComboBox *speechPauseBox() const { return m_speechPause; }
    QComboBox *questionLengthBox() const { return m_length; }
    QComboBox *melodyLeapBox() const { return m_leap; }
    QComboBox *questionKindBox() const { return m_kind; }
    QCheckBox *chordsRepeatBox() const { return m_repeat; }
    // Opens a menu of the formats history can be exported in.
    QPushButton *exportButton() const { return m_export; }
    QPushButton *defaultsButton() const { return m_defaults; }
    QPushButton *closeButton() const { return m_close; }

    void done(int result) override;
    // Closes without reporting: the app closed it.
    void dismissQuietly();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The rows on how questions come (in a file of their own).
    void addPracticeRows(QFormLayout *form);
    void change(const std::function<void(Settings &)> &edit);
    void selectInstrument(Preset preset);
    // Says a sentence to a screen reader.
    void say(const QString &text);
    bool askToRestore();

    Settings m_settings;
    bool m_quiet = false;
    QStandardItemModel *m_instrumentModel;
    QSortFilterProxyModel *m_filtered;
    QLineEdit *m_filter;
    QListView *m_instruments;
    QLabel *m_noInstruments;
    QSpinBox *m_tempo;
    QComboBox *m_cadence;
    QCheckBox *m_drone;
    QComboBox *m_beats;
    QSpinBox *m_emphasis;
    QSlider *m_volume;
    QLabel *m_volumeValue;
    QComboBox *m_naming;
    QComboBox *m_mode;
    QCheckBox *m_contrast;
    QComboBox *m_speechPause;
    QComboBox *m_length;
    QComboBox *m_leap;
    QComboBox *m_kind;
    QCheckBox *m_repeat;
    // The question's rows as its kind and length make them.
    void showQuestionShape(const Settings &settings);
    QPushButton *m_export;
    QPushButton *m_defaults;
    QPushButton *m_close;
    class Announcer *m_announcer = nullptr;
    // Put each combo box's choice into its label's name.
    std::vector<std::function<void()>> m_namers;
};

} // namespace lirra
