#pragma once

#include <QString>

#include <optional>

class QWidget;

namespace lirra {

// A standard dialog asking for one line of text, `text` offered and
// selected, the buttons in the app's language: `confirm` and cancel. Nothing
// when it is cancelled.
std::optional<QString> askText(QWidget *parent, const QString &title, const QString &label, const QString &text,
                               const QString &confirm);

} // namespace lirra
