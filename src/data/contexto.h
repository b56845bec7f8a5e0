#pragma once

#include <QString>
#include <memory>

#include "kit/db/dataset.h"

namespace kit {
class MessageService;
}

// What a screen needs from the program, handed to it when it is made: the
// connection, the logged-in user, the settings rows, the history writer and the
// messages. The main window owns one; a test builds one over a test database.
class Contexto {
public:
    // The logged-in user's values, set by the login.
    struct Usuario {
        int codigo = 0;  // CdUsuarioAtual
        QString nome;    // NomeUsuarioAtual
        QString alteraEmpLicitacao;
    };

    explicit Contexto(kit::Database& db);
    ~Contexto();
    Contexto(const Contexto&) = delete;
    Contexto& operator=(const Contexto&) = delete;

    kit::Database& DB_ZEL() { return db_; }
    kit::MessageService& mensagens();

    // The general settings row and the municipality's record, open for the whole run.
    void abreTabelasGerais();
    kit::DataSet& tb_geral() { return *tb_geral_; }
    kit::DataSet& tb_Empresa() { return *tb_Empresa_; }

    Usuario usuario;
    // "Cont" or "Tes", set by the two dispatch-list menu entries.
    QString ModoListagemEmpenhos;
    int CdUsuarioAtual() const { return usuario.codigo; }

    // Writes one history row of the given kind about an entry, in the caller's
    // transaction (with the rows the same action writes).
    void RegistraHistorico(fb::Transaction& tr, const QString& tipo, int cdlanc);
    // The same in a transaction of its own.
    void RegistraHistorico(const QString& tipo, int cdlanc);

    // Tells the operator that the database could not be read or written, in words
    // that say why (the connection lost, or what the database said).
    void MostraErroBanco(const fb::Error& e);

    // "Peencha os campos! (" + lista + ")"
    void AvisoCamposObrigatorios(const QString& lista);

private:
    kit::Database& db_;
    std::unique_ptr<kit::DataSet> tb_geral_;
    std::unique_ptr<kit::DataSet> tb_Empresa_;
};
