#pragma once

// Routines shared by many screens: applying a data set's changes, the amount in
// words, month names, date parts and the text splitting of printed lines.

#include <QChar>
#include <QDate>
#include <QString>
#include <functional>

#include "kit/core/money.h"

namespace kit {
class DataSet;
}
namespace fb {
class Transaction;
}

// Applies the data set's pending inserts, changes and deletes in one transaction.
// When the database refuses them, the data set returns to what was last read and
// the standard warning is shown. When the connection was lost, nothing was written
// and the changes stay pending, so the operator can save again. Returns true when
// everything was written.
bool AplicaAtualizacoes(kit::DataSet& dataSet,
                        const std::function<void(fb::Transaction&)>& extra = {});

// The error shown when the connection to the database was lost and nothing was written.
QString MensagemConexaoPerdida();

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
