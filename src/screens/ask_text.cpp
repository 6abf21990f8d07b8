#include "ask_text.h"

#include "model/localization.h"

#include <QInputDialog>

namespace lirra {

std::optional<QString> askText(QWidget *parent, const QString &title, const QString &label, const QString &text,
                               const QString &confirm)
{
    QInputDialog dialog(parent);
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setWindowTitle(title);
    dialog.setLabelText(label);
    dialog.setTextValue(text);
    dialog.setOkButtonText(confirm);
    dialog.setCancelButtonText(localized("cancel"));
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.textValue();
}

} // namespace lirra
