#include "screens/base/UManutencao.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include "app/UPrincipal.h"
#include "data/U_Biblioteca.h"
#include "kit/core/messages.h"
#include "kit/ui/widgets/captionlabel.h"
#include "kit/ui/widgets/editors.h"

namespace {

struct NavButton {
    const char* name;
    const char* caption;
    const char* hint;
    QStyle::StandardPixmap icon;
};

const NavButton kNavegador[] = {
    {"Inserir", "Inserir", "Pemite inserir um novo registro", QStyle::SP_FileDialogNewFolder},
    {"Alterar", "Alterar", "Pemite alterar o registro selecionado no momento",
     QStyle::SP_FileDialogDetailedView},
    {"Deletar", "Deletar", "Apaga o registro atual", QStyle::SP_TrashIcon},
    {"Gravar", "Gravar", "Grava as alterações feitas neste banco de dados",
     QStyle::SP_DialogSaveButton},
    {"Cancelar", "Cancelar", "Cancela as alterações feitas neste registro",
     QStyle::SP_DialogCancelButton},
    {"Primeiro", "Primeiro", "Vai para o primeiro registro do banco de dados",
     QStyle::SP_MediaSkipBackward},
    {"Anterior", "Anterior", "Vai para registro anterior do banco de dados",
     QStyle::SP_MediaSeekBackward},
    {"Proximo", "Próximo", "Vai para o próximo registro do banco de dados",
     QStyle::SP_MediaSeekForward},
    {"Ultimo", "Último", "Vai para o último registro do banco de dados",
     QStyle::SP_MediaSkipForward},
    {"Sair", "Sair", "Fecha esta janela de cadastro", QStyle::SP_DialogCloseButton},
};

bool isMovement(const QString& name) {
    return name == QLatin1String("Primeiro") || name == QLatin1String("Anterior") ||
           name == QLatin1String("Proximo") || name == QLatin1String("Ultimo");
}

}  // namespace

TFrmManutencao::TFrmManutencao(TFrmPrincipal& main, Definition definition, kit::DataSet* external,
                               QWidget* parent)
    : QWidget(parent), main_(main), def_(std::move(definition)) {
    setObjectName(def_.objectName);
    setWindowTitle(def_.caption);
    if (external) {
        ds_ = external;
        if (!ds_->isActive())
            ds_->open();
    } else {
        own_ = std::make_unique<kit::DataSet>(&main_.DB_ZEL());
        own_->setObjectName(QStringLiteral("Tb_Principal"));
        own_->setSql(def_.sql);
        own_->open();
        ds_ = own_.get();
    }
    buildLayout();
    connect(ds_, &kit::DataSet::currentChanged, this, [this] {
        if (!ds_->isEditing())
            mostraRegistro();
    });
    connect(ds_, &kit::DataSet::rowsReset, this, [this] {
        if (!ds_->isEditing())
            mostraRegistro();
    });
    mostraRegistro();
    // Opening state: data panel off; save, cancel and movement off until the first
    // save or cancel.
    dataPanel_->setEnabled(false);
    for (auto it = buttons_.begin(); it != buttons_.end(); ++it) {
        const QString& n = it.key();
        it.value()->setEnabled(
            !(n == QLatin1String("Gravar") || n == QLatin1String("Cancelar") || isMovement(n)));
    }
    qApp->installEventFilter(this);
}

TFrmManutencao::~TFrmManutencao() {
    qApp->removeEventFilter(this);
}

