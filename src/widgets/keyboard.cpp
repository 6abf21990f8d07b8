#include "keyboard.h"

#include "accessibility.h"
#include "key_label.h"
#include "palette.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPropertyAnimation>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>

#include <cmath>
#include <limits>

namespace lirra {

namespace {

constexpr std::array<NoteName, 7> whiteNames = {NoteName::c, NoteName::d, NoteName::e, NoteName::f,
                                                NoteName::g, NoteName::a, NoteName::b};
constexpr std::array<NoteName, 5> blackNames = {NoteName::cSharp, NoteName::dSharp, NoteName::fSharp,
                                                NoteName::gSharp, NoteName::aSharp};

// How far down the white keys the black keys reach.
constexpr double blackKeyShare = 1 / 1.5;

// A rectangle whose two bottom corners are rounded.
QPainterPath roundedBottom(const QRectF &r, double radius)
{
    const double k = std::min({radius, r.width() / 2, r.height() / 2});
    QPainterPath path;
    if (r.width() <= 0 || r.height() <= 0)
        return path;
    path.moveTo(r.topLeft());
    path.lineTo(r.topRight());
    path.lineTo(r.right(), r.bottom() - k);
    path.quadTo(r.bottomRight(), QPointF(r.right() - k, r.bottom()));
    path.lineTo(r.left() + k, r.bottom());
    path.quadTo(r.bottomLeft(), QPointF(r.left(), r.bottom() - k));
    path.closeSubpath();
    return path;
}

QRect snapped(const QRectF &r)
{
    const int left = int(std::lround(r.left()));
    const int top = int(std::lround(r.top()));
    return QRect(left, top, int(std::lround(r.right())) - left, int(std::lround(r.bottom())) - top);
}

} // namespace

Key::Key(NoteName name, QColor defaultLabelColor, QWidget *parent)
    : Control(parent)
    , m_name(name)
    , m_defaultLabelColor(defaultLabelColor)
    , m_labelColor(defaultLabelColor)
{
}

void Key::setText(const std::optional<QString> &text)
{
    if (m_text == text)
        return;
    m_text = text;
    update();
}

void Key::setTint(const std::optional<QColor> &tint)
{
    m_tint = tint;
    if (tint) {
        applyFill(*tint, 1);
        return;
    }
    m_fill.reset();
    m_fraction = 0;
    m_labelColor = m_defaultLabelColor;
    update();
}

void Key::setTint(const QColor &tint, double fraction)
{
    applyFill(tint, fraction);
}

void Key::applyFill(const QColor &tint, double fraction)
{
    m_fill = tint;
    m_fraction = std::clamp(fraction, 0.0, 1.0);
    if (m_fraction >= 0.1)
        m_labelColor = readableOn(tint);
    update();
}

void Key::setMark(KeyMark mark)
{
    if (m_mark == mark)
        return;
    m_mark = mark;
    update();
}

void Key::setSelected(bool selected)
{
    Control::setSelected(selected);
    update();
}

double Key::drawLabel(QPainter &painter, const QRectF &box, const QFont &baseFont, bool stackAlternatives) const
{
    if (!m_text || m_text->isEmpty() || box.width() <= 0 || box.height() <= 0)
        return box.bottom();
    const KeyLabelLayout layout = layoutKeyLabel(*m_text, box.size(), baseFont, stackAlternatives);
    painter.setPen(m_labelColor);
    return drawKeyLabel(painter, box, layout);
}

WhiteKey::WhiteKey(NoteName name, QWidget *parent)
    : Key(name, color(PaletteColor::keyLabel), parent)
{
}

QRectF WhiteKey::labelBox() const
{
    const QRectF surface = keySurface();
    const double top = height() * blackKeyShare + 6;
    return QRectF(surface.left() + 4, top, surface.width() - 8, surface.bottom() - 8 - top);
}

QRectF WhiteKey::keySurface() const
{
    const double inset = isPressed() ? 2 : 1;
    return QRectF(inset, 0, width() - 2 * inset, height() - 2);
}

void WhiteKey::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(roundedBottom(rect(), 12), color(PaletteColor::keyBed));
    const QRectF surface = keySurface();
    const QPainterPath surfacePath = roundedBottom(surface, 12);
    painter.fillPath(surfacePath, isEnabled() ? QColor(Qt::white) : QColor(255, 255, 255, 51));
    if (fillColor() && fillFraction() > 0) {
        const double h = surface.height() * fillFraction();
        QPainterPath fill;
        fill.addRect(QRectF(surface.left(), surface.bottom() - h, surface.width(), h));
        painter.fillPath(surfacePath.intersected(fill), *fillColor());
    }
    QFont font = textFont(TextStyle::whiteKeyLabel);
    font.setPixelSize(keyLabelPixels(std::max(surface.width(), surface.height() * 0.25), 0.17, 13, 26));
    const QRectF box = labelBox();
    const double textTop = drawLabel(painter, box, font, false);
    // Above the label, below where the black keys reach.
    const double markSide = std::min(28.0, surface.width() - 8);
    const double markTop = std::max(box.top(), std::min(textTop, box.bottom() - 30) - 6 - markSide);
    drawKeyMark(painter, QRectF(surface.center().x() - markSide / 2, markTop, markSide, markSide), mark(), labelColor());
    if (hasFocus())
        drawKeyFocus(painter, surface);
}

