#include "common/SqlLiterals.h"

#include "common/Format.h"
#include "common/Separators.h"
#include "common/Trim.h"
#include "platform/db/Values.h"
#include "platform/services/ErrorReport.h"

namespace orla {
namespace {

ErrorSite Site(const char* procedure) {
    return {QStringLiteral("modSQL"), QString::fromLatin1(procedure),
            ReportFilter::NotZeroNor3709NorBlank, MessageForm::Numbered};
}

bool IsNull(const QVariant& value) {
    return !value.isValid() || value.isNull();
}

// A NUL would end the statement text early for some drivers and SQLite; it is dropped.
QString WithoutNul(QString text) {
    return text.remove(QChar(0));
}

QString QuoteSafe(QString& text) {
    text = WithoutNul(text).replace(u'\'', QStringLiteral("' + CHAR(39) + '"));
    return text;
}

QString QuoteSafeReported(const char* procedure, QString& text) {
    QString result;
    Guard(Site(procedure), [&] { result = QuoteSafe(text); });
    return result;
}

// The system's "no date": 1 January 1900, and the platform's zero date 30 December 1899.
bool IsNoDate(const QDateTime& value) {
    return value.date() == kNoDate || value.date() == QDate(1899, 12, 30);
}

QString DateLiteral(const QVariant& value, int kind) {
    const QString text = TextOf(value);
    const QString trimmed = TrimSpaces(text);
    if (trimmed.isEmpty() || trimmed == u"- - -")
        return QStringLiteral("null");
    std::optional<QDateTime> date = ToDate(value);
    if (date && IsNoDate(*date))
        return QStringLiteral("null");
    if (!date && text.size() == 8)  // ddmmyyyy
        date = ToDate(text.left(2) + u'-' + text.sliced(2, 2) + u'-' + text.sliced(4));
    if (!date)
        return QStringLiteral("null");
    const QString& format = kind == SqlDate ? formats::kDataIso : formats::kDataHoraIso;
    return QStringLiteral("CONVERT(DATETIME,'") + Format(*date, format) + QStringLiteral("',102)");
}

QString NumberLiteral(const QVariant& value) {
    if (value.typeId() == QMetaType::Bool)
        return value.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    const std::optional<Decimal> number = NumeroLido(value);
    return number ? number->ToPlainText() : QStringLiteral("null");
}

QString TextLiteral(const QVariant& value, int kind) {
    QString text = TrimSpaces(WithoutNul(TextOf(value)));
    if (text.isEmpty()) {
        if (kind == SqlTextEmpty)
            return QStringLiteral("''");
        return kind == SqlLike ? QStringLiteral("'%%'") : QStringLiteral("null");
    }
    if (kind == SqlLike) {
        // Blanks become wildcards before the quotes are spliced, so the splice keeps its own.
        text.replace(u' ', u'%');
        return QStringLiteral("'%") + QuoteSafe(text) + QStringLiteral("%'");
    }
    return u'\'' + QuoteSafe(text) + u'\'';
}

QString DisplayText(const QVariant& value, int kind) {
    switch (kind) {
        case ListDate:
            return Format(value, formats::kData);
        case ListAmount:
            return Format(value, formats::kValor);
        case ListText:
            return TextOf(value);
        case ListEuro:
            return Format(value, formats::kEuro);
        case ListPercent:
            return Format(value, formats::kPercentagem);
        case ListWhole:
            return Format(CLng(CDbl(value)), formats::kInteiro);
        case ListDateTime:
            return Format(value, formats::kDataHora);
        case ListIsoDate:
            return Format(value, formats::kDataIso);
        default:
            return {};
    }
}

}  // namespace

QString SqlValue(const QVariant& value, int kind) {
    switch (kind) {
        case SqlDate:
        case SqlDateTime:
            return DateLiteral(value, kind);
        case SqlNumber:
        case SqlNumber7:
            return NumberLiteral(value);
        case SqlText:
        case SqlTextEmpty:
        case SqlLike:
            return TextLiteral(value, kind);
        default:
            return {};
    }
}

QString EscapeQuotes(QString& text) {
    return QuoteSafeReported("EscapeQuotes", text);
}

QString SqlKey(const std::optional<qint64>& key) {
    return SqlValue(key ? QVariant(*key) : QVariant(), SqlNumber);
}

QString QuotedText(QString text) {
    return QLatin1Char('\'') + EscapeQuotes(text) + QLatin1Char('\'');
}

QString ReplaceQuotes(QString& text) {
    return QuoteSafeReported("ReplaceQuotes", text);
}

QString ListValue(const QVariant& value, int kind) {
    return IsNull(value) ? QStringLiteral(" ") : DisplayText(value, kind);
}

}  // namespace orla