void TFrmManutencao::buildLayout() {
    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(4, 4, 4, 4);
    auto* labels = new QHBoxLayout;
    if (def_.consultation) {
        auto* c = new kit::CaptionLabel(
            QStringLiteral("Consulta"), [this] { mostraConsulta(); }, this);
        c->setObjectName(QStringLiteral("txtConsulta"));
        labels->addWidget(c);
    }
    auto* k = new kit::CaptionLabel(
        QStringLiteral("Cadastro"), [this] { mostraCadastro(); }, this);
    k->setObjectName(QStringLiteral("txtCadastro"));
    labels->addWidget(k);
    labels->addStretch();
    root->addLayout(labels);

    pages_ = new QTabWidget(this);
    pages_->setObjectName(QStringLiteral("PageControl"));
    root->addWidget(pages_);

    if (def_.consultation) {
        consultaTab_ = new QWidget(pages_);
        consultaTab_->setObjectName(QStringLiteral("TabSheet_Consulta"));
        auto* cl = new QVBoxLayout(consultaTab_);
        consultaTop_ = new QFrame(consultaTab_);
        consultaTop_->setObjectName(QStringLiteral("Painel_Consulta1"));
        auto* tl = new QHBoxLayout(consultaTop_);
        tl->setContentsMargins(2, 2, 2, 2);
        auto* adicionar = new QPushButton(style()->standardIcon(QStyle::SP_FileDialogNewFolder),
                                          QStringLiteral("&Inserir"), consultaTop_);
        adicionar->setObjectName(QStringLiteral("Adicionar"));
        adicionar->setToolTip(QStringLiteral("Pemite inserir um novo registro"));
        connect(adicionar, &QPushButton::clicked, this, &TFrmManutencao::Inserir);
        auto* abandonar = new QPushButton(style()->standardIcon(QStyle::SP_DialogCloseButton),
                                          QStringLiteral("&Sair"), consultaTop_);
        abandonar->setObjectName(QStringLiteral("Abandonar"));
        abandonar->setToolTip(QStringLiteral("Fecha esta janela de cadastro"));
        connect(abandonar, &QPushButton::clicked, this, &QWidget::close);
        tl->addWidget(adicionar);
        tl->addWidget(abandonar);
        tl->addStretch();
        cl->addWidget(consultaTop_);
        grid_ = new kit::DataGrid(ds_, def_.grid, consultaTab_);
        grid_->setObjectName(QStringLiteral("wwDBGrid1"));
        connect(grid_, &QAbstractItemView::doubleClicked, this, [this] {
            mostraCadastro();
            Alterar();
        });
        cl->addWidget(grid_);
        pages_->addTab(consultaTab_, QStringLiteral("Consulta   "));
    }

    cadastroTab_ = new QWidget(pages_);
    cadastroTab_->setObjectName(QStringLiteral("TabSheet_Manutencao"));
    auto* ml = new QVBoxLayout(cadastroTab_);
    dataPanel_ = new QFrame(cadastroTab_);
    dataPanel_->setObjectName(QStringLiteral("Painel_Dados"));
    dataPanel_->setAutoFillBackground(true);
    QPalette pp = dataPanel_->palette();
    pp.setColor(QPalette::Window, kit::DataGrid::bodyColour());  // light blue
    dataPanel_->setPalette(pp);
    dataPanel_->setFrameStyle(QFrame::StyledPanel);
    auto* form = new QVBoxLayout(dataPanel_);
    QHash<QString, QFormLayout*> groups;
    QHBoxLayout* line = nullptr;
    for (const Field& f : def_.fields) {
        QWidget* editor = nullptr;
        switch (f.kind) {
            case FieldKind::Text:
            case FieldKind::TextKeepCase: {
                const int len = ds_->hasField(f.column) ? ds_->field(f.column).length : 0;
                editor = new kit::TextEdit(len, f.kind == FieldKind::Text, dataPanel_);
                break;
            }
            case FieldKind::Integer:
                editor = new kit::IntegerEdit(9, dataPanel_);
                break;
            case FieldKind::Mask:
                editor = new kit::MaskEdit(f.mask, dataPanel_);
                break;
            case FieldKind::Choice: {
                auto* combo = new QComboBox(dataPanel_);
                for (const auto& [value, text] : f.choices) combo->addItem(text, value);
                editor = combo;
                break;
            }
            case FieldKind::Picture: {
                auto* picture = new QLabel(dataPanel_);
                picture->setMinimumSize(160, 120);
                picture->setFrameStyle(QFrame::Sunken | QFrame::Panel);
                picture->setAlignment(Qt::AlignCenter);
                editor = picture;
                break;
            }
        }
        editor->setObjectName(QStringLiteral("edit_") + f.column);
        // Boxes as wide as what they hold.
        const int charWidth = editor->fontMetrics().horizontalAdvance(QLatin1Char('N'));
        if (auto* le = qobject_cast<QLineEdit*>(editor)) {
            const int chars = f.kind == FieldKind::Integer ? 10
                              : f.kind == FieldKind::Mask  ? 20
                                                           : std::clamp(le->maxLength(), 3, 60);
            le->setMaximumWidth(chars * charWidth + 16);
            le->setMinimumWidth(std::min(chars, 12) * charWidth + 16);
        }
        if (f.column.compare(def_.codeColumn, Qt::CaseInsensitive) == 0) {
            if (auto* le = qobject_cast<QLineEdit*>(editor))
                le->setReadOnly(true);
            editor->setEnabled(false);
        }
        editors_.insert(f.column.toUpper(), editor);
        auto* label = new QLabel(f.label, dataPanel_);
        label->setObjectName(QStringLiteral("lbl_") + f.column);
        if (!f.group.isEmpty()) {
            QFormLayout* g = groups.value(f.group);
            if (!g) {
                auto* box = new QGroupBox(f.group, dataPanel_);
                g = new QFormLayout(box);
                groups.insert(f.group, g);
                form->addWidget(box);
            }
            g->addRow(label, editor);
            continue;
        }
        if (!f.sameLine || !line) {
            line = new QHBoxLayout;
            form->addLayout(line);
        }
        auto* cell = new QVBoxLayout;
        cell->addWidget(label);
        cell->addWidget(editor);
        line->addLayout(cell);
    }
    for (int i = 0; i < form->count(); ++i)
        if (auto* l = qobject_cast<QHBoxLayout*>(form->itemAt(i)->layout()))
            l->addStretch();
    form->addStretch();
    ml->addWidget(dataPanel_);

    auto* navigator = new QFrame(cadastroTab_);
    navigator->setObjectName(QStringLiteral("wwDBNavigator1"));
    auto* nl = new QHBoxLayout(navigator);
    nl->setContentsMargins(2, 2, 2, 2);
    for (const NavButton& b : kNavegador) {
        const QString name = QString::fromLatin1(b.name);
        if (!def_.consultation && isMovement(name))
            continue;
        auto* button =
            new QPushButton(style()->standardIcon(b.icon), QString::fromUtf8(b.caption), navigator);
        button->setObjectName(name);
        button->setToolTip(QString::fromUtf8(b.hint));
        button->setFocusPolicy(Qt::NoFocus);
        nl->addWidget(button);
        buttons_.insert(name, button);
    }
    nl->addStretch();
    ml->addWidget(navigator);
    pages_->addTab(cadastroTab_, QStringLiteral("Cadastro   "));

    connect(buttons_.value(QStringLiteral("Inserir")), &QPushButton::clicked, this,
            &TFrmManutencao::Inserir);
    connect(buttons_.value(QStringLiteral("Alterar")), &QPushButton::clicked, this,
            &TFrmManutencao::Alterar);
    connect(buttons_.value(QStringLiteral("Deletar")), &QPushButton::clicked, this,
            &TFrmManutencao::Deletar);
    connect(buttons_.value(QStringLiteral("Gravar")), &QPushButton::clicked, this,
            &TFrmManutencao::Gravar);
    connect(buttons_.value(QStringLiteral("Cancelar")), &QPushButton::clicked, this,
            &TFrmManutencao::Cancelar);
    connect(buttons_.value(QStringLiteral("Sair")), &QPushButton::clicked, this, &QWidget::close);
    if (def_.consultation) {
        connect(buttons_.value(QStringLiteral("Primeiro")), &QPushButton::clicked, this,
                [this] { ds_->first(); });
        connect(buttons_.value(QStringLiteral("Anterior")), &QPushButton::clicked, this,
                [this] { ds_->prior(); });
        connect(buttons_.value(QStringLiteral("Proximo")), &QPushButton::clicked, this,
                [this] { ds_->next(); });
        connect(buttons_.value(QStringLiteral("Ultimo")), &QPushButton::clicked, this,
                [this] { ds_->last(); });
    }
    // The tab-change guard.
    connect(pages_, &QTabWidget::currentChanged, this, [this](int index) {
        if (changingTab_)
            return;
        if (pages_->widget(index) != cadastroTab_ && EmEdicao(*ds_)) {
            if (confirmaAbandono()) {
                Cancelar();
            } else {
                changingTab_ = true;
                pages_->setCurrentWidget(cadastroTab_);
                changingTab_ = false;
            }
        }
    });
    pages_->setCurrentIndex(0);
}

