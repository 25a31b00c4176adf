// The one way a platform service is reached and replaced: the real one until a
// test (or a host) puts its own in, and the real one again when given none.
//
// A service's header declares its slot after the service
// (`extern template class ServiceSlot<Shell>;`); its source defines the real
// one, MakeDefaultService<Shell>, and instantiates the slot
// (`template class ServiceSlot<Shell>;`), so that there is one per process.
#pragma once

#include <memory>
#include <utility>

namespace orla {

template <class Service>
std::unique_ptr<Service> MakeDefaultService();

template <class Service>
class ServiceSlot {
  public:
    static Service& Current();
    // Puts `service` in (the real one for none) and gives back the one it replaces.
    static std::unique_ptr<Service> Replace(std::unique_ptr<Service> service);

  private:
    static std::unique_ptr<Service>& Instance();
};

template <class Service>
Service& ServiceSlot<Service>::Current() {
    return *Instance();
}

template <class Service>
std::unique_ptr<Service> ServiceSlot<Service>::Replace(std::unique_ptr<Service> service) {
    std::swap(Instance(), service);
    if (!Instance())
        Instance() = MakeDefaultService<Service>();
    return service;
}

template <class Service>
std::unique_ptr<Service>& ServiceSlot<Service>::Instance() {
    static std::unique_ptr<Service> instance = MakeDefaultService<Service>();
    return instance;
}

}  // namespace orla
