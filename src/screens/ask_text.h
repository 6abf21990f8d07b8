#pragma once

#include <QMessageBox>
#include <QString>

#include <optional>

class QWidget;

namespace lirra {

// A standard dialog asking for one line of text, `text` offered and
// selected, the buttons in the app's language: `confirm` and cancel. Nothing
// when it is cancelled.
std::optional<QString> askText(QWidget *parent, const QString &title, const QString &label, const QString &text,
                               const QString &confirm);

// A standard question whose yes destroys something: `act` and cancel, cancel
// the default and Escape's, `detail` under the question when given. True
// when `act` was chosen.
bool confirmDestructive(QWidget *parent, QMessageBox::Icon icon, const QString &title, const QString &question,
                        const QString &act, const QString &detail = {});

} // namespace lirra
