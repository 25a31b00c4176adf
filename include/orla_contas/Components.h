// The suite's other components, which show the source record of a movement.
// The statement window creates them by class identifier (patient receipts by
// name), connects them with the context's credentials and asks them to open
// the record it has just read. A host registers a factory for each through the
// entry points below; a component nobody registered cannot be created.
#pragma once

#include <orla_contas/General.h>

#include <QMetaType>
#include <QString>
#include <QStringList>
#include <QVariant>

class QWidget;

namespace orla {

// Class identifiers of the components that open a record, and of the cost component.
inline constexpr const char* kClsidRecibos = "{E1C1DFD9-6B92-49DA-AA98-B2CEE7E5CA1B}";
inline constexpr const char* kClsidFornecRecibos = "{5C4F1DAD-404C-4D13-85F6-F23F87DD6D8B}";
inline constexpr const char* kClsidCustosRecibos = "{AA25AB26-5EF3-489C-A2BE-039F291C57B6}";
inline constexpr const char* kClsidPagamentos = "{84C98874-72A2-4588-B9A8-FEE900CA622B}";
inline constexpr const char* kClsidCustos = "{0491F4B0-48A5-41F4-AA4C-6AA3C2F51208}";
// The patient receipts object, made by name and called by member name.
inline constexpr const char* kProgIdPacientesPagamentos = "Pacientes.Pagamentos";

// The recordset a record was read into, still open and on that record.
class RecordsetView {
  public:
    virtual ~RecordsetView() = default;
    virtual bool Eof() const = 0;
    virtual QStringList FieldNames() const = 0;
    // The field's value on the current record; an invalid QVariant for Null.
    virtual QVariant Value(const QString& name) const = 0;
};

// A component of the suite, created by class identifier and connected first.
class SuiteComponent {
  public:
    virtual ~SuiteComponent() = default;
    // The credentials the host gave SQLConnect, passwords in their scrambled
    // form (ConnectionScrambler); Flags is 0 and Result is not read.
    virtual void Connect(const QString& User, const QString& Password, const QString& cnUser,
                         const QString& cnPassword, const QString& cnInitialCatalog,
                         const QString& cnDataSource, const QString& cnDataSourceSecondary,
                         qint32 Flags, QVariant& Result) = 0;
};

// A component that shows one record.
class RecordComponent : public SuiteComponent {
  public:
    // Shows the record in the component's own window, owned by Owner. ID is
    // two whole numbers written one after the other; Param1 and Param2 are empty.
    virtual void Open(RecordsetView& Rs, const QString& ID, const QString& Param1,
                      const QString& Param2, QWidget* Owner) = 0;
};

// The cost component, where the user enters a new cost.
class CostComponent : public SuiteComponent {
  public:
    // Opens the component's window, owned by Owner, on the list named by
    // Which ("Activos"); Optional is left out (invalid) and Value is 0.
    virtual void Open(const QString& Which, const QVariant& Optional, qint32 Value,
                      QWidget* Owner) = 0;
};

// An object created by name whose members are called by name. Arguments that
// were left out arrive as invalid QVariants; a recordset as RecordsetView*,
// an owner window as QWidget*.
class LateBoundObject {
  public:
    virtual ~LateBoundObject() = default;
    // False when the object has no member of that name.
    virtual bool Invoke(const QString& Member, const QVariantList& Args, QVariant* Result) = 0;
};

}  // namespace orla

Q_DECLARE_METATYPE(orla::RecordsetView*)

extern "C" {
// Registers the factory for a class identifier (nullptr forgets it). Each call
// of `create` returns a new object, which the component deletes.
ORLA_EXPORT void OrlaContas_RegisterComponent(const char* classId,
                                              orla::RecordComponent* (*create)());
// Registers the factory of the cost component's class identifier (nullptr forgets it).
ORLA_EXPORT void OrlaContas_RegisterCostComponent(const char* classId,
                                                  orla::CostComponent* (*create)());
// Registers the factory for an object made by name (nullptr forgets it).
ORLA_EXPORT void OrlaContas_RegisterObject(const char* name, orla::LateBoundObject* (*create)());
}

inline constexpr const char* kOrlaRegisterComponent = "OrlaContas_RegisterComponent";
inline constexpr const char* kOrlaRegisterCostComponent = "OrlaContas_RegisterCostComponent";
inline constexpr const char* kOrlaRegisterObject = "OrlaContas_RegisterObject";
