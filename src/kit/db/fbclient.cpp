#include "kit/db/fbclient.h"

#include <ibase.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>
#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <type_traits>

#include "kit/core/latin1.h"

static_assert(std::is_same_v<isc_db_handle, unsigned int>, "handle type");
static_assert(std::is_same_v<isc_tr_handle, unsigned int>, "handle type");

namespace fb {

namespace {

constexpr int kDialect = 3;

QVector<long> statusCodes(const ISC_STATUS* status) {
    QVector<long> codes;
    const ISC_STATUS* p = status;
    while (*p != isc_arg_end) {
        const ISC_STATUS arg = *p++;
        switch (arg) {
            case isc_arg_gds:
                codes.append(static_cast<long>(*p++));
                break;
            case isc_arg_cstring:
                p += 2;
                break;
            default:
                ++p;
                break;
        }
    }
    return codes;
}

QString statusText(const ISC_STATUS* status) {
    QStringList lines;
    const ISC_STATUS* p = status;
    char buffer[1024];
    while (fb_interpret(buffer, sizeof buffer, &p) > 0) lines << QString::fromLatin1(buffer);
    return lines.join(QLatin1Char('\n'));
}

// The first operating-system error number in a status vector, or 0.
int statusSystemError(const ISC_STATUS* status) {
    for (const ISC_STATUS* p = status; *p != isc_arg_end;) {
        const ISC_STATUS arg = *p++;
        if (arg == isc_arg_unix)
            return static_cast<int>(*p);
        p += arg == isc_arg_cstring ? 2 : 1;
    }
    return 0;
}

[[noreturn]] void raise(const ISC_STATUS* status, const QString& context = {}) {
    QString text = statusText(status);
    if (!context.isEmpty())
        text = context + QLatin1Char('\n') + text;
    throw Error(text, statusCodes(status), static_cast<int>(isc_sqlcode(status)),
                Error::Kind::Database, statusSystemError(status));
}

void check(const ISC_STATUS* status, const QString& context = {}) {
    if (status[0] == 1 && status[1] != 0)
        raise(status, context);
}

QByteArray toWire(const QString& text) {
    return kit::foldToLatin1(text).toLatin1();
}

// A value of the connection request: Latin-1, at most 255 bytes (its length is one
// byte). Anything else is refused here, before the client library sees it.
QByteArray connectValue(const QString& value, const char* what) {
    const QString name = QString::fromUtf8(what);
    for (const QChar c : value)
        if (c.unicode() > 0xFF || c.unicode() < 0x20)
            throw Error(QStringLiteral("%1 da conexão contém caracteres que o Firebird não aceita.")
                            .arg(name),
                        {}, 0, Error::Kind::Input);
    const QByteArray bytes = value.toLatin1();
    if (bytes.size() > 255)
        throw Error(QStringLiteral("%1 da conexão tem %2 caracteres; o Firebird aceita no máximo "
                                   "255.")
                        .arg(name)
                        .arg(bytes.size()),
                    {}, 0, Error::Kind::Input);
    return bytes;
}

void checkConnectParams(const ConnectParams& p) {
    connectValue(p.user, "O nome do usuário");
    connectValue(p.password, "A senha");
    connectValue(p.role, "O papel (role)");
    connectValue(p.charset, "O conjunto de caracteres");
    if (p.database.toLocal8Bit().size() > 4000)
        throw Error(QStringLiteral("O local do banco de dados é longo demais (%1 caracteres).")
                        .arg(p.database.size()),
                    {}, 0, Error::Kind::Input);
}

// The connection request carries each length in one byte: checkConnectParams() has
// refused longer values.
void appendDpbString(QByteArray& dpb, char tag, const QByteArray& value) {
    dpb.append(tag);
    dpb.append(static_cast<char>(value.size()));
    dpb.append(value);
}

QByteArray buildDpb(const ConnectParams& p) {
    checkConnectParams(p);
    QByteArray dpb;
    dpb.append(static_cast<char>(isc_dpb_version1));
    appendDpbString(dpb, isc_dpb_user_name, p.user.toLatin1());
    if (!p.password.isEmpty())
        appendDpbString(dpb, isc_dpb_password, p.password.toLatin1());
    if (!p.role.isEmpty())
        appendDpbString(dpb, isc_dpb_sql_role_name, p.role.toLatin1());
    appendDpbString(dpb, isc_dpb_lc_ctype, p.charset.toLatin1());
    dpb.append(static_cast<char>(isc_dpb_sql_dialect));
    dpb.append(static_cast<char>(4));
    const int dialect = kDialect;
    dpb.append(reinterpret_cast<const char*>(&dialect), 4);
    return dpb;
}

QString quoteSqlString(const QString& s) {
    QString q = s;
    q.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + q + QLatin1Char('\'');
}

// Firebird's day 0 is 17 November 1858 (modified Julian day 0).
constexpr qint64 kJulianOfEpoch = 2400001;

ISC_DATE encodeDate(const QDate& d) {
    return static_cast<ISC_DATE>(d.toJulianDay() - kJulianOfEpoch);
}
QDate decodeDate(ISC_DATE d) {
    return QDate::fromJulianDay(static_cast<qint64>(d) + kJulianOfEpoch);
}
ISC_TIME encodeTime(const QTime& t) {
    return static_cast<ISC_TIME>(t.msecsSinceStartOfDay()) * 10;
}
QTime decodeTime(ISC_TIME t) {
    return QTime::fromMSecsSinceStartOfDay(static_cast<int>(t / 10));
}

qint64 pow10(int n) {
    qint64 r = 1;
    while (n-- > 0) r *= 10;
    return r;
}

}  // namespace

// ---------------------------------------------------------------- Error

Error::Error(QString message, QVector<long> codes, int sqlCode, Kind kind, int systemError)
    : std::runtime_error(message.toStdString()),
      message_(std::move(message)),
      codes_(std::move(codes)),
      sqlCode_(sqlCode),
      kind_(kind),
      systemError_(systemError) {}

bool Error::isConflict() const {
    // A row another transaction erased and committed while this one waited for it
    // comes as a plain message ("cannot update erased record"): read again, it is gone.
    return hasCode(isc_deadlock) || hasCode(isc_update_conflict) || hasCode(isc_lock_conflict) ||
           hasCode(isc_concurrent_transaction) ||
           (hasCode(isc_random) &&
            message_.contains(QLatin1String("cannot update erased record"), Qt::CaseInsensitive));
}

bool Error::isConstraintViolation() const {
    return hasCode(isc_foreign_key) || hasCode(isc_unique_key_violation) || hasCode(isc_no_dup) ||
           hasCode(isc_check_constraint) || hasCode(isc_not_valid) ||
           hasCode(isc_foreign_key_target_doesnt_exist) ||
           hasCode(isc_foreign_key_references_present);
}

bool Error::isReferenceViolation() const {
    return hasCode(isc_foreign_key) || hasCode(isc_foreign_key_target_doesnt_exist) ||
           hasCode(isc_foreign_key_references_present);
}

bool Error::isUniqueViolation() const {
    return !isReferenceViolation() && (hasCode(isc_unique_key_violation) || hasCode(isc_no_dup));
}

bool Error::isCheckViolation() const {
    return hasCode(isc_check_constraint) || hasCode(isc_not_valid);
}

bool Error::isNumericOverflow() const {
    return hasCode(isc_numeric_out_of_range) ||
           (hasCode(isc_arith_except) && !isStringTruncation() && !isDateOutOfRange());
}

bool Error::isDateOutOfRange() const {
    return hasCode(isc_date_range_exceeded) || hasCode(isc_time_range_exceeded) ||
           hasCode(isc_datetime_range_exceeded);
}

bool Error::isStringTruncation() const {
    return hasCode(isc_string_truncation) || hasCode(isc_trunc_limits);
}

bool Error::isTransliteration() const {
    return hasCode(isc_transliteration_failed);
}

bool Error::isConnectionLost() const {
    return hasCode(isc_network_error) || hasCode(isc_net_read_err) || hasCode(isc_net_write_err) ||
           hasCode(isc_lost_db_connection) || hasCode(isc_att_shutdown) || hasCode(isc_shutdown) ||
           hasCode(isc_bad_db_handle) || hasCode(isc_conn_lost);
}

bool Error::isUnavailable() const {
    return hasCode(isc_network_error) || hasCode(isc_unavailable) || hasCode(isc_net_connect_err);
}

bool Error::isLoginRefused() const {
    return hasCode(isc_login);
}

// ---------------------------------------------------------------- params

bool ConnectParams::isRemote() const {
    if (database.startsWith(QLatin1String("inet://"), Qt::CaseInsensitive) ||
        database.startsWith(QLatin1String("xnet://"), Qt::CaseInsensitive) ||
        database.startsWith(QLatin1String("wnet://"), Qt::CaseInsensitive))
        return true;
    // "host:/path" or "host/port:/path"; a Windows drive letter "C:\..." is local.
    static const QRegularExpression remote(QStringLiteral("^[^:/\\\\]{2,}(/[^:]+)?:"));
    return remote.match(database).hasMatch();
}

namespace {

QString systemText(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

// Makes or checks a folder only this user may use: a real folder (not a link),
// owned by the effective user and writable by nobody else; then narrowed to 0700.
// Returns what is wrong, or nothing.
QString makePrivateFolder(const QString& path) {
    const QByteArray native = QFile::encodeName(path);
    if (::mkdir(native.constData(), 0700) != 0 && errno != EEXIST)
        return QStringLiteral("a pasta \"%1\" não pôde ser criada (%2)")
            .arg(path, systemText(errno));
    const int fd = ::open(native.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOTDIR || errno == ELOOP
                   ? QStringLiteral("\"%1\" não é uma pasta (é um link ou um arquivo)").arg(path)
                   : QStringLiteral("a pasta \"%1\" não pôde ser aberta (%2)")
                         .arg(path, systemText(errno));
    struct stat st {};
    QString problem;
    if (::fstat(fd, &st) != 0)
        problem = QStringLiteral("a pasta \"%1\" não pôde ser examinada (%2)")
                      .arg(path, systemText(errno));
    else if (st.st_uid != ::geteuid())
        problem = QStringLiteral("a pasta \"%1\" pertence a outro usuário (uid %2)")
                      .arg(path)
                      .arg(st.st_uid);
    else if ((st.st_mode & 022) != 0)
        problem = QStringLiteral(
                      "a pasta \"%1\" pode ser alterada por outros usuários "
                      "(permissões %2)")
                      .arg(path)
                      .arg(st.st_mode & 0777, 4, 8, QLatin1Char('0'));
    else if ((st.st_mode & 0777) != 0700 && ::fchmod(fd, 0700) != 0)
        problem = QStringLiteral("as permissões da pasta \"%1\" não puderam ser restringidas (%2)")
                      .arg(path, systemText(errno));
    ::close(fd);
    return problem;
}

// Writes a new file (never an existing one, never through a link), readable by
// this user only, and reads it back.
QString writeFreshFile(const QString& path, const QByteArray& content) {
    const QByteArray native = QFile::encodeName(path);
    const int fd =
        ::open(native.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        return QStringLiteral("o arquivo \"%1\" não pôde ser criado (%2)")
            .arg(path, systemText(errno));
    qint64 written = 0;
    while (written < content.size()) {
        const ssize_t n = ::write(fd, content.constData() + written,
                                  static_cast<size_t>(content.size() - written));
        if (n <= 0)
            break;
        written += n;
    }
    const bool closed = ::close(fd) == 0;
    QFile back(path);
    if (written != content.size() || !closed || !back.open(QIODevice::ReadOnly) ||
        back.readAll() != content)
        return QStringLiteral("o arquivo \"%1\" não pôde ser gravado por inteiro").arg(path);
    return {};
}

QString makeLink(const QString& target, const QString& link) {
    const QByteArray nativeTarget = QFile::encodeName(target);
    const QByteArray nativeLink = QFile::encodeName(link);
    if (::symlink(nativeTarget.constData(), nativeLink.constData()) != 0 ||
        QFile::symLinkTarget(link) != QFileInfo(target).absoluteFilePath())
        return QStringLiteral("o link \"%1\" não pôde ser criado").arg(link);
    return {};
}

QString systemFirebirdRoot() {
    for (const char* c :
         {"/usr/lib/x86_64-linux-gnu/firebird/3.0", "/usr/lib/aarch64-linux-gnu/firebird/3.0",
          "/usr/lib/firebird/3.0", "/opt/firebird"})
        if (QFileInfo::exists(QLatin1String(c) + QStringLiteral("/plugins.conf")))
            return QLatin1String(c);
    return {};
}

// Removes the configuration folders of this user's processes that have ended.
void removeStaleConfigurations(const QString& base) {
    const QStringList entries =
        QDir(base).entryList({QStringLiteral("conf-*")}, QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& name : entries) {
        const int pid = name.section(QLatin1Char('-'), 1, 1).toInt();
        if (pid > 0 && ::kill(pid, 0) != 0 && errno == ESRCH)
            QDir(base + QLatin1Char('/') + name).removeRecursively();
    }
}

QString& ownConfiguration() {
    static QString path;
    return path;
}

// A configuration folder of this process: firebird.conf with SuperClassic, the
// character sets module copied (the engine does not take it through a link), links
// to the system's messages, plugins and their list.
QString writeConfiguration(const QString& base, const QString& systemRoot, QString* root) {
    QByteArray templ = QFile::encodeName(base + QStringLiteral("/conf-%1-XXXXXX").arg(::getpid()));
    if (::mkdtemp(templ.data()) == nullptr)
        return QStringLiteral("a pasta de configuração não pôde ser criada em \"%1\" (%2)")
            .arg(base, systemText(errno));
    *root = QFile::decodeName(templ);
    ownConfiguration() = *root;
    std::atexit([] {
        if (!ownConfiguration().isEmpty())
            QDir(ownConfiguration()).removeRecursively();
    });
    QString problem =
        writeFreshFile(*root + QStringLiteral("/firebird.conf"),
                       "# Written by Tesouraria: several processes share embedded database files.\n"
                       "ServerMode = SuperClassic\n");
    if (!problem.isEmpty())
        return problem;
    if (::mkdir(QFile::encodeName(*root + QStringLiteral("/intl")).constData(), 0700) != 0)
        return QStringLiteral("a pasta \"%1/intl\" não pôde ser criada").arg(*root);
    for (const char* entry : {"intl/libfbintl.so", "intl/fbintl.conf"}) {
        QFile source(systemRoot + QLatin1Char('/') + QLatin1String(entry));
        if (!source.exists())
            continue;
        if (!source.open(QIODevice::ReadOnly))
            return QStringLiteral("o arquivo \"%1\" não pôde ser lido").arg(source.fileName());
        problem = writeFreshFile(*root + QLatin1Char('/') + QLatin1String(entry), source.readAll());
        if (!problem.isEmpty())
            return problem;
    }
    for (const char* entry :
         {"plugins.conf", "firebird.msg", "databases.conf", "plugins", "UDF", "lib"}) {
        const QString target = systemRoot + QLatin1Char('/') + QLatin1String(entry);
        if (!QFileInfo::exists(target))
            continue;
        problem = makeLink(QFileInfo(target).canonicalFilePath(),
                           *root + QLatin1Char('/') + QLatin1String(entry));
        if (!problem.isEmpty())
            return problem;
    }
    return {};
}

QString setUpEmbeddedEnvironment() {
    const bool needRoot = qEnvironmentVariableIsEmpty("FIREBIRD");
    const bool needLock = qEnvironmentVariableIsEmpty("FIREBIRD_LOCK");
    if (!needRoot && !needLock)
        return {};
    const QString base =
        QDir::tempPath() + QStringLiteral("/tesouraria-firebird-%1").arg(::geteuid());
    QString problem = makePrivateFolder(base);
    if (problem.isEmpty() && needRoot) {
        const QString systemRoot = systemFirebirdRoot();
        if (!systemRoot.isEmpty()) {
            removeStaleConfigurations(base);
            QString root;
            problem = writeConfiguration(base, systemRoot, &root);
            if (problem.isEmpty())
                qputenv("FIREBIRD", QFile::encodeName(root));
        }
    }
    // The lock folder is the same for every process of the user: processes that
    // share a file meet there.
    if (problem.isEmpty() && needLock) {
        const QString lock = base + QStringLiteral("/lock");
        problem = makePrivateFolder(lock);
        if (problem.isEmpty())
            qputenv("FIREBIRD_LOCK", QFile::encodeName(lock));
    }
    if (problem.isEmpty())
        return {};
    return QStringLiteral(
               "A configuração do Firebird embutido não pôde ser preparada com segurança: %1.\n"
               "O programa não abre bancos de dados locais assim. Apague a pasta \"%2\" (ou "
               "faça-a pertencer a este usuário, com permissões 0700) e tente de novo.")
        .arg(problem, base);
}

}  // namespace

void prepareEmbeddedEnvironment() {
    static const QString problem = setUpEmbeddedEnvironment();
    if (!problem.isEmpty())
        throw Error(problem, {}, 0, Error::Kind::Input);
}

// ---------------------------------------------------------------- Connection

Connection::Connection(const ConnectParams& params) : params_(params) {
    attach();
}

Connection::~Connection() {
    if (db_) {
        ISC_STATUS_ARRAY st;
        isc_detach_database(st, &db_);
    }
}

void Connection::attach() {
    const QByteArray dpb = buildDpb(params_);
    if (!params_.isRemote())
        prepareEmbeddedEnvironment();
    ISC_STATUS_ARRAY st;
    const QByteArray path = params_.database.toLocal8Bit();
    db_ = 0;
    isc_attach_database(st, static_cast<short>(path.size()), path.constData(), &db_,
                        static_cast<short>(dpb.size()), dpb.constData());
    if (st[0] == 1 && st[1] != 0) {
        db_ = 0;
        raise(st);
    }
}

void Connection::reconnect() {
    if (db_) {
        ISC_STATUS_ARRAY st;
        isc_detach_database(st, &db_);
        db_ = 0;
    }
    attach();
}

std::unique_ptr<Connection> Connection::create(const ConnectParams& params, int pageSize) {
    checkConnectParams(params);
    if (!params.isRemote())
        prepareEmbeddedEnvironment();
    QString sql = QStringLiteral("CREATE DATABASE %1 USER %2")
                      .arg(quoteSqlString(params.database), quoteSqlString(params.user));
    if (!params.password.isEmpty())
        sql += QStringLiteral(" PASSWORD ") + quoteSqlString(params.password);
    sql += QStringLiteral(" PAGE_SIZE %1 DEFAULT CHARACTER SET ISO8859_1").arg(pageSize);
    ISC_STATUS_ARRAY st;
    isc_db_handle db = 0;
    isc_tr_handle tr = 0;
    const QByteArray text = sql.toLocal8Bit();
    isc_dsql_execute_immediate(st, &db, &tr, 0, text.constData(), kDialect, nullptr);
    check(st);
    isc_detach_database(st, &db);
    return std::make_unique<Connection>(params);
}

void Connection::drop() {
    if (!db_)
        attach();
    ISC_STATUS_ARRAY st;
    isc_drop_database(st, &db_);
    check(st);
    db_ = 0;
}

// ---------------------------------------------------------------- Transaction

Transaction::Transaction(Connection& connection, Access access, Isolation isolation)
    : connection_(connection) {
    QByteArray tpb;
    tpb.append(static_cast<char>(isc_tpb_version3));
    tpb.append(static_cast<char>(access == Access::ReadWrite ? isc_tpb_write : isc_tpb_read));
    if (isolation == Isolation::Snapshot) {
        tpb.append(static_cast<char>(isc_tpb_concurrency));
    } else {
        tpb.append(static_cast<char>(isc_tpb_read_committed));
        tpb.append(static_cast<char>(isc_tpb_rec_version));
    }
    tpb.append(static_cast<char>(isc_tpb_wait));
    ISC_STATUS_ARRAY st;
    auto* db = static_cast<isc_db_handle*>(connection.handle());
    isc_start_transaction(st, &tr_, 1, db, static_cast<unsigned short>(tpb.size()),
                          tpb.constData());
    if (st[0] == 1 && st[1] != 0) {
        tr_ = 0;
        raise(st);
    }
}

Transaction::~Transaction() {
    if (tr_) {
        ISC_STATUS_ARRAY st;
        isc_rollback_transaction(st, &tr_);
    }
}

void Transaction::commit() {
    ISC_STATUS_ARRAY st;
    isc_commit_transaction(st, &tr_);
    check(st);
    tr_ = 0;
}

void Transaction::rollback() {
    if (!tr_)
        return;
    ISC_STATUS_ARRAY st;
    isc_rollback_transaction(st, &tr_);
    tr_ = 0;
    check(st);
}

void Transaction::executeImmediate(const QString& sql) {
    ISC_STATUS_ARRAY st;
    const QByteArray text = toWire(sql);
    isc_dsql_execute_immediate(st, static_cast<isc_db_handle*>(connection_.handle()), &tr_, 0,
                               text.constData(), kDialect, nullptr);
    check(st);
}

// ---------------------------------------------------------------- Statement

QString translateNamedParameters(const QString& sql, QStringList* names) {
    QString out;
    out.reserve(sql.size());
    const int n = sql.size();
    int i = 0;
    while (i < n) {
        const QChar c = sql[i];
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            const int end = sql.indexOf(c, i + 1);
            const int stop = end < 0 ? n : end + 1;
            out += QStringView(sql).mid(i, stop - i);
            i = stop;
        } else if (c == QLatin1Char('-') && i + 1 < n && sql[i + 1] == QLatin1Char('-')) {
            const int end = sql.indexOf(QLatin1Char('\n'), i);
            const int stop = end < 0 ? n : end;
            out += QStringView(sql).mid(i, stop - i);
            i = stop;
        } else if (c == QLatin1Char('/') && i + 1 < n && sql[i + 1] == QLatin1Char('*')) {
            const int end = sql.indexOf(QLatin1String("*/"), i + 2);
            const int stop = end < 0 ? n : end + 2;
            out += QStringView(sql).mid(i, stop - i);
            i = stop;
        } else if (c == QLatin1Char(':') && i + 1 < n &&
                   (sql[i + 1].isLetter() || sql[i + 1] == QLatin1Char('_'))) {
            int j = i + 1;
            while (j < n && (sql[j].isLetterOrNumber() || sql[j] == QLatin1Char('_') ||
                             sql[j] == QLatin1Char('$')))
                ++j;
            names->append(sql.mid(i + 1, j - i - 1).toUpper());
            out += QLatin1Char('?');
            i = j;
        } else {
            out += c;
            ++i;
        }
    }
    return out;
}

struct Statement::Impl {
    isc_stmt_handle stmt = 0;
    XSQLDA* in = nullptr;
    XSQLDA* out = nullptr;
    QVector<QByteArray> inBuffers;
    QVector<short> inNulls;
    QVector<QByteArray> outBuffers;
    QVector<short> outNulls;

    static XSQLDA* allocate(int n) {
        const size_t size = XSQLDA_LENGTH(n);
        auto* da = static_cast<XSQLDA*>(std::calloc(1, size));
        da->version = SQLDA_VERSION1;
        da->sqln = static_cast<ISC_SHORT>(n);
        return da;
    }
    ~Impl() {
        if (stmt) {
            ISC_STATUS_ARRAY st;
            isc_dsql_free_statement(st, &stmt, DSQL_drop);
        }
        std::free(in);
        std::free(out);
    }
};

namespace {

FieldType typeOf(const XSQLVAR& v) {
    switch (v.sqltype & ~1) {
        case SQL_SHORT:
        case SQL_LONG:
        case SQL_INT64:
            if (v.sqlscale == 0)
                return FieldType::Integer;
            return v.sqlscale == -2 ? FieldType::Money : FieldType::Decimal;
        case SQL_FLOAT:
        case SQL_DOUBLE:
        case SQL_D_FLOAT:
            return FieldType::Double;
        case SQL_TYPE_DATE:
            return FieldType::Date;
        case SQL_TYPE_TIME:
            return FieldType::Time;
        case SQL_TIMESTAMP:
            return FieldType::Timestamp;
        case SQL_BLOB:
            return v.sqlsubtype == 1 ? FieldType::TextBlob : FieldType::Blob;
        case SQL_BOOLEAN:
            return FieldType::Boolean;
        default:
            return FieldType::Text;
    }
}

QByteArray readBlob(Transaction& tr, ISC_QUAD id) {
    ISC_STATUS_ARRAY st;
    isc_blob_handle blob = 0;
    isc_open_blob2(st, static_cast<isc_db_handle*>(tr.connection().handle()),
                   static_cast<isc_tr_handle*>(tr.handle()), &blob, &id, 0, nullptr);
    check(st);
    QByteArray data;
    char buffer[32768];
    for (;;) {
        unsigned short got = 0;
        const ISC_STATUS rc = isc_get_segment(st, &blob, &got, sizeof buffer, buffer);
        if (rc == 0 || rc == isc_segment) {
            data.append(buffer, got);
            continue;
        }
        if (rc == isc_segstr_eof)
            break;
        ISC_STATUS_ARRAY st2;
        isc_close_blob(st2, &blob);
        raise(st);
    }
    isc_close_blob(st, &blob);
    return data;
}

ISC_QUAD writeBlob(Transaction& tr, const QByteArray& data) {
    ISC_STATUS_ARRAY st;
    isc_blob_handle blob = 0;
    ISC_QUAD id{};
    isc_create_blob2(st, static_cast<isc_db_handle*>(tr.connection().handle()),
                     static_cast<isc_tr_handle*>(tr.handle()), &blob, &id, 0, nullptr);
    check(st);
    for (qsizetype pos = 0; pos < data.size(); pos += 32768) {
        const auto len = static_cast<unsigned short>(std::min<qsizetype>(32768, data.size() - pos));
        isc_put_segment(st, &blob, len, data.constData() + pos);
        if (st[0] == 1 && st[1] != 0) {
            ISC_STATUS_ARRAY st2;
            isc_cancel_blob(st2, &blob);
            raise(st);
        }
    }
    isc_close_blob(st, &blob);
    check(st);
    return id;
}

Error inputError(const QString& message) {
    return Error(message, {}, 0, Error::Kind::Input);
}

Error invalidValue(const QString& name, const QVariant& v) {
    return inputError(QStringLiteral("Valor inválido para %1: \"%2\".").arg(name, v.toString()));
}

// Converts a value to the mantissa of an exact numeric parameter of the given number
// of decimals (0 for integers). Money and decimals of another scale are rounded half
// away from zero; nothing beyond 18 digits, or beyond numeric(15,2) for money, passes.
qint64 toScaled(const QVariant& v, int digits, const QString& name) {
    const auto outOfRange = [&] {
        return inputError(digits == 2 ? kit::moneyOutOfRangeMessage()
                                      : kit::decimalOutOfRangeMessage(name));
    };
    if (v.typeId() == QMetaType::Double || v.typeId() == QMetaType::Float) {
        const double d = v.toDouble() * static_cast<double>(pow10(digits));
        if (!std::isfinite(d) || d > 9.2e18 || d < -9.2e18)
            throw outOfRange();
        return std::llround(d);
    }
    kit::Decimal value;
    try {
        if (v.metaType() == QMetaType::fromType<kit::Money>()) {
            value = kit::Decimal::fromMoney(v.value<kit::Money>());
        } else if (v.metaType() == QMetaType::fromType<kit::Decimal>()) {
            value = v.value<kit::Decimal>();
        } else if (v.typeId() == QMetaType::QString) {
            if (digits == 2) {
                const auto m = kit::Money::parse(v.toString());
                if (!m)
                    throw invalidValue(name, v);
                value = kit::Decimal::fromMoney(*m);
            } else {
                const auto d = kit::Decimal::parse(v.toString());
                if (!d)
                    throw invalidValue(name, v);
                value = *d;
            }
        } else {
            bool ok = false;
            const qlonglong whole = v.toLongLong(&ok);
            if (!ok)
                throw invalidValue(name, v);
            if (whole > kit::Decimal::kMaxMantissa || whole < -kit::Decimal::kMaxMantissa)
                throw outOfRange();
            value = kit::Decimal::fromInteger(whole);
        }
        const qint64 n = value.rescaled(digits, kit::Rounding::HalfAwayFromZero).mantissa();
        if (digits == 2 && (n > kit::Money::kMaxCents || n < -kit::Money::kMaxCents))
            throw outOfRange();
        return n;
    } catch (const kit::DecimalError&) {
        throw outOfRange();
    }
}

// Characters of a text that ISO8859_1 cannot hold, for the message.
QString foreignCharacters(const QString& text) {
    QStringList found;
    const QList<uint> codes = text.toUcs4();
    for (uint code : codes)
        if (code > 0xFF) {
            const QString c = QString::fromUcs4(reinterpret_cast<const char32_t*>(&code), 1);
            if (!found.contains(c))
                found << c;
        }
    return found.join(QStringLiteral(" "));
}

QByteArray textParameter(const QString& text, const QString& name) {
    if (!kit::isLatin1(text))
        throw inputError(
            QStringLiteral("O texto informado para %1 contém caracteres que o banco de dados não "
                           "aceita: %2")
                .arg(name, foreignCharacters(text)));
    return text.toLatin1();
}

}  // namespace

Statement::Statement(Transaction& transaction, const QString& sql)
    : d_(std::make_unique<Impl>()), tr_(transaction) {
    QStringList markers;
    const QString positional = translateNamedParameters(sql, &markers);
    for (const QString& m : markers) {
        int idx = paramNames_.indexOf(m);
        if (idx < 0) {
            paramNames_.append(m);
            idx = paramNames_.size() - 1;
        }
        paramSlots_.append(idx);
    }
    paramValues_.resize(paramNames_.size());

    ISC_STATUS_ARRAY st;
    auto* db = static_cast<isc_db_handle*>(tr_.connection().handle());
    auto* tr = static_cast<isc_tr_handle*>(tr_.handle());
    isc_dsql_allocate_statement(st, db, &d_->stmt);
    check(st);
    d_->out = Impl::allocate(20);
    const QByteArray text = toWire(positional);
    isc_dsql_prepare(st, tr, &d_->stmt, 0, text.constData(), kDialect, d_->out);
    check(st, sql.size() > 400 ? QString() : sql);
    if (d_->out->sqld > d_->out->sqln) {
        const int n = d_->out->sqld;
        std::free(d_->out);
        d_->out = Impl::allocate(n);
        isc_dsql_describe(st, &d_->stmt, 1, d_->out);
        check(st);
    }
    // Statement kind.
    char item = isc_info_sql_stmt_type;
    char info[16];
    isc_dsql_sql_info(st, &d_->stmt, 1, &item, sizeof info, info);
    check(st);
    if (info[0] == isc_info_sql_stmt_type) {
        const short len = static_cast<short>(isc_vax_integer(info + 1, 2));
        const long type = isc_vax_integer(info + 3, len);
        isSelect_ = type == isc_info_sql_stmt_select || type == isc_info_sql_stmt_select_for_upd;
        isProcedure_ = type == isc_info_sql_stmt_exec_procedure;
    }
    // Output columns and their buffers.
    const int nOut = d_->out->sqld;
    d_->outBuffers.resize(nOut);
    d_->outNulls.resize(nOut);
    for (int i = 0; i < nOut; ++i) {
        XSQLVAR& v = d_->out->sqlvar[i];
        Column c;
        c.name = QString::fromLatin1(v.aliasname, v.aliasname_length);
        c.relation = QString::fromLatin1(v.relname, v.relname_length);
        c.field = QString::fromLatin1(v.sqlname, v.sqlname_length);
        c.type = typeOf(v);
        c.scale = -v.sqlscale;
        c.nullable = (v.sqltype & 1) != 0;
        c.length = (c.type == FieldType::Text) ? v.sqllen : 0;
        columns_.append(c);
        int size = v.sqllen;
        if ((v.sqltype & ~1) == SQL_VARYING)
            size += 2;
        d_->outBuffers[i] = QByteArray(size + 1, '\0');
        v.sqldata = d_->outBuffers[i].data();
        v.sqlind = &d_->outNulls[i];
    }
    // Input parameters.
    const int nIn = paramSlots_.size();
    d_->in = Impl::allocate(std::max(1, nIn));
    isc_dsql_describe_bind(st, &d_->stmt, 1, d_->in);
    check(st);
    if (d_->in->sqld > d_->in->sqln) {
        const int n = d_->in->sqld;
        std::free(d_->in);
        d_->in = Impl::allocate(n);
        isc_dsql_describe_bind(st, &d_->stmt, 1, d_->in);
        check(st);
    }
    if (d_->in->sqld != nIn)
        throw Error(
            QStringLiteral("Parâmetros do comando não conferem: %1 marcados, %2 esperados.\n%3")
                .arg(nIn)
                .arg(d_->in->sqld)
                .arg(sql));
    d_->inBuffers.resize(nIn);
    d_->inNulls.resize(nIn);
}

Statement::~Statement() = default;

bool Statement::hasParameter(const QString& name) const {
    return paramNames_.contains(name.toUpper());
}

void Statement::bind(const QString& name, const QVariant& value) {
    const int idx = paramNames_.indexOf(name.toUpper());
    if (idx < 0)
        throw Error(QStringLiteral("Parâmetro desconhecido: %1").arg(name));
    paramValues_[idx] = value;
}

void Statement::bind(int index, const QVariant& value) {
    paramValues_[index] = value;
}

void Statement::execute() {
    ISC_STATUS_ARRAY st;
    // Fill every marker from its parameter's value, in the type the server declared.
    for (int i = 0; i < paramSlots_.size(); ++i) {
        XSQLVAR& v = d_->in->sqlvar[i];
        const QString& name = paramNames_[paramSlots_[i]];
        const QVariant& value = paramValues_[paramSlots_[i]];
        QByteArray& buf = d_->inBuffers[i];
        short& ind = d_->inNulls[i];
        const int baseType = v.sqltype & ~1;
        v.sqlind = &ind;
        if (!value.isValid() || value.isNull()) {
            ind = -1;
            v.sqltype = static_cast<ISC_SHORT>(baseType | 1);
            buf = QByteArray(std::max<int>(8, v.sqllen + 2), '\0');
            v.sqldata = buf.data();
            continue;
        }
        ind = 0;
        switch (baseType) {
            case SQL_SHORT:
            case SQL_LONG:
            case SQL_INT64: {
                qint64 n = 0;
                if (v.sqlscale == 0 && value.metaType() != QMetaType::fromType<kit::Money>() &&
                    value.metaType() != QMetaType::fromType<kit::Decimal>() &&
                    value.typeId() != QMetaType::Double && value.typeId() != QMetaType::Float) {
                    bool ok = false;
                    n = value.toLongLong(&ok);
                    if (!ok)
                        throw invalidValue(name, value);
                } else {
                    n = toScaled(value, -v.sqlscale, name);
                }
                // What the column's storage holds (the server would only say
                // "arithmetic overflow").
                const qint64 limit = baseType == SQL_SHORT  ? 32767
                                     : baseType == SQL_LONG ? 2147483647LL
                                                            : std::numeric_limits<qint64>::max();
                if (n > limit || n < -limit - 1)
                    throw inputError(v.sqlscale == -2 ? kit::moneyOutOfRangeMessage()
                                                      : kit::decimalOutOfRangeMessage(name));
                buf = QByteArray(8, '\0');
                std::memcpy(buf.data(), &n, 8);
                v.sqltype = SQL_INT64 | 1;
                v.sqllen = 8;
                break;
            }
            case SQL_FLOAT:
            case SQL_DOUBLE:
            case SQL_D_FLOAT: {
                double dv = value.metaType() == QMetaType::fromType<kit::Money>()
                                ? static_cast<double>(value.value<kit::Money>().cents()) / 100.0
                            : value.metaType() == QMetaType::fromType<kit::Decimal>()
                                ? value.value<kit::Decimal>().toPlain().toDouble()
                                : value.toDouble();
                buf = QByteArray(8, '\0');
                std::memcpy(buf.data(), &dv, 8);
                v.sqltype = SQL_DOUBLE | 1;
                v.sqllen = 8;
                break;
            }
            case SQL_TYPE_DATE: {
                const QDate d = value.typeId() == QMetaType::QDateTime ? value.toDateTime().date()
                                                                       : value.toDate();
                if (!d.isValid())
                    throw Error(QStringLiteral("Data inválida para %1.").arg(name), {}, 0,
                                Error::Kind::Input);
                const ISC_DATE dd = encodeDate(d);
                buf = QByteArray(sizeof dd, '\0');
                std::memcpy(buf.data(), &dd, sizeof dd);
                v.sqllen = sizeof dd;
                break;
            }
            case SQL_TYPE_TIME: {
                const ISC_TIME t = encodeTime(value.toTime());
                buf = QByteArray(sizeof t, '\0');
                std::memcpy(buf.data(), &t, sizeof t);
                v.sqllen = sizeof t;
                break;
            }
            case SQL_TIMESTAMP: {
                QDateTime dt = value.toDateTime();
                if (value.typeId() == QMetaType::QDate)
                    dt = value.toDate().startOfDay();
                if (!dt.isValid())
                    throw Error(QStringLiteral("Data inválida para %1.").arg(name), {}, 0,
                                Error::Kind::Input);
                ISC_TIMESTAMP ts{encodeDate(dt.date()), encodeTime(dt.time())};
                buf = QByteArray(sizeof ts, '\0');
                std::memcpy(buf.data(), &ts, sizeof ts);
                v.sqllen = sizeof ts;
                break;
            }
            case SQL_BLOB: {
                const QByteArray bytes =
                    v.sqlsubtype == 1 ? textParameter(value.toString(), name) : value.toByteArray();
                const ISC_QUAD id = writeBlob(tr_, bytes);
                buf = QByteArray(sizeof id, '\0');
                std::memcpy(buf.data(), &id, sizeof id);
                v.sqllen = sizeof id;
                break;
            }
            case SQL_BOOLEAN: {
                buf = QByteArray(1, value.toBool() ? 1 : 0);
                v.sqllen = 1;
                break;
            }
            default: {  // text: sent as it is, the server checks the length
                QString s;
                if (value.metaType() == QMetaType::fromType<kit::Money>())
                    s = value.value<kit::Money>().toPlain();
                else if (value.metaType() == QMetaType::fromType<kit::Decimal>())
                    s = value.value<kit::Decimal>().toPlain();
                else if (value.typeId() == QMetaType::QDate)
                    s = value.toDate().toString(QStringLiteral("yyyy-MM-dd"));
                else
                    s = value.toString();
                buf = textParameter(s, name);
                // The client library takes the length in 16 bits: refuse here what
                // it would cut (or crash on).
                if (buf.size() > kMaxTextBytes)
                    throw inputError(
                        QStringLiteral("O texto informado para %1 é longo demais (%2 caracteres; "
                                       "o máximo é %3).")
                            .arg(name)
                            .arg(buf.size())
                            .arg(kMaxTextBytes));
                if (buf.isEmpty())
                    buf = QByteArray();
                v.sqltype = SQL_TEXT | 1;
                v.sqllen = static_cast<ISC_SHORT>(buf.size());
                v.sqlsubtype = 0;
                buf.append('\0');
                break;
            }
        }
        v.sqldata = buf.data();
    }
    auto* tr = static_cast<isc_tr_handle*>(tr_.handle());
    fetchedProcedureRow_ = false;
    if (isProcedure_) {
        isc_dsql_execute2(st, tr, &d_->stmt, 1, paramSlots_.isEmpty() ? nullptr : d_->in,
                          d_->out->sqld ? d_->out : nullptr);
    } else {
        if (isSelect_) {
            ISC_STATUS_ARRAY st2;
            isc_dsql_free_statement(st2, &d_->stmt, DSQL_close);
        }
        isc_dsql_execute(st, tr, &d_->stmt, 1, paramSlots_.isEmpty() ? nullptr : d_->in);
    }
    check(st);
}

bool Statement::fetch() {
    if (isProcedure_) {
        if (fetchedProcedureRow_)
            return false;
        fetchedProcedureRow_ = true;
        return d_->out->sqld > 0;
    }
    if (!isSelect_)
        return false;
    ISC_STATUS_ARRAY st;
    const ISC_STATUS rc = isc_dsql_fetch(st, &d_->stmt, 1, d_->out);
    if (rc == 100)
        return false;
    check(st);
    return true;
}

int Statement::rowsAffected() {
    ISC_STATUS_ARRAY st;
    char item = isc_info_sql_records;
    char info[64];
    isc_dsql_sql_info(st, &d_->stmt, 1, &item, sizeof info, info);
    check(st);
    if (info[0] != isc_info_sql_records)
        return 0;
    int total = 0;
    const char* p = info + 3;
    while (*p != isc_info_end) {
        const char code = *p++;
        const short len = static_cast<short>(isc_vax_integer(p, 2));
        p += 2;
        const long count = isc_vax_integer(p, len);
        p += len;
        if (code == isc_info_req_update_count || code == isc_info_req_delete_count ||
            code == isc_info_req_insert_count)
            total += static_cast<int>(count);
    }
    return total;
}

int Statement::columnIndex(const QString& name) const {
    for (int i = 0; i < columns_.size(); ++i)
        if (columns_[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

QVariant Statement::value(int column) {
    if (column < 0 || column >= columns_.size())
        return {};
    const XSQLVAR& v = d_->out->sqlvar[column];
    if ((v.sqltype & 1) && *v.sqlind < 0)
        return {};
    const char* data = v.sqldata;
    switch (v.sqltype & ~1) {
        case SQL_TEXT: {
            QString s = QString::fromLatin1(data, v.sqllen);
            // CHAR columns come blank-padded: give them back without the padding.
            while (s.endsWith(QLatin1Char(' '))) s.chop(1);
            return s;
        }
        case SQL_VARYING: {
            short len = 0;
            std::memcpy(&len, data, 2);
            return QString::fromLatin1(data + 2, len);
        }
        case SQL_SHORT:
        case SQL_LONG:
        case SQL_INT64: {
            qint64 n = 0;
            switch (v.sqltype & ~1) {
                case SQL_SHORT: {
                    short s;
                    std::memcpy(&s, data, 2);
                    n = s;
                    break;
                }
                case SQL_LONG: {
                    ISC_LONG l;
                    std::memcpy(&l, data, 4);
                    n = l;
                    break;
                }
                default:
                    std::memcpy(&n, data, 8);
            }
            if (v.sqlscale == 0)
                return QVariant::fromValue(static_cast<qlonglong>(n));
            if (v.sqlscale == -2)
                return QVariant::fromValue(kit::Money::fromCents(n));
            try {
                return QVariant::fromValue(kit::Decimal(n, -v.sqlscale));
            } catch (const kit::DecimalError& e) {
                throw Error(e.message());
            }
        }
        case SQL_FLOAT: {
            float f;
            std::memcpy(&f, data, 4);
            return static_cast<double>(f);
        }
        case SQL_DOUBLE:
        case SQL_D_FLOAT: {
            double dv;
            std::memcpy(&dv, data, 8);
            return dv;
        }
        case SQL_TYPE_DATE: {
            ISC_DATE dd;
            std::memcpy(&dd, data, sizeof dd);
            return decodeDate(dd);
        }
        case SQL_TYPE_TIME: {
            ISC_TIME t;
            std::memcpy(&t, data, sizeof t);
            return decodeTime(t);
        }
        case SQL_TIMESTAMP: {
            ISC_TIMESTAMP ts;
            std::memcpy(&ts, data, sizeof ts);
            return QDateTime(decodeDate(ts.timestamp_date), decodeTime(ts.timestamp_time));
        }
        case SQL_BLOB: {
            ISC_QUAD id;
            std::memcpy(&id, data, sizeof id);
            const QByteArray bytes = readBlob(tr_, id);
            if (v.sqlsubtype == 1)
                return QString::fromLatin1(bytes);
            return bytes;
        }
        case SQL_BOOLEAN:
            return *data != 0;
        default:
            return {};
    }
}

QVariant queryValue(Connection& connection, const QString& sql,
                    const QList<QPair<QString, QVariant>>& params) {
    Transaction tr(connection, Transaction::Access::ReadOnly);
    Statement s(tr, sql);
    for (const auto& [name, value] : params) s.bind(name, value);
    s.execute();
    QVariant result;
    if (s.fetch())
        result = s.value(0);
    tr.commit();
    return result;
}

}  // namespace fb
