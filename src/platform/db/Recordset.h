// A forward-only, read-only set of rows, read with Eof/MoveNext and fields by
// name (without regard to case). Copies share the same rows, like object
// references of the original data layer.
#pragma once

#include "platform/db/Field.h"

#include <QStringList>

#include <memory>

class QSqlQuery;

namespace orla {

class Connection;

class Recordset {
  public:
    Recordset();
    ~Recordset();

    // Runs the SQL text over the connection; throws OrlaError on failure.
    void Open(const QString& source, Connection& activeConnection);
    void Close();
    bool IsOpen() const;

    bool Eof() const;
    void MoveNext();

    QStringList FieldNames() const;
    Field Fields(int index) const;
    Field Fields(const QString& name) const;
    // The value of a field of the current row; an invalid QVariant for Null.
    QVariant Value(const QString& name) const { return Fields(name).Value; }
    QVariant ValueAt(int index) const;

  private:
    friend class Connection;
    struct State;
    std::shared_ptr<State> state_;
    void RequireOpen() const;
    void RequireRow() const;
};

}  // namespace orla
