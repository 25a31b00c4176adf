#include "platform/components/ComponentRegistry.h"

#include "platform/db/Error.h"

namespace orla {
namespace {

ComponentRegistry& Registry() {
    return ServiceSlot<ComponentRegistry>::Current();
}

template <class Factory>
void Register(QHash<QString, Factory>& factories, const QString& key, Factory factory) {
    if (factory)
        factories.insert(key.toUpper(), std::move(factory));
    else
        factories.remove(key.toUpper());
}

template <class Factory>
auto Create(const QHash<QString, Factory>& factories, const QString& key) {
    const Factory factory = factories.value(key.toUpper());
    auto object = factory ? factory() : nullptr;
    if (!object)
        throw OrlaError(429, QStringLiteral("ActiveX component can't create object: ") + key);
    return object;
}

}  // namespace

template <>
std::unique_ptr<ComponentRegistry> MakeDefaultService<ComponentRegistry>() {
    return std::make_unique<ComponentRegistry>();
}
template class ServiceSlot<ComponentRegistry>;

void RegisterComponent(const QString& classId, ComponentFactory factory) {
    Register(Registry().components, classId, std::move(factory));
}

void RegisterCostComponent(const QString& classId, CostComponentFactory factory) {
    Register(Registry().costComponents, classId, std::move(factory));
}

void RegisterObject(const QString& name, ObjectFactory factory) {
    Register(Registry().objects, name, std::move(factory));
}

std::unique_ptr<RecordComponent> CreateComponent(const QString& classId) {
    return Create(Registry().components, classId);
}

std::unique_ptr<CostComponent> CreateCostComponent(const QString& classId) {
    return Create(Registry().costComponents, classId);
}

std::unique_ptr<LateBoundObject> CreateObject(const QString& name) {
    return Create(Registry().objects, name);
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
