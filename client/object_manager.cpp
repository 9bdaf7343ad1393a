// TWLObjectManager, TWLFormatterList, and the client unit's start and stop.
#include <algorithm>

#include "client/WLIntf.h"

namespace wl {

TWLObjectManager* ObjectManager = nullptr;
TWrenlog* GlobalClient = nullptr;

std::recursive_mutex& GlobalClientLock() {
  static std::recursive_mutex lock;
  return lock;
}

TWLObjectManager::TWLObjectManager(std::uint8_t assertionMode) : AssertionMode(assertionMode) {}

TWLObjectManager::~TWLObjectManager() {
  {
    std::lock_guard guard(instancesLock_);
    // Each client's destruction removes its own entry through RemoveInstance.
    while (!Instances.empty()) delete Instances.front();
  }
  Formatters.reset();
}

void TWLObjectManager::AddInstance(TWrenlog* Client) {
  std::lock_guard guard(instancesLock_);
  if (std::find(Instances.begin(), Instances.end(), Client) == Instances.end())
    Instances.push_back(Client);
}

void TWLObjectManager::RemoveInstance(TWrenlog* Client) {
  std::lock_guard guard(instancesLock_);
  auto it = std::find(Instances.begin(), Instances.end(), Client);
  if (it != Instances.end()) Instances.erase(it);
}

std::int32_t TWLObjectManager::InstanceCount() {
  std::lock_guard guard(instancesLock_);
  return static_cast<std::int32_t>(Instances.size());
}

TWLFormatterList* TWLObjectManager::FormatterList() {
  if (!Formatters) Formatters = std::make_unique<TWLFormatterList>();
  return Formatters.get();
}

void TWLObjectManager::SetDefaultDestination(const std::string& Value) {
  DefaultDestination = Value;
  std::lock_guard guard(instancesLock_);
  // Work on a copy: a client's reconnect may not add or remove clients, but a host's handler
  // could, and the list must not change under the loop.
  const std::vector<TWrenlog*> clients = Instances;
  for (TWrenlog* client : clients) client->SetDestinationDetails(DefaultDestination);
}

TWLFormatterList::~TWLFormatterList() { Clear(); }

std::int32_t TWLFormatterList::Add(TObject* item) {
  items_.push_back(item);
  return Count() - 1;
}

void TWLFormatterList::Delete(std::int32_t Index) {
  if (Index < 0 || Index >= Count())
    Raise<EListError>("List index out of bounds (" + std::to_string(Index) + ")");
  delete items_[static_cast<std::size_t>(Index)];
  items_.erase(items_.begin() + Index);
}

void TWLFormatterList::Clear() {
  while (!items_.empty()) Delete(0);
  items_.shrink_to_fit();
}

TObject* TWLFormatterList::Items(std::int32_t Index) const {
  if (Index < 0 || Index >= Count())
    Raise<EListError>("List index out of bounds (" + std::to_string(Index) + ")");
  return items_[static_cast<std::size_t>(Index)];
}

void ClientUnitStart(std::uint8_t assertionMode) {
  ObjectManager = new TWLObjectManager(assertionMode);
  GlobalClient = new TWrenlog(nullptr);
  InstallAssertionHook();
}

void ClientUnitStop() {
  // Each variable still names its object while that object is being destroyed.
  delete GlobalClient;
  GlobalClient = nullptr;
  delete ObjectManager;
  ObjectManager = nullptr;
}

}  // namespace wl
