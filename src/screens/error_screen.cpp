#include "error_screen.h"

#include "model/localization.h"
#include "widgets/control.h"
#include "widgets/keyboard.h"
#include "widgets/palette.h"
#include "widgets/title_bar.h"

#include <QPushButton>
#include <QRandomGenerator>
#include <QVBoxLayout>

namespace lirra {

const std::vector<PaletteColor> &ErrorScreen::colors()
{
    // Ten colours, each as likely as the others.
    static const std::vector<PaletteColor> palette = {
        PaletteColor::green, PaletteColor::teal, PaletteColor::cyan, PaletteColor::blue, PaletteColor::yellow,
        PaletteColor::pink, PaletteColor::purple, PaletteColor::mint, PaletteColor::indigo, PaletteColor::brown,
    };
    return palette;
}

ErrorScreen::ErrorScreen(std::shared_ptr<NotePlayer> notePlayer, QWidget *parent)
    : TitledKeyboardScreen(std::move(notePlayer), parent)
{
    titleBar()->setCancelButtonTitle(localized("closeError"));
    titleBar()->setDoneButtonTitle(localized("tryAgain"));
    keyboardView()->setKeysEnabled(true);
    keyboardView()->setTint(std::nullopt);
    QPointer<ErrorScreen> self(this);
    titleBar()->delegate = TitleBarDelegate{
        [self]() {
            if (self && self->delegate && self->delegate->didClose)
                self->delegate->didClose();
        },
        [self]() {
            if (self && self->delegate && self->delegate->didPressTryAgain)
                self->delegate->didPressTryAgain();
        },
    };
    keyboardView()->delegate = KeyboardViewDelegate{
        [self](Note note) {
            if (!self)
                return;
            OctaveView *octave = self->keyboardView()->octaveView(note.octave);
            const auto &palette = colors();
            const auto pick = palette.empty() ? 0 : QRandomGenerator::global()->bounded(int(palette.size()));
            octave->setTint(color(palette[size_t(pick)]), note.name);
            octave->setText(localizedName(note.name), note.name);
            self->play(note);
        },
        [self](Note note) {
            if (!self)
                return;
            OctaveView *octave = self->keyboardView()->octaveView(note.octave);
            octave->setTint(std::nullopt, note.name);
            octave->setText(std::nullopt, note.name);
        },
        []() {},
    };

    // The words of what failed underneath, one click away.
    m_detailsRow = new QWidget(this);
    auto *rows = new QVBoxLayout(m_detailsRow);
    rows->setContentsMargins(16, 0, 16, 8);
    // A disclosure triangle: pointing right while closed, down while open.
    const auto caption = [](bool open) { return (open ? QStringLiteral("▾ ") : QStringLiteral("▸ ")) + localized("showDetails"); };
    m_detailsButton = new QPushButton(caption(false), m_detailsRow);
    m_detailsButton->setCheckable(true);
    m_detailsButton->setFlat(true);
    m_detailsButton->setAccessibleName(localized("showDetails"));
    m_detailsButton->setStyleSheet(QStringLiteral("QPushButton { border: 2px solid transparent; padding: 2px 6px; }"
                                                  "QPushButton:focus { border: 2px solid %1; border-radius: 4px; }")
                                       .arg(color(PaletteColor::focus).name()));
    m_details = new Label(m_detailsRow);
    m_details->setTextFormat(Qt::PlainText);
    m_details->setWordWrap(true);
    m_details->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_details->setFont(textFont(TextStyle::tipMessage));
    m_details->hide();
    rows->addWidget(m_detailsButton, 0, Qt::AlignLeft);
    rows->addWidget(m_details);
    rows->addStretch();
    m_detailsRow->hide();
    connect(m_detailsButton, &QPushButton::toggled, this, [this, caption](bool shown) {
        m_detailsButton->setText(caption(shown));
        showDetails(shown);
    });
}

void ErrorScreen::setTryAgainEnabled(bool enabled)
{
    titleBar()->setDoneButtonEnabled(enabled);
}

Button *ErrorScreen::tryAgainButton() const
{
    return titleBar()->doneButton();
}

void ErrorScreen::setCloseEnabled(bool enabled)
{
    titleBar()->setCancelButtonHidden(!enabled);
}

Button *ErrorScreen::closeButton() const
{
    return titleBar()->cancelButton();
}

void ErrorScreen::setError(const std::optional<Error> &error)
{
    if (!error)
        return;
    const bool sameDetails = m_error && m_error->details == error->details;
    m_error = error;
    titleBar()->setTitle(localized("anErrorOccurred"));
    setMessage(error->description);
    m_details->setText(error->details);
    if (!sameDetails)
        m_detailsButton->setChecked(false);
    showDetails(m_detailsButton->isChecked());
}

void ErrorScreen::showDetails(bool shown)
{
    const bool any = m_error && !m_error->details.isEmpty();
    m_details->setVisible(any && shown);
    if (!any) {
        setAccessory(nullptr, 0);
        return;
    }
    const int buttonRow = m_detailsButton->sizeHint().height() + 8;
    const int text = shown ? m_details->heightForWidth(std::max(width(), 200) - 32) + 8 : 0;
    setAccessory(m_detailsRow, buttonRow + text);
}

} // namespace lirra
