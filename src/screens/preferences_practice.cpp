// The preferences' rows on how questions come: the order, melodies, the
// contrast after a mistake and the pause for speech.
#include "preferences_dialog.h"

#include "labelled_row.h"

#include "input/computer_keyboard.h"

#include <QCheckBox>
#include <QComboBox>

namespace lirra {

void PreferencesDialog::addPracticeRows(QFormLayout *form)
{
    m_mode->addItem(localized("preferences.modeCycle"), int(PracticeMode::cycle));
    m_mode->addItem(localized("preferences.modeAdaptive"), int(PracticeMode::adaptive));
    labelled(form, "preferences.mode", m_mode, "preferences.modeTip");
    connect(m_mode, &QComboBox::activated, this, [this](int row) {
        const auto mode = static_cast<PracticeMode>(m_mode->itemData(row).toInt());
        change([mode](Settings &s) { s.mode = mode; });
        m_contrast->setEnabled(mode == PracticeMode::adaptive);
    });
    m_kind->addItem(localized("preferences.kindNote"), int(QuestionKind::note));
    m_kind->addItem(localized("preferences.kindChord"), int(QuestionKind::chord));
    labelled(form, "preferences.questionKind", m_kind);
    const QString kindTip = localized("preferences.questionKindTip")
                                .arg(shortcuts(Command::questionKind).value(0).toString(QKeySequence::NativeText));
    m_kind->setToolTip(kindTip);
    m_kind->setAccessibleDescription(kindTip);
    connect(m_kind, &QComboBox::activated, this, [this](int row) {
        const auto kind = static_cast<QuestionKind>(m_kind->itemData(row).toInt());
        change([kind](Settings &s) { s.questionKind = kind; });
        showQuestionShape(m_settings);
    });
    // Its choices are renamed for chords: it grows to fit them.
    m_length->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    m_length->addItem(localized("preferences.oneNote"), 1);
    for (int notes = 2; notes <= Settings::maxMelodyLength; ++notes)
        m_length->addItem(localized("preferences.melodyOf").arg(notes), notes);
    labelled(form, "preferences.melodyLength", m_length);
    const QString lengthTip = localized("preferences.questionLengthTip")
                                  .arg(shortcuts(Command::questionLength).value(0).toString(QKeySequence::NativeText));
    m_length->setToolTip(lengthTip);
    m_length->setAccessibleDescription(lengthTip);
    connect(m_length, &QComboBox::activated, this, [this](int row) {
        const int notes = m_length->itemData(row).toInt();
        change([notes](Settings &s) { s.melodyLength = notes; });
        showQuestionShape(m_settings);
    });
    m_leap->addItem(localized("preferences.leapSteps"), int(MelodyLeap::steps));
    m_leap->addItem(localized("preferences.leapThird"), int(MelodyLeap::third));
    m_leap->addItem(localized("preferences.leapFifth"), int(MelodyLeap::fifth));
    m_leap->addItem(localized("preferences.leapAny"), int(MelodyLeap::any));
    labelled(form, "preferences.melodyLeap", m_leap, "preferences.melodyLeapTip");
    connect(m_leap, &QComboBox::activated, this, [this](int row) {
        const auto leap = static_cast<MelodyLeap>(m_leap->itemData(row).toInt());
        change([leap](Settings &s) { s.melodyLeap = leap; });
    });
    labelled(form, "preferences.chordsRepeat", m_repeat, "preferences.chordsRepeatTip");
    m_repeat->setAccessibleName(localized("preferences.chordsRepeatOn"));
    connect(m_repeat, &QCheckBox::toggled, this, [this](bool on) { change([on](Settings &s) { s.chordsRepeat = on; }); });
    labelled(form, "preferences.contrast", m_contrast, "preferences.contrastTip");
    m_contrast->setAccessibleName(localized("preferences.contrastOn"));
    connect(m_contrast, &QCheckBox::toggled, this, [this](bool on) { change([on](Settings &s) { s.contrast = on; }); });

    m_speechPause->addItem(localized("preferences.speechPauseAutomatic"), Settings::automaticPause);
    m_speechPause->addItem(localized("preferences.speechPauseNone"), 0);
    for (int beats = 1; beats <= Settings::maxSpeechPause; ++beats)
        m_speechPause->addItem(localized(beats == 1 ? "preferences.pauseOneBeat" : "preferences.pauseBeats").arg(beats), beats);
    labelled(form, "preferences.speechPause", m_speechPause, "preferences.speechPauseTip");
    connect(m_speechPause, &QComboBox::activated, this, [this](int row) {
        const int beats = m_speechPause->itemData(row).toInt();
        change([beats](Settings &s) { s.speechPause = beats; });
    });
}

} // namespace lirra
