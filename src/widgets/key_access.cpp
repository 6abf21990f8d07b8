#include "key_access.h"

#include "keyboard.h"
#include "palette.h"

#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace lirra {

namespace {

bool isMoveKey(int key)
{
    return key == Qt::Key_Left || key == Qt::Key_Right;
}

Note noteOf(const Key *key)
{
    const auto *octave = qobject_cast<const OctaveView *>(key->parentWidget());
    return Note{key->name(), octave ? octave->octave() : std::uint8_t(0)};
}

} // namespace

void drawKeyMark(QPainter &painter, const QRectF &box, KeyMark mark, const QColor &color)
{
    if (mark == KeyMark::none || box.width() <= 0 || box.height() <= 0)
        return;
    // Drawn as strokes, not glyphs: the same on every font.
    const double side = std::min(box.width(), box.height()) * 0.8;
    const QRectF square(box.center().x() - side / 2, box.center().y() - side / 2, side, side);
    QPainterPath path;
    if (mark == KeyMark::right) {
        path.moveTo(square.left() + side * 0.1, square.top() + side * 0.55);
        path.lineTo(square.left() + side * 0.4, square.bottom() - side * 0.1);
        path.lineTo(square.right() - side * 0.05, square.top() + side * 0.15);
    } else {
        const QRectF cross = square.adjusted(side * 0.15, side * 0.15, -side * 0.15, -side * 0.15);
        path.moveTo(cross.topLeft());
        path.lineTo(cross.bottomRight());
        path.moveTo(cross.topRight());
        path.lineTo(cross.bottomLeft());
    }
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(color, std::max(2.0, side * 0.14), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(path);
    painter.restore();
}

void drawKeyFocus(QPainter &painter, const QRectF &surface)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(color(PaletteColor::focus), 3));
    painter.drawRoundedRect(surface.adjusted(3, 3, -3, -3), 6, 6);
    // A dark line inside the blue one keeps the outline visible on any
    // tint, the green of a right answer too.
    painter.setPen(QPen(color(PaletteColor::dark), 1.5));
    painter.drawRoundedRect(surface.adjusted(5.25, 5.25, -5.25, -5.25), 4, 4);
    painter.restore();
}

KeyFocus::KeyFocus(KeyboardView *keyboard)
    : QObject(keyboard)
    , m_keyboard(keyboard)
{
    for (Key *key : keys()) {
        key->setFocusPolicy(Qt::NoFocus);
        key->installEventFilter(this);
    }
}

std::vector<Key *> KeyFocus::keys() const
{
    std::vector<Key *> all;
    for (OctaveView *view : m_keyboard->octaveViews()) {
        for (NoteName name : allNoteNames)
            all.push_back(view->key(name));
    }
    return all;
}

void KeyFocus::setTabStop(Key *key)
{
    if (key == m_tabStop)
        return;
    if (m_tabStop)
        m_tabStop->setFocusPolicy(Qt::NoFocus);
    m_tabStop = key;
    if (m_tabStop)
        m_tabStop->setFocusPolicy(Qt::TabFocus);
}

void KeyFocus::refresh()
{
    if (m_tabStop && m_tabStop->isEnabled())
        return;
    const std::vector<Key *> all = keys();
    const auto enabled = std::find_if(all.begin(), all.end(), [](Key *k) { return k->isEnabled(); });
    setTabStop(enabled == all.end() ? nullptr : *enabled);
}

void KeyFocus::move(Key *from, int step)
{
    const std::vector<Key *> all = keys();
    auto it = std::find(all.begin(), all.end(), from);
    if (it == all.end())
        return;
    std::ptrdiff_t index = it - all.begin();
    for (;;) {
        index += step;
        if (index < 0 || index >= std::ptrdiff_t(all.size()))
            return;
        Key *next = all[size_t(index)];
        if (next->isEnabled()) {
            setTabStop(next);
            next->setFocus(Qt::OtherFocusReason);
            m_keyboard->reveal(next);
            return;
        }
    }
}

bool KeyFocus::pressKey(int key) const
{
    return key == Qt::Key_Space || (m_returnPresses && isPressKey(key));
}

bool KeyFocus::eventFilter(QObject *watched, QEvent *event)
{
    auto *key = qobject_cast<Key *>(watched);
    if (!key)
        return false;
    switch (event->type()) {
    case QEvent::FocusIn:
        setTabStop(key);
        m_keyboard->reveal(key);
        key->update();
        return false;
    case QEvent::FocusOut:
        key->update();
        return false;
    case QEvent::ShortcutOverride: {
        auto *press = static_cast<QKeyEvent *>(event);
        if (press->modifiers() == Qt::NoModifier && (pressKey(press->key()) || isMoveKey(press->key()))) {
            press->accept();
            return true;
        }
        return false;
    }
    case QEvent::KeyPress: {
        auto *press = static_cast<QKeyEvent *>(event);
        if (press->modifiers() != Qt::NoModifier)
            return false;
        switch (press->key()) {
        case Qt::Key_Left: move(key, -1); return true;
        case Qt::Key_Right: move(key, 1); return true;
        default: break;
        }
        if (pressKey(press->key())) {
            if (!press->isAutoRepeat())
                m_keyboard->pressKey(noteOf(key));
            return true;
        }
        return false;
    }
    case QEvent::KeyRelease: {
        auto *release = static_cast<QKeyEvent *>(event);
        if (!pressKey(release->key()))
            return false;
        if (!release->isAutoRepeat())
            m_keyboard->releaseKey(noteOf(key));
        return true;
    }
    default:
        return false;
    }
}

} // namespace lirra
