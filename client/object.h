// The object model the client works with: a class name, optional published-property type
// information, and the component base whose Name and Tag every component publishes.
#pragma once

#include <cstdint>
#include <string>

namespace wl {

struct ClassTypeInfo;  // client/type_info.h

class TObject {
 public:
  virtual ~TObject() = default;
  // The name of the object's run-time class.
  virtual const char* ClassName() const = 0;
  // The published-property type information of the run-time class; nullptr when it has none.
  virtual const ClassTypeInfo* ClassInfo() const { return nullptr; }
};

// A component: it has an optional owner and the published properties Name and Tag.
class TComponent : public TObject {
 public:
  explicit TComponent(TComponent* owner = nullptr) : Owner(owner) {}
  const char* ClassName() const override { return "TComponent"; }
  const ClassTypeInfo* ClassInfo() const override;

  TComponent* Owner;
  std::string Name;
  std::int32_t Tag = 0;
};

}  // namespace wl
