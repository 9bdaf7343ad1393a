// Dumping an object's published properties.
#include "client/WLIntf.h"

namespace wl {

const ClassTypeInfo* TComponent::ClassInfo() const { return nullptr; }
const ClassTypeInfo* TWrenlog::ClassInfo() const { return nullptr; }

void TWrenlog::SendObject(const std::string&, TObject*) {}

}  // namespace wl