void WhiteKey::showTip(const Tip &tip)
{
    removeTip();
    QPointer<WhiteKey> self(this);
    m_tipView = TipPresenter::present(TipView::Edge::leftBottom, tip.title, tip.message,
                                      TipView::TipViewAction{tip.actionTitle, [self]() {
                                          if (!self || !self->m_tipView)
                                              return;
                                          self->removeTip();
                                          self->sendAction(Event::tipDismissed);
                                      }},
                                      this);
}

void WhiteKey::removeTip()
{
    TipPresenter::remove(m_tipView);
}

BlackKey::BlackKey(NoteName name, QWidget *parent)
    : Key(name, QColor(Qt::white), parent)
{
}

QRectF BlackKey::keySurface() const
{
    return QRectF(8, 0, width() - 16, height() - (isPressed() ? 16 : 24));
}

bool BlackKey::isBevelFillVisible() const
{
    return fillColor() && fillFraction() > 0;
}

void BlackKey::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor keyBed = color(PaletteColor::keyBed);
    const QColor dark = color(PaletteColor::dark);
    const QPainterPath bevel = roundedBottom(rect(), 12);
    painter.fillPath(bevel, isEnabled() ? shifted(keyBed, -0.3) : shifted(keyBed, 0.1));
    const QRectF surface = keySurface();
    const QPainterPath surfacePath = roundedBottom(surface, 12);
    painter.fillPath(surfacePath, isEnabled() ? dark : shifted(dark, 0.1));
    if (fillColor()) {
        const double h = surface.height() * fillFraction();
        const double top = surface.bottom() - h;
        if (isBevelFillVisible()) {
            QPainterPath below;
            below.addRect(QRectF(0, top, width(), height() - top));
            painter.fillPath(bevel.intersected(below), shifted(*fillColor(), -0.4));
        }
        QPainterPath fill;
        fill.addRect(QRectF(surface.left(), top, surface.width(), h));
        painter.fillPath(surfacePath.intersected(fill), *fillColor());
    }
    const double markSide = std::min(22.0, surface.width() - 4);
    // Level, the names of a black key one above the other; the text may
    // reach over the bevel on narrow keys.
    QFont font = textFont(TextStyle::blackKeyLabel);
    font.setPixelSize(keyLabelPixels(std::max(double(width()), height() * 0.12), 0.3, 11, 22));
    const double top = surface.top() + 10 + markSide + 4;
    drawLabel(painter, QRectF(3, top, width() - 6, surface.bottom() - 8 - top), font, true);
    drawKeyMark(painter, QRectF(surface.center().x() - markSide / 2, surface.top() + 10, markSide, markSide), mark(),
                labelColor());
    if (hasFocus())
        drawKeyFocus(painter, surface);
}

