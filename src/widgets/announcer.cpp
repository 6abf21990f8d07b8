#include "announcer.h"

#include "accessibility.h"

namespace lirra {

Announcer::Announcer(QWidget *parent)
    : QWidget(parent)
{
    installAccessibility();
    // Nothing to see or to click; it stays in the tree while shown.
    setFixedSize(0, 0);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
}

void Announcer::say(const QString &text)
{
    m_text = text;
    setAccessibleName(text);
    hide();
    show();
}

} // namespace lirra
