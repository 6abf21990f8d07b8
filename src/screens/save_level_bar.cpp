#include "save_level_bar.h"

#include "input/computer_keyboard.h"
#include "model/localization.h"
#include "nav_bar.h"
#include "widgets/palette.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>

namespace lirra {

SaveLevelBar::SaveLevelBar(const QString &text, bool declinable, QWidget *parent)
    : QWidget(parent)
    , m_label(new QLabel(text))
    , m_save(new QPushButton(localized("saveAsMyLevel")))
{
    m_label->setWordWrap(true);
    m_label->setFont(textFont(TextStyle::body));
    QPalette light = m_label->palette();
    light.setColor(QPalette::WindowText, color(PaletteColor::buttonForeground));
    m_label->setPalette(light);
    m_save->setToolTip(withShortcut(localized("saveAsMyLevel.tip"), Command::saveLevel));
    m_save->setAccessibleDescription(m_label->text());
    connect(m_save, &QPushButton::clicked, this, [this]() {
        if (didPressSave)
            didPressSave();
    });
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(16, 4, 16, 4);
    layout->addWidget(m_label, 1);
    layout->addWidget(m_save);
    if (declinable) {
        m_decline = new QPushButton(localized("notNow"));
        m_decline->setAccessibleDescription(localized("notNow.description"));
        connect(m_decline, &QPushButton::clicked, this, [this]() {
            if (didDecline)
                didDecline();
        });
        layout->addWidget(m_decline);
    }
}

void SaveLevelBar::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), color(PaletteColor::dark));
}

} // namespace lirra
