#include "keyboard.h"

#include "accessibility.h"
#include "palette.h"

#include <QMouseEvent>
#include <QPropertyAnimation>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>

#include <cmath>
#include <limits>
#include <limits>

namespace lirra {

KeyboardView::KeyboardView(std::uint8_t lowest, std::uint8_t highest, QWidget *parent)
    : QWidget(parent)
    , m_lowest(lowest)
    , m_highest(highest)
    , m_scrollArea(new QScrollArea(this))
    , m_contentView(new QWidget)
{
    installAccessibility();
    m_scrollArea->setFrameShape(QFrame::NoFrame);
    m_scrollArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scrollArea->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scrollArea->setWidgetResizable(false);
    // It takes no focus, so the arrow keys (the level shortcuts) never
    // scroll it.
    m_scrollArea->setFocusPolicy(Qt::NoFocus);
    QPalette background = m_scrollArea->palette();
    background.setColor(QPalette::Window, color(PaletteColor::keyBed));
    m_scrollArea->setPalette(background);
    m_scrollArea->setAutoFillBackground(true);
    m_scrollArea->viewport()->setPalette(background);
    m_scrollArea->viewport()->setAutoFillBackground(true);
    m_scrollArea->setWidget(m_contentView);

    QPointer<KeyboardView> self(this);
    for (int octave = lowest; octave <= highest; ++octave) {
        auto *view = new OctaveView(std::uint8_t(octave), m_contentView);
        view->delegate = OctaveViewDelegate{
            [self](NoteName name, std::uint8_t o) {
                if (self && self->delegate && self->delegate->didPressNote)
                    self->delegate->didPressNote(Note{name, o});
            },
            [self](NoteName name, std::uint8_t o) {
                if (self && self->delegate && self->delegate->didReleaseNote)
                    self->delegate->didReleaseNote(Note{name, o});
            },
            [self]() {
                if (self && self->delegate && self->delegate->didDismissTip)
                    self->delegate->didDismissTip();
            },
        };
        m_octaveViews.push_back(view);
    }
    m_focus = new KeyFocus(this);
}

OctaveView *KeyboardView::octaveView(std::uint8_t octave) const
{
    if (octave < m_lowest || octave > m_highest)
        return nullptr;
    return m_octaveViews[size_t(octave - m_lowest)];
}

Key *KeyboardView::key(Note note) const
{
    OctaveView *view = octaveView(note.octave);
    return view ? view->key(note.name) : nullptr;
}

void KeyboardView::resizeEvent(QResizeEvent *)
{
    m_scrollArea->setGeometry(rect());
    const double octaveWidth = octaveWidthFor(width());
    const int h = height();
    for (size_t i = 0; i < m_octaveViews.size(); ++i) {
        const int left = int(std::lround(octaveWidth * double(i)));
        const int right = int(std::lround(octaveWidth * double(i + 1)));
        m_octaveViews[i]->setGeometry(left, 0, right - left, h);
    }
    m_contentView->resize(int(std::lround(octaveWidth * double(m_octaveViews.size()))), h);
    scrollAgain();
}

void KeyboardView::showEvent(QShowEvent *)
{
    QPointer<KeyboardView> self(this);
    QTimer::singleShot(0, this, [self]() {
        if (self)
            self->scrollAgain();
    });
}

void KeyboardView::scrollAgain()
{
    if (!m_scrollNotes.empty())
        scrollToShow(std::vector<Note>(m_scrollNotes), false);
    else if (m_scrollTarget)
        scroll(*m_scrollTarget, false);
}

double KeyboardView::octaveWidthFor(int width)
{
    // Up to the first size, 0.88 of the width; wider, the keys keep that
    // size and more of them show, until two octaves fill the width; wider
    // still, two octaves fill it with larger keys.
    constexpr double firstWidth = 860;
    return std::max(0.88 * std::min(double(width), firstWidth), double(width) / 2.0);
}

void KeyboardView::setKeysEnabled(bool enabled)
{
    for (OctaveView *view : m_octaveViews) {
        for (NoteName name : allNoteNames)
            view->key(name)->setEnabled(enabled);
    }
    m_focus->refresh();
}

void KeyboardView::setKeysEnabled(bool enabled, const std::vector<Note> &notes)
{
    for (const Note &note : notes) {
        if (Key *k = key(note))
            k->setEnabled(enabled);
    }
    m_focus->refresh();
}

void KeyboardView::setMark(KeyMark mark, Note note)
{
    if (Key *k = key(note))
        k->setMark(mark);
}

void KeyboardView::reveal(Key *key)
{
    m_scrollArea->ensureWidgetVisible(key, 0, 0);
}

void KeyboardView::setTint(const std::optional<QColor> &tint)
{
    for (OctaveView *view : m_octaveViews) {
        for (NoteName name : allNoteNames)
            view->setTint(tint, name);
    }
}

void KeyboardView::setTint(const std::optional<QColor> &tint, const std::vector<Note> &notes)
{
    for (const Note &note : notes) {
        if (OctaveView *view = octaveView(note.octave))
            view->setTint(tint, note.name);
    }
}

void KeyboardView::setTint(const QColor &tint, double fraction, Note note)
{
    if (Key *k = key(note))
        k->setTint(tint, fraction);
}

void KeyboardView::setText(const std::optional<QString> &text)
{
    for (OctaveView *view : m_octaveViews) {
        for (NoteName name : allNoteNames)
            view->setText(text, name);
    }
}

void KeyboardView::setTexts(const QStringList &texts, const std::vector<Note> &notes)
{
    if (texts.isEmpty() || size_t(texts.size()) != notes.size())
        return;
    for (size_t i = 0; i < notes.size(); ++i) {
        if (OctaveView *view = octaveView(notes[i].octave))
            view->setText(texts[qsizetype(i)], notes[i].name);
    }
}

void KeyboardView::scroll(Note note, bool animated)
{
    OctaveView *view = octaveView(note.octave);
    if (!view)
        return;
    m_scrollTarget = note;
    m_scrollNotes.clear();
    scrollTo(view->x() + view->key(note.name)->x(), animated);
}

void KeyboardView::scrollToShow(const std::vector<Note> &notes, bool animated)
{
    int left = std::numeric_limits<int>::max();
    int right = std::numeric_limits<int>::min();
    for (const Note &note : notes) {
        OctaveView *view = octaveView(note.octave);
        if (!view)
            continue;
        const Key *k = view->key(note.name);
        left = std::min(left, view->x() + k->x());
        right = std::max(right, view->x() + k->x() + k->width());
    }
    if (left > right)
        return;
    m_scrollTarget.reset();
    m_scrollNotes = notes;
    const int room = m_scrollArea->viewport()->width();
    scrollTo(right - left <= room ? left - (room - (right - left)) / 2 : left, animated);
}

void KeyboardView::scrollTo(int target, bool animated)
{
    QScrollBar *bar = m_scrollArea->horizontalScrollBar();
    if (m_scrollAnimation)
        m_scrollAnimation->stop();
    if (!animated) {
        bar->setValue(std::clamp(target, bar->minimum(), bar->maximum()));
        return;
    }
    auto *animation = new QPropertyAnimation(bar, "value", this);
    animation->setDuration(200);
    animation->setEndValue(std::clamp(target, bar->minimum(), bar->maximum()));
    animation->start(QAbstractAnimation::DeleteWhenStopped);
    m_scrollAnimation = animation;
}

int KeyboardView::scrollPosition() const
{
    return m_scrollArea->horizontalScrollBar()->value();
}

void KeyboardView::setAcceptsInteraction(bool accepts)
{
    lirra::setAcceptsInteraction(this, accepts);
    // Clicks then fall through the keys to the keyboard, which ignores them.
    m_scrollArea->setAttribute(Qt::WA_TransparentForMouseEvents, !accepts);
}

bool KeyboardView::pressKey(Note note)
{
    Key *k = key(note);
    return k && acceptsInteraction() && k->press();
}

bool KeyboardView::releaseKey(Note note)
{
    Key *k = key(note);
    return k && k->release();
}

bool KeyboardView::acceptsInteraction() const
{
    return lirra::acceptsInteraction(this);
}

void KeyboardView::mousePressEvent(QMouseEvent *event)
{
    event->accept();
}

void KeyboardView::mouseReleaseEvent(QMouseEvent *event)
{
    event->accept();
}

void KeyboardView::showTip(const Tip &tip)
{
    removeTip();
    for (OctaveView *view : m_octaveViews) {
        if (view->presentTip(tip))
            return;
    }
    // No white key is enabled anywhere: the tip points at the keyboard itself.
    QPointer<KeyboardView> self(this);
    m_ownTipView = TipPresenter::present(TipView::Edge::topCenter, tip.title, tip.message,
                                         TipView::TipViewAction{tip.actionTitle, [self]() {
                                             if (!self || !self->m_ownTipView)
                                                 return;
                                             self->removeTip();
                                             if (self->delegate && self->delegate->didDismissTip)
                                                 self->delegate->didDismissTip();
                                         }},
                                         this, QRectF(width() / 2.0 - 1, 0, 2, 0));
}

void KeyboardView::removeTip()
{
    for (OctaveView *view : m_octaveViews)
        view->removeTip();
    TipPresenter::remove(m_ownTipView);
}

TipView *KeyboardView::tipView() const
{
    if (m_ownTipView)
        return m_ownTipView;
    for (OctaveView *view : m_octaveViews) {
        for (NoteName name : whiteKeyNames) {
            if (TipView *tip = view->whiteKey(name)->tipView())
                return tip;
        }
    }
    return nullptr;
}

} // namespace lirra