void TFrmManutencao::mostraConsulta() {
    if (consultaTab_)
        pages_->setCurrentWidget(consultaTab_);
}

void TFrmManutencao::mostraCadastro() {
    pages_->setCurrentWidget(cadastroTab_);
}

void TFrmManutencao::mostraRegistro() {
    for (const Field& f : def_.fields) {
        QWidget* w = editors_.value(f.column.toUpper());
        const QVariant v = ds_->isActive() && !ds_->isEmpty() ? ds_->value(f.column) : QVariant();
        switch (f.kind) {
            case FieldKind::Text:
            case FieldKind::TextKeepCase:
                static_cast<QLineEdit*>(w)->setText(v.toString());
                break;
            case FieldKind::Integer:
                static_cast<kit::IntegerEdit*>(w)->setValue(v);
                break;
            case FieldKind::Mask:
                static_cast<kit::MaskEdit*>(w)->setStoredText(v.toString());
                break;
            case FieldKind::Choice: {
                auto* combo = static_cast<QComboBox*>(w);
                const int i = combo->findData(v.toString());
                combo->setCurrentIndex(i < 0 ? 0 : i);
                break;
            }
            case FieldKind::Picture:
                break;
        }
    }
    mostraValoresExtras();
}

void TFrmManutencao::storeEditors() {
    for (const Field& f : def_.fields) {
        if (f.column.compare(def_.codeColumn, Qt::CaseInsensitive) == 0)
            continue;
        QWidget* w = editors_.value(f.column.toUpper());
        QVariant v;
        switch (f.kind) {
            case FieldKind::Text:
            case FieldKind::TextKeepCase: {
                const QString t = static_cast<QLineEdit*>(w)->text();
                v = t.isEmpty() ? QVariant() : QVariant(t);
                break;
            }
            case FieldKind::Integer: {
                const auto n = static_cast<kit::IntegerEdit*>(w)->value();
                v = n ? QVariant(*n) : QVariant();
                break;
            }
            case FieldKind::Mask: {
                const QString t = static_cast<kit::MaskEdit*>(w)->storedText();
                v = t.isEmpty() ? QVariant() : QVariant(t);
                break;
            }
            case FieldKind::Choice: {
                const QString t = static_cast<QComboBox*>(w)->currentData().toString();
                v = t.isEmpty() ? QVariant() : QVariant(t);
                break;
            }
            case FieldKind::Picture:
                continue;
        }
        ds_->setValue(f.column, v);
    }
    gravaValoresExtras();
}

