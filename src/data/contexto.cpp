#include "data/contexto.h"

#include "data/U_Biblioteca.h"
#include "kit/core/messages.h"

Contexto::Contexto(kit::Database& db)
    : db_(db),
      tb_geral_(std::make_unique<kit::DataSet>(&db)),
      tb_Empresa_(std::make_unique<kit::DataSet>(&db)) {
    tb_geral_->setObjectName(QStringLiteral("tb_geral"));
    tb_geral_->setSql(QStringLiteral("SELECT * FROM GERAL"));
    tb_Empresa_->setObjectName(QStringLiteral("tb_Empresa"));
    tb_Empresa_->setSql(QStringLiteral("SELECT * FROM EMPRESA"));
}

Contexto::~Contexto() = default;

kit::MessageService& Contexto::mensagens() {
    return kit::messages();
}

void Contexto::abreTabelasGerais() {
    tb_geral_->open();
    tb_Empresa_->open();
}

void Contexto::RegistraHistorico(fb::Transaction& tr, const QString& tipo, int cdlanc) {
    GravaHistorico(tr, usuario.codigo, tipo, cdlanc);
}

void Contexto::RegistraHistorico(const QString& tipo, int cdlanc) {
    db_.write([&](fb::Transaction& tr) { RegistraHistorico(tr, tipo, cdlanc); });
}

void Contexto::AvisoCamposObrigatorios(const QString& lista) {
    kit::messages().information(QStringLiteral("Peencha os campos! (") + lista +
                                QStringLiteral(")"));
}

void Contexto::MostraErroBanco(const fb::Error& e) {
    db_.noteError(e);
    if (e.isConnectionLost())
        kit::messages().error(MensagemSemConexao());
    else
        kit::messages().error(QStringLiteral("O banco de dados não atendeu o pedido.\n") +
                              e.message().section(QLatin1Char('\n'), 0, 0));
}
