#include "IniRegistryStore.h"

#include <memory>

namespace tavrel {

// Off Windows the settings live in a per-user file with the registry's key paths.
std::unique_ptr<RegistryStore> SystemRegistryStore() {
    return std::make_unique<IniRegistryStore>(IniRegistryStore::defaultPath());
}

} // namespace tavrel
