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

#include "data/U_Biblioteca.h"
#include "kit/core/messages.h"
#include "kit/ui/widgets/captionlabel.h"
#include "kit/ui/widgets/editors.h"
#include "kit/ui/widgets/lookup.h"

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

using Command = kit::EditState::Command;

Command commandOf(const QString& name) {
    static const QHash<QString, Command> commands = {
        {QStringLiteral("Inserir"), Command::Insert},  {QStringLiteral("Alterar"), Command::Edit},
        {QStringLiteral("Deletar"), Command::Delete},  {QStringLiteral("Gravar"), Command::Save},
        {QStringLiteral("Cancelar"), Command::Cancel}, {QStringLiteral("Primeiro"), Command::First},
        {QStringLiteral("Anterior"), Command::Prior},  {QStringLiteral("Proximo"), Command::Next},
        {QStringLiteral("Ultimo"), Command::Last},     {QStringLiteral("Sair"), Command::Close}};
    return commands.value(name);
}

}  // namespace

TFrmManutencao::TFrmManutencao(Contexto& contexto, Definition definition, kit::DataSet* external,
                               QWidget* parent)
    : QWidget(parent), ctx_(contexto), def_(std::move(definition)) {
    setObjectName(def_.objectName);
    setWindowTitle(def_.caption);
    if (external) {
        ds_ = external;
        if (!ds_->isActive())
            ds_->open();
    } else {
        own_ = std::make_unique<kit::DataSet>(&ctx_.DB_ZEL());
        own_->setObjectName(QStringLiteral("Tb_Principal"));
        own_->setSql(def_.sql);
        own_->open();
        ds_ = own_.get();
    }
    for (const Field& f : def_.fields) {
        if (f.kind != FieldKind::Lookup)
            continue;
        auto list = std::make_unique<kit::DataSet>(&ctx_.DB_ZEL());
        list->setObjectName(QStringLiteral("tb_") + f.column);
        list->setSql(f.lookup.sql);
        list->open();
        lookups_.insert(f.column.toUpper(), list.get());
        lookupLists_.push_back(std::move(list));
    }
    binder_ = new kit::FieldBinder(ds_, this);
    state_ = new kit::EditState(ds_, this);
    buildLayout();
    connect(ds_, &kit::DataSet::currentChanged, this, [this] { mostraValoresExtras(); });
    connect(ds_, &kit::DataSet::rowsReset, this, [this] { mostraValoresExtras(); });
    connect(ds_, &kit::DataSet::stateChanged, this, [this] { mostraValoresExtras(); });

    state_->setDataPanel(dataPanel_);
    // The list does not move under a row being edited.
    if (grid_)
        state_->addBrowseWidget(grid_);
    state_->setEditFocus([this] { return editors_.value(def_.requiredColumn.toUpper()); });
    state_->setBrowseFocus([this]() -> QVector<QWidget*> { return {grid_, pages_->tabBar()}; });
    state_->setAction(Command::Insert, [this] { insere(); });
    state_->setAction(Command::Edit, [this] { altera(); });
    state_->setAction(Command::Delete, [this] { deleta(); });
    state_->setAction(Command::Save, [this] { grava(); });
    state_->setAction(Command::Cancel, [this] { cancela(); });
    state_->setAction(Command::First, [this] { ds_->first(); });
    state_->setAction(Command::Prior, [this] { ds_->prior(); });
    state_->setAction(Command::Next, [this] { ds_->next(); });
    state_->setAction(Command::Last, [this] { ds_->last(); });
    state_->setAction(Command::Close, [this] { close(); });
    for (auto it = buttons_.cbegin(); it != buttons_.cend(); ++it)
        state_->addButton(commandOf(it.key()), it.value());
    // Opening state: save, cancel and movement off until the first save or cancel.
    state_->setOpening(true);
    state_->update();
    mostraRegistro();
    qApp->installEventFilter(this);
}

TFrmManutencao::~TFrmManutencao() {
    qApp->removeEventFilter(this);
}

