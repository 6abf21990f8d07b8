#include "octave_view.h"

#include "accessibility.h"

#include <QMouseEvent>

#include <cmath>

namespace lirra {

namespace {

QRect snapped(const QRectF &r)
{
    const int left = int(std::lround(r.left()));
    const int top = int(std::lround(r.top()));
    return QRect(left, top, int(std::lround(r.right())) - left, int(std::lround(r.bottom())) - top);
}

} // namespace

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
    for (NoteName name : whiteKeyNames) {
        auto *key = new WhiteKey(name, this);
        m_naturalNotes[name] = key;
        wire(key);
    }
    for (NoteName name : blackKeyNames) {
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
        const auto i = std::find(whiteKeyNames.begin(), whiteKeyNames.end(), name) - whiteKeyNames.begin();
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
    for (NoteName name : whiteKeyNames) {
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

} // namespace lirra
