#include "screens/treasury/UCadRapido.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "data/U_Biblioteca.h"
#include "kit/core/messages.h"
#include "kit/ui/widgets/editors.h"

TFrmCadRapido::TFrmCadRapido(kit::DataSet& list, const QString& objectName, const QString& caption,
                             const QString& heading, const QString& maxSql,
                             const QString& codeColumn, const QVector<Field>& fields,
                             const QString& secondButton, QWidget* parent)
    : QDialog(parent), list_(list), codeColumn_(codeColumn), fields_(fields) {
    setObjectName(objectName);
    setWindowTitle(caption);
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    auto* title = new QLabel(heading, this);
    QFont f = title->font();
    f.setBold(true);
    f.setPointSizeF(f.pointSizeF() * 1.3);
    title->setFont(f);
    layout->addWidget(title);
    auto* form = new QFormLayout;
    form->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    layout->addLayout(form);
    QHash<QString, QFormLayout*> groups;
    for (const Field& fd : fields_) {
        QLineEdit* box = nullptr;
        if (fd.integer)
            box = new kit::IntegerEdit(9, this);
        else
            box = new kit::TextEdit(list_.hasField(fd.column) ? list_.field(fd.column).length : 0,
                                    true, this);
        box->setObjectName(QStringLiteral("edit_") + fd.column);
        box->setAccessibleName(fd.label);
        // As wide as the longest value of its column.
        const int chars = fd.integer                                         ? 9
                          : box->maxLength() > 0 && box->maxLength() < 32767 ? box->maxLength()
                                                                             : 20;
        kit::fitWidth(box, fd.integer ? QString(chars, QLatin1Char('9')) : kit::longestText(chars));
        box->installEventFilter(this);
        boxes_.insert(fd.column, box);
        if (fd.column == codeColumn_) {
            box->setReadOnly(true);
            box->setEnabled(false);
        } else if (nameColumn_.isEmpty()) {
            nameColumn_ = fd.column;
        }
        QFormLayout* target = form;
        if (!fd.group.isEmpty()) {
            target = groups.value(fd.group);
            if (!target) {
                auto* g = new QGroupBox(fd.group, this);
                g->setAccessibleName(fd.group);
                target = new QFormLayout(g);
                target->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
                groups.insert(fd.group, target);
                layout->addWidget(g);
            }
        }
        auto* label = new QLabel(fd.label, this);
        label->setObjectName(QStringLiteral("lbl_") + fd.column);
        label->setBuddy(box);
        target->addRow(label, box);
    }
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("Bt_OK"));
    auto* close = new QPushButton(secondButton, this);
    close->setObjectName(QStringLiteral("Bt_Sair"));
    ok->setAccessibleName(ok->text());
    close->setAccessibleName(close->text());
    ok->setAutoDefault(false);
    close->setAutoDefault(false);
    buttons->addWidget(ok);
    buttons->addWidget(close);
    layout->addLayout(buttons);
    connect(ok, &QPushButton::clicked, this, &TFrmCadRapido::confirma);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);

    maxSql_ = maxSql;
    if (!iniciaRegistro()) {
        // Nothing to register without a code: the dialog closes as soon as it shows.
        QMetaObject::invokeMethod(this, &QDialog::reject, Qt::QueuedConnection);
        return;
    }
    if (QLineEdit* name = boxes_.value(nameColumn_))
        name->setFocus();
}

bool TFrmCadRapido::iniciaRegistro() {
    // The new row, with the highest code plus one read now.
    QVariant max;
    try {
        max = list_.database()->value(maxSql_);
    } catch (const fb::Error& e) {
        list_.database()->noteError(e);
        kit::messages().error(e.isConnectionLost()
                                  ? QStringLiteral("A conexão com o banco de dados foi perdida: "
                                                   "não foi possível iniciar o cadastro.")
                                  : QStringLiteral("Não foi possível iniciar o cadastro.\n") +
                                        e.message());
        return false;
    }
    list_.append();
    list_.setValue(codeColumn_, (max.isNull() ? 0 : max.toLongLong()) + 1);
    started_ = true;
    boxes_.value(codeColumn_)->setText(list_.value(codeColumn_).toString());
    return true;
}

TFrmCadRapido::~TFrmCadRapido() {
    if (started_ && list_.isEditing())
        list_.cancel();
}

