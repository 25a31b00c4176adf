// Property: the SQL Server to SQLite rewrite never changes what a quoted literal holds. Every
// '...' literal of the input (its text, '' read as one quote) is found within a literal of the
// output, or the rewrite refuses the statement with OrlaError. Literals it may rewrite by
// design are left out: dates (digits, blanks, "-", ".", ":" and "T" only) take their stored
// form. Literals joined by + or CHAR(n) become one, which holds each of them.
#include "platform/db/Error.h"
#include "platform/db/SqlServerDialect.h"

#include "FuzzCheck.h"

#include <QRegularExpression>
#include <QStringList>

namespace {

qsizetype QuotedEnd(const QString& sql, qsizetype from, QChar close) {
    for (qsizetype i = from + 1; i < sql.size(); ++i) {
        if (sql[i] != close)
            continue;
        if (i + 1 < sql.size() && sql[i + 1] == close)
            ++i;
        else
            return i + 1;
    }
    return sql.size();
}

// The texts of the literals, as SQL Server reads the statement: comments, quoted names
// ("..." and [...]) and literals each run to their end.
QStringList Literals(const QString& sql) {
    QStringList literals;
    qsizetype i = 0;
    while (i < sql.size()) {
        const QStringView rest = QStringView(sql).mid(i);
        if (rest.startsWith(u"--")) {
            const qsizetype end = sql.indexOf(u'\n', i);
            i = end < 0 ? sql.size() : end;
        } else if (rest.startsWith(u"/*")) {
            const qsizetype end = sql.indexOf(u"*/", i + 2);
            i = end < 0 ? sql.size() : end + 2;
        } else if (sql[i] == u'"' || sql[i] == u'[') {
            i = QuotedEnd(sql, i, sql[i] == u'"' ? u'"' : u']');
        } else if (sql[i] == u'\'') {
            const qsizetype end = QuotedEnd(sql, i, u'\'');
            const bool closed = end > i + 1 && sql[end - 1] == u'\'' && end - i >= 2;
            QString text = sql.mid(i + 1, end - i - (closed ? 2 : 1));
            literals.append(text.replace(QStringLiteral("''"), QStringLiteral("'")));
            i = end;
        } else {
            ++i;
        }
    }
    return literals;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString sql = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    static const orla::ColumnTypes columns{
        {QStringLiteral("data"), orla::ColumnType::Date},
        {QStringLiteral("nome"), orla::ColumnType::Text},
        {QStringLiteral("valor"), orla::ColumnType::Number},
        {QStringLiteral("data_banco"), orla::ColumnType::Undecided}};
    QString rewritten;
    try {
        rewritten = orla::TranslateToSqlite(sql, columns);
    } catch (const orla::OrlaError&) {
        return 0;  // refused whole
    }
    static const QRegularExpression dateLike(QStringLiteral(R"(^[\d\s.:T-]*$)"));
    const QStringList out = Literals(rewritten);
    for (const QString& literal : Literals(sql)) {
        if (dateLike.match(literal).hasMatch())
            continue;
        const bool kept = std::any_of(out.begin(), out.end(),
                                      [&](const QString& o) { return o.contains(literal); });
        if (!kept)
            std::fprintf(stderr, "in: %s\nout: %s\nlost: %s\n", qPrintable(sql),
                         qPrintable(rewritten), qPrintable(literal));
        FUZZ_CHECK(kept);
    }
    return 0;
}
