#include "kit/edit/editstate.h"

#include <QAbstractButton>
#include <QApplication>
#include <QBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QStyle>
#include <QWidget>

#include "kit/core/messages.h"
#include "kit/db/dataset.h"

namespace kit {

namespace {

int id(EditState::Command c) {
    return static_cast<int>(c);
}

bool isMovement(EditState::Command c) {
    using C = EditState::Command;
    return c == C::First || c == C::Prior || c == C::Next || c == C::Last;
}

}  // namespace

EditState::EditState(DataSet* dataSet, QWidget* screen)
    : QObject(screen), ds_(dataSet), screen_(screen) {}

bool EditState::editing() const {
    return ds_->isEditing();
}

void EditState::setAction(Command command, std::function<void()> action) {
    actions_.insert(id(command), std::move(action));
}

void EditState::addButton(Command command, QAbstractButton* button) {
    buttons_[id(command)].append(button);
    connect(button, &QAbstractButton::clicked, this, [this, command] { run(command); });
}

QHash<QString, QPushButton*> EditState::addNavigator(QWidget* bar, QBoxLayout* layout,
                                                     bool movement, bool close) {
    struct NavButton {
        const char* name;
        const char* caption;
        const char* hint;
        QStyle::StandardPixmap icon;
        Command command;
    };
    static const NavButton buttons[] = {
        {"Inserir", "Inserir", "Pemite inserir um novo registro", QStyle::SP_FileDialogNewFolder,
         Command::Insert},
        {"Alterar", "Alterar", "Pemite alterar o registro selecionado no momento",
         QStyle::SP_FileDialogDetailedView, Command::Edit},
        {"Deletar", "Deletar", "Apaga o registro atual", QStyle::SP_TrashIcon, Command::Delete},
        {"Gravar", "Gravar", "Grava as alterações feitas neste banco de dados",
         QStyle::SP_DialogSaveButton, Command::Save},
        {"Cancelar", "Cancelar", "Cancela as alterações feitas neste registro",
         QStyle::SP_DialogCancelButton, Command::Cancel},
        {"Primeiro", "Primeiro", "Vai para o primeiro registro do banco de dados",
         QStyle::SP_MediaSkipBackward, Command::First},
        {"Anterior", "Anterior", "Vai para registro anterior do banco de dados",
         QStyle::SP_MediaSeekBackward, Command::Prior},
        {"Proximo", "Próximo", "Vai para o próximo registro do banco de dados",
         QStyle::SP_MediaSeekForward, Command::Next},
        {"Ultimo", "Último", "Vai para o último registro do banco de dados",
         QStyle::SP_MediaSkipForward, Command::Last},
        {"Sair", "Sair", "Fecha esta janela de cadastro", QStyle::SP_DialogCloseButton,
         Command::Close},
    };
    QHash<QString, QPushButton*> made;
    for (const NavButton& b : buttons) {
        if ((!movement && isMovement(b.command)) || (!close && b.command == Command::Close))
            continue;
        auto* button =
            new QPushButton(bar->style()->standardIcon(b.icon), QString::fromUtf8(b.caption), bar);
        button->setObjectName(QString::fromLatin1(b.name));
        button->setToolTip(QString::fromUtf8(b.hint));
        button->setFocusPolicy(Qt::NoFocus);
        layout->addWidget(button);
        addButton(b.command, button);
        made.insert(button->objectName(), button);
    }
    return made;
}

void EditState::setKeyAction(int key, std::function<void()> action) {
    keyActions_.insert(key, std::move(action));
}

void EditState::setAvailable(bool on) {
    available_ = on;
    update();
}

bool EditState::enabled(Command command) const {
    if (command == Command::Close)
        return true;
    if (!available_)
        return false;
    if (editing())
        return command == Command::Save || command == Command::Cancel;
    if (command == Command::Save || command == Command::Cancel)
        return false;
    return !(opening_ && isMovement(command));
}

void EditState::update() {
    const bool nowEditing = editing();
    if (wasEditing_ && !nowEditing)
        opening_ = false;  // the first save or cancel brings the full browse state
    for (auto it = buttons_.cbegin(); it != buttons_.cend(); ++it)
        for (const auto& b : it.value())
            if (b)
                b->setEnabled(enabled(static_cast<Command>(it.key())));
    if (dataPanel_)
        dataPanel_->setEnabled(nowEditing);
    for (const auto& w : browseWidgets_)
        if (w)
            w->setEnabled(!nowEditing);

    // The focus: into the panel when an edit starts, back to the list when it ends,
    // and never on a control that was just disabled or hidden.
    QWidget* focus = QApplication::focusWidget();
    const bool focusHere = focus && (focus == screen_ || screen_->isAncestorOf(focus));
    const bool entering = nowEditing && !wasEditing_;
    const bool leaving = !nowEditing && wasEditing_;
    wasEditing_ = nowEditing;
    if (!screen_->isVisible())
        return;
    if (nowEditing) {
        const bool inPanel = focus && dataPanel_ && dataPanel_->isAncestorOf(focus);
        if (entering || !inPanel || !canTakeFocus(focus))
            placeFocus(screen_, editFocus_ ? editFocus_() : nullptr);
        return;
    }
    if (leaving || (focusHere && !canTakeFocus(focus)) || (!focus && screen_->isActiveWindow())) {
        QWidget* target = nullptr;
        if (browseFocus_)
            for (QWidget* w : browseFocus_())
                if (canTakeFocus(w)) {
                    target = w;
                    break;
                }
        placeFocus(screen_, target);
    }
}

bool EditState::run(Command command) {
    if (!enabled(command))
        return false;
    const auto action = actions_.value(id(command));
    if (action)
        action();
    update();
    return true;
}

bool EditState::handleKey(QKeyEvent* event) {
    Command command;
    switch (event->key()) {
        case Qt::Key_F4:
            command = Command::Insert;
            break;
        case Qt::Key_F5:
            command = Command::Edit;
            break;
        case Qt::Key_F6:
            command = Command::Delete;
            break;
        case Qt::Key_F7:
            command = Command::Save;
            break;
        case Qt::Key_F8:
            command = Command::Cancel;
            break;
        default:
            return false;
    }
    if (event->isAutoRepeat())
        return true;
    if (!enabled(command))
        return true;
    if (const auto special = keyActions_.value(event->key())) {
        special();
        update();
    } else {
        run(command);
    }
    return true;
}

QString EditState::abandonQuestion() {
    return QStringLiteral(
        "Os dados estão sendo alterados no momento !\nDeseja realmente cancelar as alterações "
        "feitas ?");
}

bool EditState::confirmAbandon() const {
    if (!editing() && !ds_->hasPendingChanges())
        return true;
    return messages().ask(MessageService::Kind::Information, abandonQuestion());
}

bool EditState::canTakeFocus(const QWidget* w) {
    return w && w->isEnabled() && w->isVisible() && w->focusPolicy() != Qt::NoFocus;
}

void EditState::placeFocus(QWidget* screen, QWidget* preferred) {
    if (canTakeFocus(preferred)) {
        preferred->setFocus(Qt::OtherFocusReason);
        return;
    }
    for (QWidget* w = screen->nextInFocusChain(); w && w != screen; w = w->nextInFocusChain())
        if (screen->isAncestorOf(w) && canTakeFocus(w) && (w->focusPolicy() & Qt::TabFocus)) {
            w->setFocus(Qt::TabFocusReason);
            return;
        }
}

}  // namespace kit
