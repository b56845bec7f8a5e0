#include "kit/ui/dialogmessages.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace kit {

namespace {

QWidget* parentWindow() {
    return QApplication::activeWindow();
}

void show(QMessageBox::Icon icon, const QString& title, const QString& text) {
    QMessageBox box(icon, title, text, QMessageBox::NoButton, parentWindow());
    box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    box.exec();
}

}  // namespace

void DialogMessageService::information(const QString& text) {
    show(QMessageBox::Information, QStringLiteral("Informação"), text);
}
void DialogMessageService::warning(const QString& text) {
    show(QMessageBox::Warning, QStringLiteral("Aviso"), text);
}
void DialogMessageService::error(const QString& text) {
    show(QMessageBox::Critical, QStringLiteral("Erro"), text);
}
bool DialogMessageService::confirm(const QString& text) {
    QMessageBox box(QMessageBox::Question, QStringLiteral("Confirmação"), text,
                    QMessageBox::NoButton, parentWindow());
    QPushButton* yes = box.addButton(QStringLiteral("&Sim"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QStringLiteral("&Não"), QMessageBox::NoRole);
    box.setDefaultButton(yes);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes;
}

}  // namespace kit
