#pragma once

// Routines shared by many screens: applying a data set's changes, the amount in
// words, month names, date parts and the text splitting of printed lines.

#include <QChar>
#include <QDate>
#include <QString>
#include <functional>
#include <memory>

#include "kit/core/money.h"
#include "kit/db/fbclient.h"

namespace kit {
class DataSet;
}

// Applies the data set's pending inserts, changes and deletes and then runs extra
// (when given: the history row, the marks on other rows, another data set's
// writePending()) in the SAME transaction, and commits: all of it is written or none.
// The data set's rows count as applied only after the commit.
// Returns true when everything was written. On false nothing was written, one message
// was shown, and ds.hasPendingChanges() tells what became of the changes:
// - kept pending (true; the operator's typing is not lost, "Gravar" can be tried
//   again): the connection was lost (MensagemConexaoPerdida, an error box); a row was
//   changed or deleted by another workstation since it was read
//   (MensagemRegistroAlterado); another workstation held the rows through every retry
//   (MensagemConflito); a value refused before the database (its own message, naming
//   the field) or by it as too large, a date out of range, a text too long or with
//   characters the database cannot hold (MensagemRecusa);
// - discarded (false; the data set is back to what was last read): a reference rule
//   refused it (a row other rows point to, a reference to nothing:
//   MensagemRelacionamentos), a key already taken, a check or required column
//   (MensagemRecusa), any other refusal of the database.
// A DataSetError thrown by extra is shown as it is and the changes are kept.
// Other data sets written by extra are marked applied by the caller after a true
// return (DataSet::markApplied()).
bool AplicaAtualizacoes(kit::DataSet& dataSet,
                        const std::function<void(fb::Transaction&)>& extra = {});

// Writes a user history row (HISTORICOUSUARIO: its code from INCREMENTA_CD_HISTORICOUSU,
// today's date and the current time) in the caller's transaction, so that it goes with
// the change it records: AplicaAtualizacoes(ds, [&](fb::Transaction& tr) {
// GravaHistorico(tr, usuario, "L", cdLancamento); }). Throws fb::Error.
void GravaHistorico(fb::Transaction& tr, int cdUsuario, const QString& tipo, int cdLanc);

// The same for many rows of one transaction (a launch of many cheques): the
// statements are prepared once. Throws fb::Error.
class GravadorHistorico {
public:
    GravadorHistorico(fb::Transaction& tr, int cdUsuario);
    ~GravadorHistorico();
    GravadorHistorico(const GravadorHistorico&) = delete;
    GravadorHistorico& operator=(const GravadorHistorico&) = delete;
    void grava(const QString& tipo, int cdLanc);

private:
    int cdUsuario_;
    std::unique_ptr<fb::Statement> codigo_;
    std::unique_ptr<fb::Statement> insere_;
};

// The warning shown when a row was changed or deleted by another workstation since it
// was read.
QString MensagemRegistroAlterado();

// The warning shown when other workstations held the same rows through every retry.
QString MensagemConflito();

// The warning for a refusal of the database that is neither a reference rule nor a
// lost connection (value too large, date out of range, key taken, check...).
QString MensagemRecusa(const fb::Error& e);

// The error shown when the connection to the database was lost and nothing was written.
QString MensagemConexaoPerdida();
// The same when nothing was being written (a list read, a code asked for): nothing
// changed, try again when the connection is back.
QString MensagemSemConexao();

// The warning shown when the database refuses a change.
QString MensagemRelacionamentos();

// True while the data set is inserting or editing.
bool EmEdicao(const kit::DataSet& dataSet);

// The amount in Portuguese words, upper case ("UM MIL E CEM REAIS ").
QString ValorPorExtenso(kit::Money valor);

QString FormataDecimal(int casas, kit::Money valor);
double ConverteNumero(const QString& texto);
QString UnidadePorExtenso(QChar digito);
QString DezenaPorExtenso(QChar digito);
QString CentenaPorExtenso(QChar digito);
QString DezPorExtenso(QChar digito);  // the teens, by the units digit
QString GrandezaPorExtenso(int digitosADireita, bool plural);

QString NomeDoMes(const QDate& data);
int AnoDaData(const QDate& data);
int DiasDoMes(int mes, int ano);

QString CopiaInicio(const QString& texto, int n);
QString CopiaApos(const QString& texto, int n);
