// The one replaceable instance of a platform service: the real one until a
// test (or a host) puts its own in, and the real one again when given none.
#pragma once

#include <memory>
#include <utility>

namespace orla {

template <class Service, auto MakeDefault>
class ServiceSlot {
  public:
    static Service& Current() { return *Instance(); }
    // Puts `service` in (the default for none) and gives back the one it replaces.
    static std::unique_ptr<Service> Replace(std::unique_ptr<Service> service) {
        std::swap(Instance(), service);
        if (!Instance())
            Instance() = MakeDefault();
        return service;
    }

  private:
    static std::unique_ptr<Service>& Instance() {
        static std::unique_ptr<Service> instance = MakeDefault();
        return instance;
    }
};

}  // namespace orla
