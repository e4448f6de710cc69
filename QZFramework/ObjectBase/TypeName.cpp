#include "QZFramework/ObjectBase/TypeName.h"

#include <cxxabi.h>

#include <cstdlib>
#include <memory>
#include <mutex>
#include <typeindex>
#include <unordered_map>

namespace QZ {
namespace {

struct Registry {
  std::mutex lock;
  std::unordered_map<std::type_index, std::string> spellings;
};

// Built on first use so registrations from other libraries' static initialisers work.
Registry& GetRegistry() {
  static Registry registry;
  return registry;
}

} // namespace

std::string DemangledName(const std::type_info& type) {
  int status = 0;
  std::unique_ptr<char, void (*)(void*)> name(abi::__cxa_demangle(type.name(), nullptr, nullptr, &status), std::free);
  return status == 0 && name ? std::string(name.get()) : std::string(type.name());
}

void RegisterTypeName(const std::type_info& type, std::string spelling) {
  Registry& registry = GetRegistry();
  std::lock_guard guard(registry.lock);
  registry.spellings[std::type_index(type)] = std::move(spelling);
}

std::string TypeName(const std::type_info& type) {
  {
    Registry& registry = GetRegistry();
    std::lock_guard guard(registry.lock);
    auto it = registry.spellings.find(std::type_index(type));
    if (it != registry.spellings.end()) {
      return it->second;
    }
  }
  return "class " + DemangledName(type);
}

} // namespace QZ
