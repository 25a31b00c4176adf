#include "platform/components/ComponentRegistry.h"

#include "platform/db/Error.h"

#include <QHash>

namespace orla {
namespace {

template <class Factory>
QHash<QString, Factory>& Factories() {
    static QHash<QString, Factory> factories;
    return factories;
}

template <class Factory>
void Register(const QString& key, Factory factory) {
    if (factory)
        Factories<Factory>().insert(key.toUpper(), std::move(factory));
    else
        Factories<Factory>().remove(key.toUpper());
}

template <class Factory>
auto Create(const QString& key) {
    const Factory factory = Factories<Factory>().value(key.toUpper());
    auto object = factory ? factory() : nullptr;
    if (!object)
        throw OrlaError(429, QStringLiteral("ActiveX component can't create object: ") + key);
    return object;
}

}  // namespace

void RegisterComponent(const QString& classId, ComponentFactory factory) {
    Register(classId, std::move(factory));
}

void RegisterCostComponent(const QString& classId, CostComponentFactory factory) {
    Register(classId, std::move(factory));
}

void RegisterObject(const QString& name, ObjectFactory factory) {
    Register(name, std::move(factory));
}

std::unique_ptr<RecordComponent> CreateComponent(const QString& classId) {
    return Create<ComponentFactory>(classId);
}

std::unique_ptr<CostComponent> CreateCostComponent(const QString& classId) {
    return Create<CostComponentFactory>(classId);
}

std::unique_ptr<LateBoundObject> CreateObject(const QString& name) {
    return Create<ObjectFactory>(name);
}

QVariant CallByName(LateBoundObject& object, const QString& member, const QVariantList& args) {
    QVariant result;
    if (!object.Invoke(member, args, &result))
        throw OrlaError(
            438, QStringLiteral("Object doesn't support this property or method: ") + member);
    return result;
}

}  // namespace orla

extern "C" {

void OrlaContas_RegisterComponent(const char* classId, orla::RecordComponent* (*create)()) {
    orla::ComponentFactory factory;
    if (create)
        factory = [create] { return std::unique_ptr<orla::RecordComponent>(create()); };
    orla::RegisterComponent(QString::fromLatin1(classId), std::move(factory));
}

void OrlaContas_RegisterCostComponent(const char* classId, orla::CostComponent* (*create)()) {
    orla::CostComponentFactory factory;
    if (create)
        factory = [create] { return std::unique_ptr<orla::CostComponent>(create()); };
    orla::RegisterCostComponent(QString::fromLatin1(classId), std::move(factory));
}

void OrlaContas_RegisterObject(const char* name, orla::LateBoundObject* (*create)()) {
    orla::ObjectFactory factory;
    if (create)
        factory = [create] { return std::unique_ptr<orla::LateBoundObject>(create()); };
    orla::RegisterObject(QString::fromLatin1(name), std::move(factory));
}
}