void TFrmCadRapido::confirma() {
    if (boxes_.value(nameColumn_)->text().trimmed().isEmpty()) {
        kit::messages().information(QStringLiteral("Preencha o campo Nome"),
                                    kit::MessageService::Buttons::Yes);
        boxes_.value(nameColumn_)->setFocus();
        return;
    }
    try {
        for (const Field& fd : fields_) {
            if (fd.column == codeColumn_)
                continue;
            const QString t = boxes_.value(fd.column)->text();
            list_.setValue(fd.column, t.isEmpty() ? QVariant() : QVariant(t));
        }
        list_.post();
    } catch (const kit::DataSetError& e) {
        kit::messages().warning(e.message());
        return;
    }
    if (AplicaAtualizacoes(list_)) {
        started_ = false;
        accept();
        return;
    }
    // Not written: the dialog stays open with what was typed, to try again or leave.
    if (list_.hasPendingChanges())
        list_.edit();  // kept: the same row is saved again
    else
        iniciaRegistro();  // refused and dropped: a new row, with a code read again
}

void TFrmCadRapido::done(int result) {
    if (started_) {
        // Closing without a written OK adds nothing, not even a row kept for saving
        // again.
        list_.cancel();
        if (list_.hasPendingChanges())
            list_.cancelUpdates();
    }
    started_ = false;
    QDialog::done(result);
}

bool TFrmCadRapido::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            focusNextChild();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

TFrmCadAtiv::TFrmCadAtiv(kit::DataSet& activities, QWidget* parent)
    : TFrmCadRapido(activities, QStringLiteral("FrmCadAtiv"),
                    QStringLiteral("Cadastro de Atividades"),
                    QStringLiteral("Cadastro de Atividades"),
                    QStringLiteral("select max(CDAtividade) as MAXID from Atividade"),
                    QStringLiteral("CDATIVIDADE"),
                    {{QStringLiteral("CÓDIGO"), QStringLiteral("CDATIVIDADE"), true, {}},
                     {QStringLiteral("NOME DA ATIVIDADE"), QStringLiteral("NOME"), false, {}}},
                    QStringLiteral("Cancelar"), parent) {}

TFrmCadRec::TFrmCadRec(kit::DataSet& resources, QWidget* parent)
    : TFrmCadRapido(resources, QStringLiteral("FrmCadRec"), QStringLiteral("Cadastro de Recurso"),
                    QStringLiteral("Cadastro de Recurso"),
                    QStringLiteral("select max(CDRecurso) as MAXID from Recurso"),
                    QStringLiteral("CDRECURSO"),
                    {{QStringLiteral("CÓDIGO"), QStringLiteral("CDRECURSO"), true, {}},
                     {QStringLiteral("NOME DO RECURSO"), QStringLiteral("NOME"), false, {}},
                     {QStringLiteral("BANCO"), QStringLiteral("BANCO"), false,
                      QStringLiteral("DADOS BANCÁRIOS")},
                     {QStringLiteral("Nº AGÊNCIA"), QStringLiteral("AGENCIA"), true,
                      QStringLiteral("DADOS BANCÁRIOS")},
                     {QStringLiteral("Nº CONTA"), QStringLiteral("NUMCONTA"), false,
                      QStringLiteral("DADOS BANCÁRIOS")}},
                    QStringLiteral("Sair"), parent) {}

TFrmCadFornec::TFrmCadFornec(kit::DataSet& suppliers, QWidget* parent)
    : TFrmCadRapido(suppliers, QStringLiteral("FrmCadFornec"),
                    QStringLiteral("Cadastro de Fornecedor"),
                    QStringLiteral("Cadastro de Fornecedores"),
                    QStringLiteral("select max(CDFORNECEDOR) as MAXID from FORNECEDOR"),
                    QStringLiteral("CDFORNECEDOR"),
                    {{QStringLiteral("CÓDIGO"), QStringLiteral("CDFORNECEDOR"), true, {}},
                     {QStringLiteral("FORNECEDOR"), QStringLiteral("NOME"), false, {}},
                     {QStringLiteral("ENDEREÇO"), QStringLiteral("ENDERECO"), false, {}},
                     {QStringLiteral("CIDADE"), QStringLiteral("CIDADE"), false, {}},
                     {QStringLiteral("UF"), QStringLiteral("UF"), false, {}},
                     {QStringLiteral("CPF/CNPJ"), QStringLiteral("CPFCNPJ"), false, {}}},
                    QStringLiteral("Cancelar"), parent) {}
