#include "platform/db/Recordset.h"

#include "platform/db/Backend.h"
#include "platform/db/Connection.h"
#include "platform/db/StatementLog.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

namespace orla {

struct Recordset::State {
    std::unique_ptr<QSqlQuery> query;
    QStringList names;
    bool eof = true;
};

Recordset::Recordset() : state_(std::make_shared<State>()) {}
Recordset::~Recordset() = default;

void Recordset::Open(const QString& source, Connection& activeConnection) {
    if (IsOpen())
        throw err::ObjectOpen();
    *this = activeConnection.Execute(source);
}

void Recordset::Close() {
    RequireOpen();
    state_->query.reset();
    state_->names.clear();
    state_->eof = true;
}

bool Recordset::IsOpen() const {
    return state_->query != nullptr;
}

void Recordset::RequireOpen() const {
    if (!IsOpen())
        throw err::ObjectClosed();
}

void Recordset::RequireRow() const {
    RequireOpen();
    if (state_->eof)
        throw OrlaError(err::kNoCurrentRecord,
                        QStringLiteral("Either BOF or EOF is True, or the current record has been "
                                       "deleted. Requested operation requires a current record."));
}

bool Recordset::Eof() const {
    RequireOpen();
    return state_->eof;
}

void Recordset::MoveNext() {
    RequireRow();
    state_->eof = !state_->query->next();
}

QStringList Recordset::FieldNames() const {
    RequireOpen();
    return state_->names;
}

QVariant Recordset::ValueAt(int index) const {
    RequireOpen();
    if (index < 0 || index >= state_->names.size())
        throw OrlaError(err::kItemNotFound,
                        QStringLiteral("Item cannot be found in the collection corresponding to "
                                       "the requested name or ordinal."));
    RequireRow();
    QVariant value = state_->query->value(index);
    return value.isNull() ? QVariant() : value;
}

Field Recordset::Fields(int index) const {
    QVariant value = ValueAt(index);
    return {state_->names.at(index), std::move(value)};
}

Field Recordset::Fields(const QString& name) const {
    RequireOpen();
    for (int i = 0; i < state_->names.size(); ++i) {
        if (state_->names.at(i).compare(name, Qt::CaseInsensitive) == 0)
            return Fields(i);
    }
    return Fields(-1);
}

// Runs the statement on the backend; a query leaves its rows in an open recordset.
Recordset Connection::Execute(const QString& sql) {
    Backend& backend = OpenBackend();
    auto query = std::make_unique<QSqlQuery>(backend.Database());
    query->setForwardOnly(true);
    LogStatement(sql);
    if (!query->exec(backend.Translate(sql)))
        throw backend.StatementError(query->lastError());
    backend.Executed(sql);
    Recordset result;
    if (!query->isSelect())
        return result;
    const QSqlRecord record = query->record();
    for (int i = 0; i < record.count(); ++i)
        result.state_->names.append(record.fieldName(i));
    result.state_->eof = !query->next();
    result.state_->query = std::move(query);
    return result;
}

}  // namespace orla
