#include "narrowing_question.h"

#include "model/localization.h"

#include <QMessageBox>
#include <QPushButton>

namespace lirra {

KeepNarrowing askAboutNarrowing(QWidget *parent, const QString &name)
{
    QMessageBox box(QMessageBox::Question, localized("narrowing.title"), localized("narrowing.text").arg(name),
                    QMessageBox::NoButton, parent);
    QPushButton *save = box.addButton(localized("narrowing.save"), QMessageBox::AcceptRole);
    QPushButton *discard = box.addButton(localized("narrowing.discard"), QMessageBox::DestructiveRole);
    QPushButton *cancel = box.addButton(localized("cancel"), QMessageBox::RejectRole);
    box.setDefaultButton(cancel);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == save)
        return KeepNarrowing::save;
    if (box.clickedButton() == discard)
        return KeepNarrowing::discard;
    return KeepNarrowing::cancel;
}

} // namespace lirra