void TFrmManutencao::setBrowseState() {
    dataPanel_->setEnabled(false);
    for (auto it = buttons_.begin(); it != buttons_.end(); ++it) {
        const QString& n = it.key();
        it.value()->setEnabled(!(n == QLatin1String("Gravar") || n == QLatin1String("Cancelar")));
    }
}

void TFrmManutencao::setEditState() {
    dataPanel_->setEnabled(true);
    for (auto it = buttons_.begin(); it != buttons_.end(); ++it) {
        const QString& n = it.key();
        it.value()->setEnabled(n == QLatin1String("Gravar") || n == QLatin1String("Cancelar") ||
                               n == QLatin1String("Sair"));
    }
}

void TFrmManutencao::focusRequired() {
    if (QWidget* w = editors_.value(def_.requiredColumn.toUpper()))
        w->setFocus();
}

void TFrmManutencao::Inserir() {
    if (EmEdicao(*ds_))
        return;
    setEditState();
    mostraCadastro();
    const QVariant max = main_.DB_ZEL().value(def_.maxSql);  // Qry_MAX, read now
    ds_->append();
    ds_->setValue(def_.codeColumn, (max.isNull() ? 0 : max.toLongLong()) + 1);
    valoresIniciais();
    mostraRegistro();
    focusRequired();
}

