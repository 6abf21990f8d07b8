#include "ask_text.h"

#include "model/localization.h"

#include <QGuiApplication>
#include <QInputDialog>
#include <QPushButton>
#include <QScreen>

#include <algorithm>

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
    // Wide enough for the whole title in the window's frame and the whole
    // name in the field, within three quarters of the screen.
    const QFontMetrics metrics(dialog.font());
    const int wanted = std::max({360, metrics.horizontalAdvance(title) * 5 / 4 + 160,
                                 metrics.horizontalAdvance(text) + 80, metrics.horizontalAdvance(label) + 60});
    const QScreen *screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    const int room = screen ? screen->availableGeometry().width() * 3 / 4 : wanted;
    dialog.resize(std::min(wanted, room), dialog.sizeHint().height());
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.textValue();
}

bool confirmDestructive(QWidget *parent, QMessageBox::Icon icon, const QString &title, const QString &question,
                        const QString &act, const QString &detail)
{
    QMessageBox box(icon, title, question, QMessageBox::NoButton, parent);
    if (!detail.isEmpty())
        box.setInformativeText(detail);
    QPushButton *yes = box.addButton(act, QMessageBox::DestructiveRole);
    QPushButton *no = box.addButton(localized("cancel"), QMessageBox::RejectRole);
    box.setDefaultButton(no);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes;
}

} // namespace lirra
