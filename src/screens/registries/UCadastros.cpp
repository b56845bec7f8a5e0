#include "screens/registries/UCadastros.h"

#include <QHBoxLayout>
#include <QLabel>

#include "kit/ui/widgets/editors.h"
#include "kit/ui/widgets/lookup.h"

using Field = TFrmManutencao::Field;
using Kind = TFrmManutencao::FieldKind;

namespace {

TFrmManutencao::Definition recurso() {
    TFrmManutencao::Definition d;
    d.objectName = QStringLiteral("FrmCadRecurso");
    d.caption = QStringLiteral("Manutenção de Recursos");
    d.sql = QStringLiteral("SELECT * FROM RECURSO ORDER BY NOME");
    d.codeColumn = QStringLiteral("CDRECURSO");
    d.maxSql = QStringLiteral("select max(CDRecurso) as MAXID from Recurso");
    d.grid = {{"CDRECURSO", "CÓDIGO", 8},
              {"NOME", "RECURSO", 40},
              {"BANCO", "BANCO", 25},
              {"NUMCONTA", "Nº CONTA", 12},
              {"AGENCIA", "Nº AGÊNCIA", 10}};
    d.fields = {{"CÓDIGO", "CDRECURSO", Kind::Integer},
                {"NOME RECURSO", "NOME"},
                {"BANCO", "BANCO", Kind::Text, "DADOS BANCÁRIOS"},
                {"Nº AGÊNCIA", "AGENCIA", Kind::Integer, "DADOS BANCÁRIOS"},
                {"-", "DIGITOAGENCIA", Kind::Text, "DADOS BANCÁRIOS"},
                {"Nº CONTA", "NUMCONTA", Kind::Text, "DADOS BANCÁRIOS"}};
    d.requiredColumn = QStringLiteral("NOME");
    d.requiredList = QStringLiteral("(Nome)");
    return d;
}

TFrmManutencao::Definition atividade() {
    TFrmManutencao::Definition d;
    d.objectName = QStringLiteral("FrmCadAtividade");
    d.caption = QStringLiteral("Manutenção de Atividades");
    d.sql = QStringLiteral("SELECT * FROM ATIVIDADE ORDER BY NOME");
    d.codeColumn = QStringLiteral("CDATIVIDADE");
    d.maxSql = QStringLiteral("select max(CDAtividade) as MAXID from Atividade");
    d.grid = {{"CDATIVIDADE", "CÓDIGO", 8}, {"NOME", "ATIVIDADE", 40}};
    // The mark that offers an activity on the bank-movement screens.
    Field tipo{"LANÇAMENTOS BANCÁRIOS", "TIPOLANC", Kind::Choice};
    tipo.choices = {{"", "NÃO APARECE NAS TELAS BANCÁRIAS"},
                    {"B", "B - DESPESAS BANCÁRIAS"},
                    {"C", "C - CRÉDITOS E TRANSFERÊNCIAS BANCÁRIAS"}};
    d.fields = {{"NOME ATIVIDADE", "NOME"}, {"CÓDIGO", "CDATIVIDADE", Kind::Integer}, tipo};
    d.requiredColumn = QStringLiteral("NOME");
    d.requiredList = QStringLiteral("(Nome)");
    return d;
}

TFrmManutencao::Definition fornecedor() {
    TFrmManutencao::Definition d;
    d.objectName = QStringLiteral("FrmCadFornecedor");
    d.caption = QStringLiteral("Manutenção de Fornecedores");
    d.sql = QStringLiteral("SELECT * FROM FORNECEDOR ORDER BY NOME");
    d.codeColumn = QStringLiteral("CDFORNECEDOR");
    d.maxSql = QStringLiteral("select max(CDFORNECEDOR) as MAXID from FORNECEDOR");
    d.grid = {{"NOME", "NOME DO FORNECEDOR", 40},
              {"ENDERECO", "ENDEREÇO", 35},
              {"CIDADE", "CIDADE", 20},
              {"UF", "UF", 3},
              {"CPFCNPJ", "CPF/CNPJ", 18}};
    d.fields = {{"NOME DO FORNECEDOR", "NOME"},
                {"ENDEREÇO", "ENDERECO"},
                {"CÓDIGO", "CDFORNECEDOR", Kind::Integer},
                {"CIDADE", "CIDADE"},
                {"UF", "UF", Kind::Text, nullptr, true},
                {"CPF/CNPJ", "CPFCNPJ"}};
    d.requiredColumn = QStringLiteral("NOME");
    d.requiredList = QStringLiteral("(Nome)");
    return d;
}

TFrmManutencao::Definition simples(const QString& object, const QString& caption,
                                   const QString& table, const QString& code, const QString& maxSql,
                                   const QString& gridTitle, const QString& label) {
    TFrmManutencao::Definition d;
    d.objectName = object;
    d.caption = caption;
    d.sql = QStringLiteral("SELECT * FROM %1 ORDER BY DESCRICAO").arg(table);
    d.codeColumn = code;
    d.maxSql = maxSql;
    d.grid = {{"DESCRICAO", gridTitle, 50}};
    d.fields = {{label, "DESCRICAO"}, {"CÓDIGO", code, Kind::Integer}};
    d.requiredColumn = QStringLiteral("DESCRICAO");
    d.requiredList = QStringLiteral("(Nome)");
    return d;
}

TFrmManutencao::Definition funcionario() {
    TFrmManutencao::Definition d;
    d.objectName = QStringLiteral("FrmCadFuncionario");
    d.caption = QStringLiteral("Manutenção de Funcionario");
    d.sql = QStringLiteral("SELECT * FROM FUNCIONARIO ORDER BY NOME");
    d.codeColumn = QStringLiteral("CDFUNCIONARIO");
    d.maxSql = QStringLiteral("select max(CDFuncionario) as MAXID from Funcionario");
    d.grid = {{"NOME", "NOME DO FUNCIONARIO", 40},
              {"CPF", "CPF", 15},
              {"RG", "RG", 13},
              {"FUNCAO", "FUNÇÃO", 25},
              {"MATRICULA", "MATRICULA", 12}};
    d.fields = {{"CÓDIGO", "CDFUNCIONARIO", Kind::Integer},
                {"NOME DO FUNCIONARIO", "NOME", Kind::Text, nullptr, true},
                {"MATRICULA", "MATRICULA"},
                {"CPF", "CPF", Kind::Text, nullptr, true},
                {"RG", "RG", Kind::Text, nullptr, true},
                {"CARGO/FUNÇÃO", "FUNCAO"},
                {"ENDEREÇO", "ENDERECO"},
                {"CIDADE", "CIDADE"},
                {"UF", "UF", Kind::Text, nullptr, true}};
    d.requiredColumn = QStringLiteral("NOME");
    d.requiredList = QStringLiteral("(Nome)");
    return d;
}

}  // namespace

