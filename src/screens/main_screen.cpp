#include "main_screen.h"

#include "model/localization.h"
#include "model/note_naming.h"
#include "save_level_bar.h"
#include "widgets/keyboard.h"
#include "widgets/melody_slots.h"
#include "widgets/octave_view.h"
#include "widgets/piano_key.h"
#include "widgets/palette.h"

#include <QGridLayout>
#include <QLabel>

#include <algorithm>

namespace lirra {

MainScreen::MainScreen(QWidget *parent)
    : QWidget(parent)
    , m_keyboard(new KeyboardView(1, 2, this))
{
    m_keyboard->setKeysEnabled(false);
    m_keyboard->setTint(std::nullopt);
    QPointer<MainScreen> self(this);
    m_keyboard->delegate = KeyboardViewDelegate{
        [self](Note note) {
            if (self && self->delegate && self->delegate->didPressNote)
                self->delegate->didPressNote(note);
        },
        [self](Note note) {
            if (self && self->delegate && self->delegate->didReleaseNote)
                self->delegate->didReleaseNote(note);
        },
        [self]() {
            if (self && self->delegate && self->delegate->didDismissTip)
                self->delegate->didDismissTip();
        },
    };
    auto *layout = new QGridLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_keyboard, 2, 0);
    layout->setRowStretch(2, 1);
}

void MainScreen::setState(const std::optional<MainScreenState> &state)
{
    const std::optional<MainScreenState> previous = m_state;
    m_state = state;

    m_keyboard->setAcceptsInteraction(state ? state->isKeyboardEnabled : true);

    const bool offers = state && state->offersToSaveLevel;
    if (offers && !m_offer) {
        // Made when first needed: most sessions never offer it.
        m_offer = new SaveLevelBar(localized("saveLevel.offer"), true, this);
        m_offer->setFixedHeight(SaveLevelBar::preferredHeight);
        QPointer<MainScreen> self(this);
        m_offer->didPressSave = [self]() {
            if (self && self->delegate && self->delegate->didPressSaveLevel)
                self->delegate->didPressSaveLevel();
        };
        m_offer->didDecline = [self]() {
            if (self && self->delegate && self->delegate->didDeclineSavingLevel)
                self->delegate->didDeclineSavingLevel();
        };
        static_cast<QGridLayout *>(layout())->addWidget(m_offer, 0, 0);
    }
    if (m_offer)
        m_offer->setVisible(offers);

    const std::optional<QString> caption = state ? state->caption : std::nullopt;
    if (caption && !m_caption) {
        // Made when first needed: only adaptive practice says anything here.
        m_caption = new QLabel(this);
        m_caption->setObjectName(QStringLiteral("practiceCaption"));
        m_caption->setTextFormat(Qt::PlainText);
        m_caption->setWordWrap(true);
        m_caption->setAlignment(Qt::AlignCenter);
        m_caption->setFont(textFont(TextStyle::body));
        m_caption->setContentsMargins(16, 6, 16, 8);
        QPalette text = m_caption->palette();
        text.setColor(QPalette::WindowText, color(PaletteColor::buttonForeground));
        m_caption->setPalette(text);
        static_cast<QGridLayout *>(layout())->addWidget(m_caption, 3, 0);
    }
    if (m_caption) {
        m_caption->setText(caption.value_or(QString()));
        m_caption->setAccessibleName(caption.value_or(QString()));
        m_caption->setVisible(caption.has_value());
    }

    const std::optional<MelodySlots> melody = state ? state->melody : std::nullopt;
    if (melody && !m_slots) {
        // Made when first needed: only melodies have slots.
        m_slots = new MelodySlotsView(this);
        static_cast<QGridLayout *>(layout())->addWidget(m_slots, 1, 0);
    }
    if (m_slots) {
        if (melody)
            m_slots->setSlots(melody->found, melody->length, melody->waiting);
        m_slots->setVisible(melody.has_value());
    }

    const NoteName key = state ? state->key : NoteName::c;
    const std::vector<Note> activeNotes = state ? state->activeNotes : std::vector<Note>{};
    const auto naming = [](const std::optional<MainScreenState> &s) {
        return s ? std::pair(s->isMajor, s->naming) : std::pair(true, NoteNaming::solfege);
    };
    const QuestionKind kind = state ? state->kind : QuestionKind::note;
    const bool chords = kind == QuestionKind::chord;
    if (!previous || previous->key != key || previous->activeNotes != activeNotes || naming(previous) != naming(state)
        || previous->kind != kind) {
        if (!activeNotes.empty())
            m_keyboard->scrollToShow(activeNotes, true);
        else
            m_keyboard->scroll(Note{key, 1}, true);
        // Only the keys that leave the level are disabled: a key that stays
        // keeps the focus, as it is renamed (for chords, say).
        std::vector<Note> inactive;
        for (OctaveView *octave : m_keyboard->octaveViews()) {
            for (const NoteName each : allNoteNames) {
                const Note note{each, octave->octave()};
                if (std::find(activeNotes.begin(), activeNotes.end(), note) == activeNotes.end())
                    inactive.push_back(note);
                octave->key(each)->setSpokenName({});
            }
        }
        m_keyboard->setKeysEnabled(false, inactive);
        m_keyboard->setText(std::nullopt);
        m_keyboard->setKeysEnabled(true, activeNotes);
        QStringList syllables;
        for (const Note &note : activeNotes) {
            const QString label = noteLabel(note.name, key, naming(state).first, naming(state).second, NamePlace::practiceKeys);
            // A chord's key: its numeral over the note's name, said as
            // "IV, F major chord".
            const Chord chord = chordOf(note.name, key, naming(state).first);
            syllables << (chords ? chord.numeral + QLatin1Char('\n') + label : label);
            if (Key *shown = m_keyboard->key(note))
                shown->setSpokenName(chords ? chord.numeral + QStringLiteral(", ") + chordName(chord, key, naming(state).first)
                                            : QString());
        }
        m_keyboard->setTexts(syllables, activeNotes);
    }

    if (previous && previous->highlightedNote) {
        m_keyboard->setTint(std::nullopt, {previous->highlightedNote->note});
        m_keyboard->setMark(KeyMark::none, previous->highlightedNote->note);
    }
    if (state && state->highlightedNote) {
        const Highlight &lit = *state->highlightedNote;
        m_keyboard->setTint(color(lit.color), {lit.note});
        const KeyMark mark = lit.mark == Highlight::Mark::right ? KeyMark::right
            : lit.mark == Highlight::Mark::wrong                ? KeyMark::wrong
                                                                : KeyMark::none;
        m_keyboard->setMark(mark, lit.note);
    }

    const std::optional<Tip> tip = state ? state->tip : std::nullopt;
    const std::optional<Tip> shown = previous ? previous->tip : std::nullopt;
    if (tip && tip->target == Tip::Target::keyboard) {
        if (tip != shown)
            m_keyboard->showTip(*tip);
    } else if (shown && shown->target == Tip::Target::keyboard) {
        // The tour moved on without the bubble's button.
        m_keyboard->removeTip();
    }
}

} // namespace lirra
