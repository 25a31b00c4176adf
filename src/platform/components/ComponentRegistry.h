// Factories of the suite's other components, keyed by class identifier or by
// name (both compared without regard to case, as the system's registry does).
#pragma once

#include "platform/ServiceSlot.h"

#include <orla_contas/Components.h>

#include <QHash>

#include <functional>

namespace orla {

using ComponentFactory = std::function<std::unique_ptr<RecordComponent>()>;
using CostComponentFactory = std::function<std::unique_ptr<CostComponent>()>;
using ObjectFactory = std::function<std::unique_ptr<LateBoundObject>()>;

// The factories by upper-case key. Empty until a host or a test registers
// something; a test may put a registry of its own in.
struct ComponentRegistry {
    QHash<QString, ComponentFactory> components;
    QHash<QString, CostComponentFactory> costComponents;
    QHash<QString, ObjectFactory> objects;
};

extern template class ServiceSlot<ComponentRegistry>;

// Registers in the registry in use or, with an empty factory, forgets the factory of a class
// or name.
void RegisterComponent(const QString& classId, ComponentFactory factory);
void RegisterCostComponent(const QString& classId, CostComponentFactory factory);
void RegisterObject(const QString& name, ObjectFactory factory);

// A new object of the class or name; throws OrlaError 429 when none is registered.
std::unique_ptr<RecordComponent> CreateComponent(const QString& classId);
std::unique_ptr<CostComponent> CreateCostComponent(const QString& classId);
std::unique_ptr<LateBoundObject> CreateObject(const QString& name);

// Calls a member by name; throws OrlaError 438 when the object has none.
QVariant CallByName(LateBoundObject& object, const QString& member, const QVariantList& args);

}  // namespace orla
