#include "modal_screens.h"

#include "widgets/accessibility.h"
#include "widgets/key_access.h"

#include "model/localization.h"
#include "model/note_naming.h"
#include "widgets/accuracy_ring.h"
#include "widgets/control.h"
#include "widgets/keyboard.h"
#include "widgets/palette.h"
#include "widgets/progress_chart.h"
#include "save_level_bar.h"
#include "widgets/title_bar.h"

#include <QPointer>
#include <QPushButton>
#include <QRandomGenerator>

#include <algorithm>
#include <map>

namespace lirra {

namespace {

// The progress chart above the accuracy screen's keys.
constexpr int chartHeight = 104;

QString accessibleConfusionsName()
{
    return localized("confusions.open").remove(QChar(0x2026)).trimmed();
}

QCoro::Task<> playDetached(std::shared_ptr<NotePlayer> player, Note note)
{
    co_await player->playNote(note);
}

} // namespace

TitledKeyboardScreen::TitledKeyboardScreen(std::shared_ptr<NotePlayer> notePlayer, QWidget *parent)
    : QWidget(parent)
    , m_notePlayer(std::move(notePlayer))
    , m_titleBar(new TitleBar(this))
    , m_keyboard(new KeyboardView(1, 2, this))
    , m_message(new Label(this))
{
    m_message->setTextFormat(Qt::PlainText);
    m_message->setWordWrap(true);
    m_message->setFont(textFont(TextStyle::body));
    QPalette text = m_message->palette();
    text.setColor(QPalette::WindowText, color(PaletteColor::buttonForeground));
    m_message->setPalette(text);
    m_message->hide();
    // Return means done here, wherever the focus is; Space plays the
    // focused key.
    m_keyboard->keyFocus()->setReturnPresses(false);
}

void TitledKeyboardScreen::setMessage(const QString &message)
{
    if (m_message->text() == message && m_message->isHidden() == message.isEmpty())
        return;
    m_message->setText(message);
    m_message->setHidden(message.isEmpty());
    relayout();
}

void TitledKeyboardScreen::setAccessory(QWidget *accessory, int height)
{
    if (m_accessory == accessory && m_accessoryHeight == height)
        return;
    if (m_accessory && m_accessory != accessory)
        m_accessory->hide();
    m_accessory = accessory;
    m_accessoryHeight = accessory ? height : 0;
    if (accessory) {
        accessory->setParent(this);
        accessory->show();
    }
    relayout();
}

void TitledKeyboardScreen::resizeEvent(QResizeEvent *)
{
    relayout();
}

void TitledKeyboardScreen::relayout()
{
    const int barHeight = int(0.1 * height());
    m_titleBar->setGeometry(0, 0, width(), barHeight);
    // Set on every layout, not once: set in the constructor, they were
    // found back at zero once the label had been shown.
    m_message->setContentsMargins(16, 8, 16, 10);
    const int messageHeight = m_message->isHidden() ? 0 : m_message->heightForWidth(width());
    m_message->setGeometry(0, barHeight, width(), messageHeight);
    if (m_accessory)
        m_accessory->setGeometry(0, barHeight + messageHeight, width(), m_accessoryHeight);
    const int above = barHeight + messageHeight + (m_accessory ? m_accessoryHeight : 0);
    m_keyboard->setGeometry(0, above, width(), height() - above);
}

void TitledKeyboardScreen::play(Note note)
{
    if (m_notePlayer)
        playDetached(m_notePlayer, note);
}

LevelEditorScreen::LevelEditorScreen(std::shared_ptr<NotePlayer> notePlayer, QWidget *parent)
    : TitledKeyboardScreen(std::move(notePlayer), parent)
    , m_saveBar(new SaveLevelBar(localized("saveLevel.editorHint"), false))
{
    titleBar()->setTitle(localized("selectNotes"));
    QPointer<LevelEditorScreen> self(this);
    m_saveBar->didPressSave = [self]() {
        if (self && self->delegate && self->delegate->didSaveNotes && !self->m_selectedNotes.empty())
            self->delegate->didSaveNotes(self->m_selectedNotes);
    };
    setAccessory(m_saveBar, SaveLevelBar::preferredHeight);
    titleBar()->delegate = TitleBarDelegate{
        [self]() {
            if (!self || !self->delegate)
                return;
            self->setSelection({});
            if (self->delegate->didCancel)
                self->delegate->didCancel();
        },
        [self]() {
            if (self && self->delegate && self->delegate->didSelectNotes)
                self->delegate->didSelectNotes(self->m_selectedNotes);
        },
    };
    keyboardView()->delegate = KeyboardViewDelegate{
        [self](Note note) {
            if (self)
                self->toggle(note);
        },
        [](Note) {},
        []() {},
    };
    setSelection({});
}

void LevelEditorScreen::select(Note note)
{
    if (OctaveView *octave = keyboardView()->octaveView(note.octave)) {
        octave->setTint(color(PaletteColor::teal), note.name);
        octave->setSelected(true, note.name);
    }
}

void LevelEditorScreen::deselect(Note note)
{
    if (OctaveView *octave = keyboardView()->octaveView(note.octave)) {
        octave->setTint(std::nullopt, note.name);
        octave->setSelected(false, note.name);
    }
}

void LevelEditorScreen::setSelection(const std::vector<Note> &notes)
{
    for (const Note &note : m_selectedNotes)
        deselect(note);
    m_selectedNotes.clear();
    for (const Note &note : notes) {
        select(note);
        m_selectedNotes.push_back(note);
    }
    selectionChanged();
}

void LevelEditorScreen::selectionChanged()
{
    // Done and save are offered exactly when there is something to keep.
    titleBar()->setDoneButtonEnabled(!m_selectedNotes.empty());
    m_saveBar->saveButton()->setEnabled(!m_selectedNotes.empty());
}

void LevelEditorScreen::toggle(Note note)
{
    const auto it = std::find(m_selectedNotes.begin(), m_selectedNotes.end(), note);
    if (it != m_selectedNotes.end()) {
        deselect(note);
        m_selectedNotes.erase(it);
    } else {
        select(note);
        m_selectedNotes.push_back(note);
    }
    selectionChanged();
    play(note);
}

void LevelEditorScreen::setState(const std::optional<LevelEditorScreenState> &state)
{
    const std::optional<LevelEditorScreenState> previous = m_state;
    m_state = state;
    if (previous && state && previous->key == state->key && previous->selectedNotes == state->selectedNotes
        && previous->isMajor == state->isMajor && previous->naming == state->naming)
        return;
    // The notes there are to choose from, in view.
    if (state && !state->allNotes.empty())
        keyboardView()->scrollToShow(state->allNotes, true);
    else
        keyboardView()->scroll(Note{state ? state->key : NoteName::c, 1}, true);
    keyboardView()->setText(std::nullopt);
    keyboardView()->setKeysEnabled(false);
    if (state) {
        for (const Note &note : state->allNotes) {
            if (OctaveView *octave = keyboardView()->octaveView(note.octave))
                octave->setText(noteLabel(note.name, state->key, state->isMajor, state->naming, NamePlace::noteLists), note.name);
            keyboardView()->setKeysEnabled(true, {note});
        }
    }
    setSelection(state ? state->selectedNotes : std::vector<Note>{});
}

AccuracyScreen::AccuracyScreen(std::shared_ptr<NotePlayer> notePlayer, QWidget *parent)
    : TitledKeyboardScreen(std::move(notePlayer), parent)
    , m_chart(new ProgressChart(this))
{
    m_chart->hide();
    // The title bar's leading button opens the confusion table; Escape
    // still means done here.
    titleBar()->setCancelButtonTitle(localized("confusions.open"));
    titleBar()->cancelButton()->setObjectName(QStringLiteral("confusionsButton"));
    titleBar()->cancelButton()->pushButton()->setAccessibleName(accessibleConfusionsName());
    titleBar()->cancelButton()->pushButton()->setToolTip(localized("confusions.openTip"));
    QPointer<AccuracyScreen> self(this);
    titleBar()->delegate = TitleBarDelegate{
        [self]() {
            if (self && self->delegate && self->delegate->didPressConfusions)
                self->delegate->didPressConfusions();
        },
        [self]() {
            if (self && self->delegate && self->delegate->didPressDone)
                self->delegate->didPressDone();
        },
    };
    keyboardView()->delegate = KeyboardViewDelegate{
        [self](Note note) {
            if (self)
                self->play(note);
        },
        [](Note) {},
        []() {},
    };
    keyboardView()->setKeysEnabled(false);
    keyboardView()->setTint(std::nullopt);
    setState(std::nullopt);
}

void AccuracyScreen::setState(const std::optional<AccuracyScreenState> &state)
{
    const std::optional<AccuracyScreenState> previous = m_state;
    m_state = state;
    const std::vector<Note> activeNotes = state ? state->activeNotes : std::vector<Note>{};
    const bool renamed = previous && state
        && (previous->naming != state->naming || previous->key != state->key || previous->heardAs != state->heardAs
            || previous->kind != state->kind);
    if (!previous || previous->activeNotes != activeNotes || renamed) {
        if (!activeNotes.empty())
            keyboardView()->scrollToShow(activeNotes, true);
        else
            keyboardView()->scroll(Note{state ? state->key : NoteName::c, 1}, true);
        keyboardView()->setTint(std::nullopt);
        m_accuracy = state ? state->accuracyPerNote : AccuracyPerNote{};
        struct Shown {
            QString text;
            QString name;
            QString spoken;
        };
        std::map<const Key *, Shown> shown;
        for (const auto &[note, accuracy] : m_accuracy) {
            // Notes beyond the keyboard's octaves have no key to draw on.
            const Key *noteKey = keyboardView()->key(note);
            if (!noteKey)
                continue;
            keyboardView()->setTint(color(accuracyColor(accuracy)), accuracy, note);
            const QString name = answerLabel(note.name, state->key, state->isMajor, state->naming, NamePlace::noteLists, state->kind);
            QString text = name + QLatin1Char('\n') + percentText(float(accuracy));
            // What the note is most often taken for, in words, not by shading alone.
            const Note asked = note;
            const auto heard = std::find_if(state->heardAs.begin(), state->heardAs.end(),
                                            [asked](const Confusion &c) { return c.asked == asked; });
            // After the key's name: "76 % right" (the name is not said twice).
            QString spoken = localized("accuracy.spokenRight").arg(percentText(float(accuracy)));
            if (heard != state->heardAs.end()) {
                const QString often = localized("heardAs").arg(takenFor(
                    answerLabel(heard->answered.name, state->key, state->isMajor, state->naming, NamePlace::noteLists, state->kind),
                    heard->asked, heard->answered));
                text += QLatin1Char('\n') + often;
                spoken += QStringLiteral(", ") + often;
            }
            shown[noteKey] = Shown{text, name, spoken};
        }
        // Each key told once, and only of what changed.
        for (OctaveView *octave : keyboardView()->octaveViews()) {
            for (NoteName each : allNoteNames) {
                Key *key = octave->key(each);
                const auto found = shown.find(key);
                key->setText(found == shown.end() ? std::nullopt : std::optional(found->second.text));
                setAccessibleNameIfChanged(key, found == shown.end() ? QString() : found->second.name);
                setAccessibleDescriptionIfChanged(key, found == shown.end() ? QString() : found->second.spoken);
            }
        }
        keyboardView()->setKeysEnabled(false);
        keyboardView()->setKeysEnabled(true, activeNotes);
    }
    const bool level = state && state->context == AccuracyScreenState::Context::level;
    titleBar()->setTitle(localized(level ? "levelAccuracy" : "sessionAccuracy"));
    setMessage(state ? state->levelHeading : QString());
    if (level)
        m_chart->setProgress(state->progress, state->levelAccuracy);
    setAccessory(level ? m_chart : nullptr, chartHeight);
}

} // namespace lirra
