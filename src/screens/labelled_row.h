#pragma once

// A row of the preferences' form: a control under its label's name.

#include "model/localization.h"

#include <QFormLayout>
#include <QLabel>

namespace lirra {

// Each widget is named by its label, so that a screen reader says what it sets.
template <typename W>
W *labelled(QFormLayout *form, const char *label, W *widget, const char *description = nullptr)
{
    auto *text = new QLabel(localized(label));
    text->setBuddy(widget);
    text->setWordWrap(true);
    widget->setAccessibleName(localized(label).remove(QLatin1Char('&')).remove(QLatin1Char(':')).trimmed());
    widget->setProperty("labelName", widget->accessibleName());
    if (description) {
        widget->setToolTip(localized(description));
        widget->setAccessibleDescription(localized(description));
    }
    form->addRow(text, widget);
    return widget;
}

} // namespace lirra
