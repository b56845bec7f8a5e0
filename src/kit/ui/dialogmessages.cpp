#include "kit/ui/dialogmessages.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace kit {

bool DialogMessageService::show(const Message& message) {
    QMessageBox::Icon icon = QMessageBox::Information;
    QString title = QStringLiteral("Informação");
    switch (message.kind) {
        case Kind::Information:
            break;
        case Kind::Warning:
            icon = QMessageBox::Warning;
            title = QStringLiteral("Aviso");
            break;
        case Kind::Error:
            icon = QMessageBox::Critical;
            title = QStringLiteral("Erro");
            break;
        case Kind::Confirmation:
            icon = QMessageBox::Question;
            title = QStringLiteral("Confirmação");
            break;
    }
    QMessageBox box(icon, title, message.text, QMessageBox::NoButton, QApplication::activeWindow());
    QPushButton* yes = nullptr;
    switch (message.buttons) {
        case Buttons::Ok:
            yes = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
            break;
        case Buttons::Yes:
            yes = box.addButton(QStringLiteral("&Sim"), QMessageBox::YesRole);
            break;
        case Buttons::YesNo: {
            yes = box.addButton(QStringLiteral("&Sim"), QMessageBox::YesRole);
            QPushButton* no = box.addButton(QStringLiteral("&Não"), QMessageBox::NoRole);
            box.setEscapeButton(no);
            break;
        }
    }
    box.setDefaultButton(yes);
    box.exec();
    return message.buttons != Buttons::YesNo || box.clickedButton() == yes;
}

}  // namespace kit
