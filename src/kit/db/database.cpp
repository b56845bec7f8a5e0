#include "kit/db/database.h"

#include <QRandomGenerator>
#include <QThread>

namespace kit {

Database::Database(fb::ConnectParams params) : params_(std::move(params)) {}
Database::~Database() = default;

void Database::open() {
    connection_ = std::make_unique<fb::Connection>(params_);
    lost_ = false;
}

void Database::close() {
    connection_.reset();
    lost_ = false;
}

fb::Connection& Database::connection() {
    if (!connection_)
        open();
    if (lost_) {
        connection_->reconnect();  // throws while the database stays away
        lost_ = false;
    }
    return *connection_;
}

bool Database::noteError(const fb::Error& e) {
    if (e.isConnectionLost())
        lost_ = true;
    return lost_;
}

void Database::write(const std::function<void(fb::Transaction&)>& work) {
    for (int attempt = 1;; ++attempt) {
        try {
            fb::Transaction tr(connection());
            work(tr);
            tr.commit();
            return;
        } catch (const fb::Error& e) {
            noteError(e);
            if (!e.isConflict() || attempt >= maxAttempts_)
                throw;
            // The other workstation's transaction has ended (we waited for it):
            // run the work again, after a short pause that spreads out retries.
            QThread::msleep(5 * attempt + QRandomGenerator::global()->bounded(10));
        }
    }
}

int Database::execute(const QString& sql, const Params& params) {
    int affected = 0;
    write([&](fb::Transaction& tr) {
        fb::Statement s(tr, sql);
        for (const auto& [name, v] : params) s.bind(name, v);
        s.execute();
        affected = s.rowsAffected();
    });
    return affected;
}

QVariant Database::value(const QString& sql, const Params& params) {
    try {
        return fb::queryValue(connection(), sql, params);
    } catch (const fb::Error& e) {
        noteError(e);
        throw;
    }
}

QVariantMap Database::callProcedure(const QString& name, const Params& inputs) {
    QVariantMap out;
    write([&](fb::Transaction& tr) {
        QStringList markers;
        for (const auto& p : inputs) markers << QLatin1Char(':') + p.first;
        QString sql = QStringLiteral("EXECUTE PROCEDURE ") + name;
        if (!markers.isEmpty())
            sql += QLatin1Char(' ') + markers.join(QStringLiteral(", "));
        fb::Statement s(tr, sql);
        for (const auto& [n, v] : inputs) s.bind(n, v);
        s.execute();
        out.clear();
        if (s.fetch())
            for (int i = 0; i < s.columnCount(); ++i) out.insert(s.columns()[i].name, s.value(i));
    });
    return out;
}

}  // namespace kit