void TFrmManutencao::Alterar() {
    if (EmEdicao(*ds_))
        return;
    if (ds_->isEmpty()) {
        kit::messages().error(QStringLiteral("Banco de dados vazio!"));
        return;
    }
    ds_->edit();
    setEditState();
    focusRequired();
}

void TFrmManutencao::Deletar() {
    if (EmEdicao(*ds_))
        return;
    if (ds_->isEmpty()) {
        kit::messages().error(QStringLiteral("O Banco de Dados está vazio !!!"));
        return;
    }
    if (kit::messages().confirm(def_.deleteQuestion)) {
        antesDeDeletar();
        ds_->remove();
        AplicaAtualizacoes(*ds_);
    } else {
        ds_->cancelUpdates();
    }
    setBrowseState();
    mostraRegistro();
}

void TFrmManutencao::Gravar() {
    if (!EmEdicao(*ds_))
        return;
    QWidget* required = editors_.value(def_.requiredColumn.toUpper());
    if (auto* le = qobject_cast<QLineEdit*>(required); le && le->text().trimmed().isEmpty()) {
        main_.AvisoCamposObrigatorios(def_.requiredList);
        le->setFocus();
        return;
    }
    if (!podeGravar())
        return;
    try {
        storeEditors();
        ds_->post();
    } catch (const kit::DataSetError& e) {
        kit::messages().warning(e.message());
        return;
    }
    AplicaAtualizacoes(*ds_);
    setBrowseState();
    mostraRegistro();
}

void TFrmManutencao::Cancelar() {
    if (!EmEdicao(*ds_))
        return;
    ds_->cancel();
    setBrowseState();
    mostraRegistro();
}

bool TFrmManutencao::confirmaAbandono() {
    return kit::messages().confirm(
        QStringLiteral("Os dados estão sendo alterados no momento !") + QStringLiteral("\n") +
        QStringLiteral("Deseja realmente cancelar as alterações feitas ?"));
}

void TFrmManutencao::closeEvent(QCloseEvent* event) {
    if (EmEdicao(*ds_)) {
        if (!confirmaAbandono()) {
            event->ignore();
            return;
        }
        Cancelar();
    }
    if (own_)
        own_->close();
    event->accept();
}

bool TFrmManutencao::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return false;
    auto* w = qobject_cast<QWidget*>(watched);
    if (!w || (w != this && !isAncestorOf(w)) || !w->isVisible())
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    switch (key->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (qobject_cast<QComboBox*>(w) && static_cast<QComboBox*>(w)->view()->isVisible())
                return false;
            focusNextChild();
            return true;
        case Qt::Key_F4:
        case Qt::Key_F5:
        case Qt::Key_F6:
        case Qt::Key_F7:
        case Qt::Key_F8:
            break;
        default:
            return false;
    }
    const bool editing = EmEdicao(*ds_);
    switch (key->key()) {
        case Qt::Key_F4:
            if (!editing)
                Inserir();
            break;
        case Qt::Key_F5:
            if (!editing)
                Alterar();
            break;
        case Qt::Key_F6:
            if (!editing)
                Deletar();
            break;
        case Qt::Key_F7:
            if (editing)
                Gravar();
            break;
        case Qt::Key_F8:
            if (editing)
                Cancelar();
            break;
    }
    return true;
}