QWidget* TFrmManutencao::makeEditor(const Field& f) {
    switch (f.kind) {
        case FieldKind::Text:
        case FieldKind::TextKeepCase: {
            const int len = ds_->hasField(f.column) ? ds_->field(f.column).length : 0;
            auto* box = new kit::TextEdit(len, f.kind == FieldKind::Text, dataPanel_);
            binder_->bindText(box, f.column);
            return box;
        }
        case FieldKind::Integer: {
            auto* box = new kit::IntegerEdit(9, dataPanel_);
            binder_->bindInteger(box, f.column);
            return box;
        }
        case FieldKind::Date: {
            auto* box = new kit::DateEdit(dataPanel_);
            binder_->bindDate(box, f.column);
            return box;
        }
        case FieldKind::Money: {
            auto* box = new kit::MoneyEdit(dataPanel_);
            binder_->bindMoney(box, f.column);
            return box;
        }
        case FieldKind::Mask: {
            auto* box = new kit::MaskEdit(f.mask, dataPanel_);
            binder_->bindMask(box, f.column);
            return box;
        }
        case FieldKind::Choice: {
            auto* box = new QComboBox(dataPanel_);
            binder_->bindChoice(box, f.column, f.choices);
            return box;
        }
        case FieldKind::Lookup: {
            auto* box = new kit::LookupCombo(lookups_.value(f.column.toUpper()), f.lookup.keyField,
                                             f.lookup.displayField, dataPanel_);
            box->setDialogTitle(f.lookup.title);
            if (!f.lookup.columns.isEmpty())
                box->setDialogColumns(f.lookup.columns);
            box->setClearable(f.column.compare(def_.requiredColumn, Qt::CaseInsensitive) != 0);
            binder_->bindLookup(box, f.column);
            return box;
        }
        case FieldKind::Picture: {
            auto* picture = new QLabel(dataPanel_);
            picture->setMinimumSize(160, 120);
            picture->setFrameStyle(QFrame::Sunken | QFrame::Panel);
            picture->setAlignment(Qt::AlignCenter);
            return picture;
        }
    }
    return nullptr;
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
        state_->addButton(Command::Insert, adicionar);
        auto* abandonar = new QPushButton(style()->standardIcon(QStyle::SP_DialogCloseButton),
                                          QStringLiteral("&Sair"), consultaTop_);
        abandonar->setObjectName(QStringLiteral("Abandonar"));
        abandonar->setToolTip(QStringLiteral("Fecha esta janela de cadastro"));
        state_->addButton(Command::Close, abandonar);
        tl->addWidget(adicionar);
        tl->addWidget(abandonar);
        tl->addStretch();
        cl->addWidget(consultaTop_);
        grid_ = new kit::DataGrid(ds_, def_.grid, consultaTab_);
        grid_->setObjectName(QStringLiteral("wwDBGrid1"));
        grid_->setAccessibleName(def_.caption);
        connect(grid_, &QAbstractItemView::doubleClicked, this, [this] {
            if (EmEdicao(*ds_))
                return;
            mostraCadastro();
            state_->run(Command::Edit);
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
        QWidget* editor = makeEditor(f);
        editor->setObjectName(QStringLiteral("edit_") + f.column);
        // Boxes as wide as what they hold.
        const int charWidth = editor->fontMetrics().horizontalAdvance(QLatin1Char('N'));
        if (auto* money = qobject_cast<kit::MoneyEdit*>(editor)) {
            money->setMinimumWidth(
                money->fontMetrics().horizontalAdvance(QStringLiteral("R$ 9.999.999.999.999,99")) +
                24);
        } else if (auto* le = qobject_cast<QLineEdit*>(editor)) {
            const int chars = f.kind == FieldKind::Integer ? 10
                              : f.kind == FieldKind::Mask  ? 20
                              : f.kind == FieldKind::Date  ? 11
                                                           : std::clamp(le->maxLength(), 3, 60);
            le->setMaximumWidth(chars * charWidth + 16);
            le->setMinimumWidth(std::min(chars, 12) * charWidth + 16);
        } else if (f.kind == FieldKind::Lookup) {
            editor->setMinimumWidth(30 * charWidth);
        }
        if (f.column.compare(def_.codeColumn, Qt::CaseInsensitive) == 0) {
            if (auto* le = qobject_cast<QLineEdit*>(editor))
                le->setReadOnly(true);
            editor->setEnabled(false);
        }
        editors_.insert(f.column.toUpper(), editor);
        auto* label = new QLabel(f.label, dataPanel_);
        label->setObjectName(QStringLiteral("lbl_") + f.column);
        kit::FieldBinder::label(label, editor);
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

    // The tab-change guard.
    connect(pages_, &QTabWidget::currentChanged, this, [this](int index) {
        if (changingTab_)
            return;
        if (pages_->widget(index) != cadastroTab_ && EmEdicao(*ds_)) {
            if (state_->confirmAbandon()) {
                cancela();
                state_->update();
            } else {
                changingTab_ = true;
                pages_->setCurrentWidget(cadastroTab_);
                changingTab_ = false;
            }
        }
    });
    pages_->setCurrentIndex(0);
}

void TFrmManutencao::Inserir() {
    state_->run(Command::Insert);
}
void TFrmManutencao::Alterar() {
    state_->run(Command::Edit);
}
void TFrmManutencao::Deletar() {
    state_->run(Command::Delete);
}
void TFrmManutencao::Gravar() {
    state_->run(Command::Save);
}
void TFrmManutencao::Cancelar() {
    state_->run(Command::Cancel);
}

void TFrmManutencao::mostraConsulta() {
    if (consultaTab_)
        pages_->setCurrentWidget(consultaTab_);
}

void TFrmManutencao::mostraCadastro() {
    pages_->setCurrentWidget(cadastroTab_);
}

void TFrmManutencao::mostraRegistro() {
    binder_->load();
    mostraValoresExtras();
}

void TFrmManutencao::insere() {
    if (EmEdicao(*ds_))
        return;
    // The code is read first: when the database cannot give it, the screen stays as
    // it was.
    QVariant max;
    try {
        max = ctx_.DB_ZEL().value(def_.maxSql);  // Qry_MAX, read now
    } catch (const fb::Error& e) {
        ctx_.MostraErroBanco(e);
        return;
    }
    mostraCadastro();
    ds_->append();
    ds_->setValue(def_.codeColumn, (max.isNull() ? 0 : max.toLongLong()) + 1);
    valoresIniciais();
}

void TFrmManutencao::altera() {
    if (EmEdicao(*ds_))
        return;
    if (ds_->isEmpty()) {
        kit::messages().error(QStringLiteral("Banco de dados vazio!"));
        return;
    }
    ds_->edit();
}

void TFrmManutencao::deleta() {
    if (EmEdicao(*ds_))
        return;
    if (ds_->isEmpty()) {
        kit::messages().error(QStringLiteral("O Banco de Dados está vazio !!!"));
        return;
    }
    if (kit::messages().confirm(def_.deleteQuestion)) {
        antesDeDeletar();
        ds_->remove();
        // A delete that could not be written leaves the row where it was.
        if (!AplicaAtualizacoes(*ds_) && ds_->hasPendingChanges())
            ds_->cancelUpdates();
    } else {
        ds_->cancelUpdates();
    }
}

bool TFrmManutencao::requiredEmpty() const {
    QWidget* required = editors_.value(def_.requiredColumn.toUpper());
    if (auto* le = qobject_cast<QLineEdit*>(required))
        return le->text().trimmed().isEmpty();
    return ds_->isNull(def_.requiredColumn);
}

void TFrmManutencao::grava() {
    if (!EmEdicao(*ds_))
        return;
    if (!binder_->commit())
        return;
    if (requiredEmpty()) {
        ctx_.AvisoCamposObrigatorios(def_.requiredList);
        if (QWidget* w = editors_.value(def_.requiredColumn.toUpper()))
            w->setFocus();
        return;
    }
    if (!podeGravar())
        return;
    try {
        gravaValoresExtras();
        ds_->post();
    } catch (const kit::DataSetError& e) {
        kit::messages().warning(e.message());
        return;
    }
    if (AplicaAtualizacoes(*ds_) || !ds_->hasPendingChanges())
        return;
    // Not written, and what was typed is still there: back to editing it, so that it
    // can be saved again or cancelled.
    ds_->edit();
}

void TFrmManutencao::cancelPending() {
    ds_->cancel();
    if (ds_->hasPendingChanges()) {
        // A save that could not be written is dropped; the rows are read again, so
        // that what another workstation changed meanwhile shows (when the database
        // is still away, what was read before stays).
        ds_->cancelUpdates();
        try {
            ds_->refresh();
        } catch (const fb::Error& e) {
            ctx_.DB_ZEL().noteError(e);
        }
    }
}

void TFrmManutencao::cancela() {
    if (!EmEdicao(*ds_))
        return;
    cancelPending();
}

void TFrmManutencao::closeEvent(QCloseEvent* event) {
    if (EmEdicao(*ds_) || ds_->hasPendingChanges()) {
        if (!state_->confirmAbandon()) {
            event->ignore();
            return;
        }
        cancelPending();
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
        default:
            return state_->handleKey(key);
    }
}