TFrmCadRecurso::TFrmCadRecurso(Contexto& contexto, QWidget* parent)
    : TFrmManutencao(contexto, recurso(), nullptr, parent) {}

TFrmCadAtividade::TFrmCadAtividade(Contexto& contexto, QWidget* parent)
    : TFrmManutencao(contexto, atividade(), nullptr, parent) {}

TFrmCadFornecedor::TFrmCadFornecedor(Contexto& contexto, QWidget* parent)
    : TFrmManutencao(contexto, fornecedor(), nullptr, parent) {
    auto* label = new QLabel(QStringLiteral("DIGITE O NOME DO FORNECEDOR"), consultaPanel());
    auto* search = new kit::TextEdit(50, true, consultaPanel());
    search->setObjectName(QStringLiteral("edit_localiza"));
    kit::FieldBinder::label(label, search);
    auto* layout = static_cast<QHBoxLayout*>(consultaPanel()->layout());
    layout->insertWidget(layout->count() - 1, label);
    layout->insertWidget(layout->count() - 1, search, 1);
    connect(search, &QLineEdit::textChanged, this, &TFrmCadFornecedor::localiza);
}

void TFrmCadFornecedor::localiza(const QString& text) {
    if (!dataSet().isEditing())
        kit::locatePrefix(dataSet(), QStringLiteral("NOME"), text);
}

TFrmCadLocalidade::TFrmCadLocalidade(Contexto& contexto, QWidget* parent)
    : TFrmManutencao(
          contexto,
          simples(QStringLiteral("FrmCadLocalidade"),
                  QStringLiteral("Manutenção de Localidades do Empenho"),
                  QStringLiteral("LOCALIDADE"), QStringLiteral("CDLOCAL"),
                  QStringLiteral("select max(CDLocal) as MAXID from Localidade"),
                  QStringLiteral("NOME LOCALIDADE"), QStringLiteral("NOME LOCALIDADE DO EMPENHO")),
          nullptr, parent) {}

TFrmCadModalidadeEmp::TFrmCadModalidadeEmp(Contexto& contexto, QWidget* parent)
    : TFrmManutencao(contexto,
                     simples(QStringLiteral("FrmCadModalidadeEmp"),
                             QStringLiteral("Manutenção de Modalidades"),
                             QStringLiteral("MODALIDADE"), QStringLiteral("CDMODALIDADE"),
                             QStringLiteral("select max(CDmodalidade) as MAXID from modalidade"),
                             QStringLiteral("NOME MODALIDADE"), QStringLiteral("NOME MODALIDADE")),
                     nullptr, parent) {
    mostraConsulta();
}

TFrmCadSecretaria::TFrmCadSecretaria(Contexto& contexto, QWidget* parent)
    : TFrmManutencao(
          contexto,
          simples(QStringLiteral("FrmCadSecretaria"), QStringLiteral("Manutenção de Secretarias"),
                  QStringLiteral("SECRETARIA"), QStringLiteral("CDSECRETARIA"),
                  QStringLiteral("select max(CDsecretaria) as MAXID from SECRETARIA"),
                  QStringLiteral("NOME DA SECRETARIA"), QStringLiteral("NOME DA SECRETARIA")),
          nullptr, parent) {
    mostraConsulta();
}

TFrmCadFuncionario::TFrmCadFuncionario(Contexto& contexto, QWidget* parent)
    : TFrmManutencao(contexto, funcionario(), nullptr, parent) {}