OctaveView::OctaveView(std::uint8_t octave, QWidget *parent)
    : QWidget(parent)
    , m_octave(octave)
{
    QPointer<OctaveView> self(this);
    const auto wire = [&](Key *key) {
        const NoteName name = key->name();
        key->addAction(std::make_shared<Action>([self, name](Action &) {
                           if (self && self->delegate && self->delegate->didPressNote)
                               self->delegate->didPressNote(name, self->m_octave);
                       }),
                       Control::Event::pressed);
        key->addAction(std::make_shared<Action>([self, name](Action &) {
                           if (self && self->delegate && self->delegate->didReleaseNote)
                               self->delegate->didReleaseNote(name, self->m_octave);
                       }),
                       Control::Event::released);
        key->addAction(std::make_shared<Action>([self](Action &) {
                           if (self && self->delegate && self->delegate->didDismissTip)
                               self->delegate->didDismissTip();
                       }),
                       Control::Event::tipDismissed);
    };
    // White keys first, so that the black keys lie above them.
    for (NoteName name : whiteNames) {
        auto *key = new WhiteKey(name, this);
        m_naturalNotes[name] = key;
        wire(key);
    }
    for (NoteName name : blackNames) {
        auto *key = new BlackKey(name, this);
        m_accidentalNotes[name] = key;
        wire(key);
    }
}

QRectF OctaveView::keyFrame(NoteName name, QSizeF size)
{
    const double w = size.width() / 7;
    const double h = size.height();
    if (!isBlackKey(name)) {
        const auto i = std::find(whiteNames.begin(), whiteNames.end(), name) - whiteNames.begin();
        return QRectF(w * double(i), 0, w, h);
    }
    double offset = 0;
    NoteName left = NoteName::c;
    switch (name) {
    case NoteName::cSharp: left = NoteName::c; offset = w / 3; break;
    case NoteName::dSharp: left = NoteName::d; offset = w / 5; break;
    case NoteName::fSharp: left = NoteName::f; offset = w / 3; break;
    case NoteName::gSharp: left = NoteName::g; offset = w / 4; break;
    case NoteName::aSharp: left = NoteName::a; offset = w / 5; break;
    default: break;
    }
    return QRectF(keyFrame(left, size).right() - offset, -1, w / 2, h * blackKeyShare);
}

void OctaveView::resizeEvent(QResizeEvent *)
{
    for (auto &[name, key] : m_naturalNotes)
        key->setGeometry(snapped(keyFrame(name, size())));
    for (auto &[name, key] : m_accidentalNotes)
        key->setGeometry(snapped(keyFrame(name, size())));
}

void OctaveView::mousePressEvent(QMouseEvent *event)
{
    // Presses on disabled keys end here, never on a key beneath them.
    event->accept();
}

Key *OctaveView::key(NoteName name) const
{
    if (WhiteKey *white = whiteKey(name))
        return white;
    return blackKey(name);
}

WhiteKey *OctaveView::whiteKey(NoteName name) const
{
    const auto it = m_naturalNotes.find(name);
    return it == m_naturalNotes.end() ? nullptr : it->second;
}

BlackKey *OctaveView::blackKey(NoteName name) const
{
    const auto it = m_accidentalNotes.find(name);
    return it == m_accidentalNotes.end() ? nullptr : it->second;
}

void OctaveView::setText(const std::optional<QString> &text, NoteName name)
{
    Key *k = key(name);
    k->setText(text);
    if (WhiteKey *white = whiteKey(name))
        setAccessibleNameIfChanged(white, text.value_or(QString()));
}

void OctaveView::setTint(const std::optional<QColor> &tint, NoteName name)
{
    key(name)->setTint(tint);
}

void OctaveView::setSelected(bool selected, NoteName name)
{
    key(name)->setSelected(selected);
}

void OctaveView::showTip(const Tip &tip)
{
    presentTip(tip);
}

bool OctaveView::presentTip(const Tip &tip)
{
    std::vector<WhiteKey *> enabled;
    for (NoteName name : whiteNames) {
        if (m_naturalNotes[name]->isEnabled())
            enabled.push_back(m_naturalNotes[name]);
    }
    if (enabled.empty())
        return false;
    removeTip();
    // The highest enabled key whose bubble stays inside the window; the
    // highest of all when none does.
    for (auto it = enabled.rbegin(); it != enabled.rend(); ++it) {
        (*it)->showTip(tip);
        TipView *view = (*it)->tipView();
        if (!view)
            return false;
        if (QRectF(window()->rect()).contains(view->bubbleRect()))
            return true;
        (*it)->removeTip();
    }
    enabled.back()->showTip(tip);
    return true;
}

void OctaveView::removeTip()
{
    for (auto &[name, key] : m_naturalNotes)
        key->removeTip();
}

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
        for (NoteName name : whiteNames) {
            if (TipView *tip = view->whiteKey(name)->tipView())
                return tip;
        }
    }
    return nullptr;
}

} // namespace lirra
