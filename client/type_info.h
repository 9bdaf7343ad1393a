// Type information for published properties: what the object dump reads about a class.
//
// A class publishes its properties by overriding TObject::ClassInfo with one line per property:
//
//   const ClassTypeInfo* TOrder::ClassInfo() const {
//     return WL_PUBLISHED(TOrder, TComponent,   // the class and the ancestor it inherits from
//                         WL_PROP(Customer),     // kind and type name derived from the member
//                         WL_PROP(Placed, "TDateTime"),  // the same, under a declared type name
//                         WL_PROP_WRITEONLY(Secret));    // published, but without read accessor
//   }
//
// A property is a data member or a const member function without arguments. Its kind and the
// name of its declared type come from the C++ type (table at TypeOf below); the optional second
// argument of WL_PROP replaces the type name, which is how a plain integer becomes a "TColor" or
// "TCursor" and a double a "TDateTime", "TDate" or "TTime". Enumerations, sets and integer ranges
// carry their identifiers through WL_ENUM, WL_SET and WL_INT_RANGE. The published properties of a
// class are its own and those its ancestors publish.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <typeinfo>
#include <variant>
#include <vector>

#include "client/object.h"

namespace wl {

enum class TypeKind : std::uint8_t {
  Unknown,      // unclassified
  Integer,      // read as int32
  Char,         // 8-bit character
  Enumeration,  // read as int32 ordinal
  Float,        // read as long double
  ShortString,  // read as text
  Set,          // read as int32 bit mask, bit 0 = lowest element
  Class,        // read as an object reference
  Method,       // an event
  WChar,
  LongString,  // read as text
  WideString,  // read as text, converted to 8 bits
  Variant,
  Array,
  Record,
  Interface,
  Int64,
  DynArray,
};

// An ordinal type's range and identifiers: an enumeration, or the element type of a set.
struct OrdinalTypeInfo {
  std::int32_t min = 0;
  std::int32_t max = 0;
  std::vector<std::string> names;  // names[k - min]; empty for an integer range
  bool wideBoolean = false;        // every non-zero value is "True"

  // The identifier of value k: its name, the decimal number for an integer range; nullopt
  // outside the range.
  std::optional<std::string> Ident(std::int32_t k) const;
};

struct TypeInfo {
  TypeKind kind = TypeKind::Unknown;
  std::string name;                          // the declared type name
  const OrdinalTypeInfo* ordinal = nullptr;  // enumeration: its values; set: its element type
};

// A value read through a property's accessor; monostate for the kinds the dump does not read.
using PropValue = std::variant<std::monostate, std::int32_t, long double, std::string, TObject*>;

struct PropInfo {
  std::string_view name;
  const TypeInfo* type;
  PropValue (*read)(const TObject&);  // nullptr: no read accessor
};

struct ClassTypeInfo {
  const char* className;
  const ClassTypeInfo* parent;       // the ancestor's information; nullptr at the root
  std::vector<PropInfo> properties;  // its own, in declared order
};

// --- declared types with identifiers

// A set of E as a 32-bit mask; bit 0 is E's lowest ordinal.
template <class E>
struct SetOf {
  std::uint32_t bits = 0;
  constexpr SetOf() = default;
  constexpr SetOf(std::initializer_list<E> elements) requires std::is_enum_v<E> {
    for (E e : elements) Include(static_cast<std::int32_t>(e));
  }
  constexpr void Include(std::int32_t ordinal) { bits |= 1u << (ordinal - LowestOrdinal()); }
  static constexpr std::int32_t LowestOrdinal();
};

// The Boolean type of 32-bit storage: any non-zero value is True.
struct LongBool {
  std::int32_t value = 0;
};

namespace rtti {

std::vector<std::string> SplitIdents(std::string_view commaSeparated);
// The C++ name of a type without its namespaces: "TNode" for wl::TNode.
std::string UnqualifiedName(const std::type_info& type);
// Wide text as 8-bit text: characters outside 7-bit ASCII become '?'.
std::string Narrow(std::wstring_view text);

template <class T>
concept Declared = requires {
  WlTypeInfo(T{});
};
template <class T>
concept ObjectPointer =
    std::is_pointer_v<T> && std::is_base_of_v<TObject, std::remove_pointer_t<T>>;
template <class T>
inline constexpr bool kIsSet = false;
template <class E>
inline constexpr bool kIsSet<SetOf<E>> = true;
template <class T>
concept SetType = requires {
  typename T::Element;
}
&&kIsSet<SetOf<typename T::Element>>&& std::is_base_of_v<SetOf<typename T::Element>, T>;

template <class T>
inline constexpr bool kIsFunction = false;
template <class F>
inline constexpr bool kIsFunction<std::function<F>> = true;
template <class T>
inline constexpr bool kIsVector = false;
template <class T, class A>
inline constexpr bool kIsVector<std::vector<T, A>> = true;

// The kind and the type name the C++ type T stands for.
template <class T>
TypeInfo Classify() {
  using K = TypeKind;
  if constexpr (std::is_same_v<T, bool>)
    return {K::Enumeration, "Boolean", nullptr};
  else if constexpr (std::is_same_v<T, LongBool>)
    return {K::Enumeration, "LongBool", nullptr};
  else if constexpr (std::is_same_v<T, char>)
    return {K::Char, "Char", nullptr};
  else if constexpr (std::is_same_v<T, wchar_t> || std::is_same_v<T, char16_t>)
    return {K::WChar, "WideChar", nullptr};
  else if constexpr (std::is_integral_v<T> && sizeof(T) == 8)
    return {K::Int64, "Int64", nullptr};
  else if constexpr (std::is_same_v<T, std::int32_t>)
    return {K::Integer, "Integer", nullptr};
  else if constexpr (std::is_same_v<T, std::uint32_t>)
    return {K::Integer, "Cardinal", nullptr};
  else if constexpr (std::is_same_v<T, std::int16_t>)
    return {K::Integer, "SmallInt", nullptr};
  else if constexpr (std::is_same_v<T, std::uint16_t>)
    return {K::Integer, "Word", nullptr};
  else if constexpr (std::is_same_v<T, std::int8_t>)
    return {K::Integer, "ShortInt", nullptr};
  else if constexpr (std::is_same_v<T, std::uint8_t>)
    return {K::Integer, "Byte", nullptr};
  else if constexpr (std::is_same_v<T, float>)
    return {K::Float, "Single", nullptr};
  else if constexpr (std::is_same_v<T, double>)
    return {K::Float, "Double", nullptr};
  else if constexpr (std::is_same_v<T, long double>)
    return {K::Float, "Extended", nullptr};
  else if constexpr (std::is_same_v<T, std::string>)
    return {K::LongString, "string", nullptr};
  else if constexpr (std::is_same_v<T, std::wstring>)
    return {K::WideString, "WideString", nullptr};
  else if constexpr (std::is_bounded_array_v<T> && std::is_same_v<std::remove_extent_t<T>, char>)
    return {K::ShortString, "ShortString", nullptr};
  else if constexpr (ObjectPointer<T>)
    return {K::Class, UnqualifiedName(typeid(std::remove_pointer_t<T>)), nullptr};
  else if constexpr (std::is_pointer_v<T> && std::is_class_v<std::remove_pointer_t<T>>)
    return {K::Interface, UnqualifiedName(typeid(std::remove_pointer_t<T>)), nullptr};
  else if constexpr (kIsFunction<T>)
    return {K::Method, "TMethod", nullptr};
  else if constexpr (kIsVector<T>)
    return {K::DynArray, UnqualifiedName(typeid(T)), nullptr};
  else if constexpr (std::is_array_v<T>)
    return {K::Array, UnqualifiedName(typeid(T)), nullptr};
  else if constexpr (std::is_class_v<T>)
    return {K::Record, UnqualifiedName(typeid(T)), nullptr};
  else
    return {K::Unknown, UnqualifiedName(typeid(T)), nullptr};
}

const OrdinalTypeInfo& BooleanValues();
const OrdinalTypeInfo& LongBoolValues();

}  // namespace rtti

// The type information of T, one object per type. Declared types (WL_ENUM, WL_SET, WL_INT_RANGE)
// bring their own; the others are classified by rtti::Classify.
template <class T>
const TypeInfo& TypeOf() {
  if constexpr (rtti::Declared<T>) {
    return WlTypeInfo(T{});
  } else {
    static const TypeInfo info = [] {
      TypeInfo t = rtti::Classify<T>();
      if constexpr (std::is_same_v<T, bool>) t.ordinal = &rtti::BooleanValues();
      if constexpr (std::is_same_v<T, LongBool>) t.ordinal = &rtti::LongBoolValues();
      return t;
    }();
    return info;
  }
}

template <class E>
constexpr std::int32_t SetOf<E>::LowestOrdinal() {
  if constexpr (requires { E::kMin; })
    return E::kMin;
  else
    return 0;
}

namespace rtti {

// The value of v as the dump reads it.
template <class T>
PropValue ToValue(const T& v) {
  if constexpr (std::is_same_v<T, LongBool>)
    return v.value;
  else if constexpr (SetType<T>)
    return static_cast<std::int32_t>(v.bits);
  else if constexpr (std::is_enum_v<T> || std::is_integral_v<T>) {
    const TypeKind kind = TypeOf<T>().kind;
    if (kind == TypeKind::Integer || kind == TypeKind::Enumeration)
      return static_cast<std::int32_t>(v);
    return std::monostate{};
  } else if constexpr (std::is_floating_point_v<T>)
    return static_cast<long double>(v);
  else if constexpr (std::is_same_v<T, std::string>)
    return v;
  else if constexpr (std::is_same_v<T, std::wstring>)
    return Narrow(v);
  else if constexpr (std::is_bounded_array_v<T> && std::is_same_v<std::remove_extent_t<T>, char>)
    return std::string(v, std::find(v, v + std::extent_v<T>, '\0'));
  else if constexpr (ObjectPointer<T>)
    return const_cast<TObject*>(static_cast<const TObject*>(v));
  else
    return std::monostate{};
}

template <class M>
struct Member;
template <class C, class T>
struct Member<T C::*> {
  using Class = C;
  using Value = T;
  static const T& Get(const C& object, T C::*member) { return object.*member; }
};
template <class C, class R>
struct Member<R (C::*)() const> {
  using Class = C;
  using Value = std::remove_cvref_t<R>;
  static R Get(const C& object, R (C::*getter)() const) { return (object.*getter)(); }
};
template <class C, class R>
struct Member<R (C::*)() const noexcept> {
  using Class = C;
  using Value = std::remove_cvref_t<R>;
  static R Get(const C& object, R (C::*getter)() const noexcept) { return (object.*getter)(); }
};

template <auto M>
PropValue Read(const TObject& object) {
  using Traits = Member<decltype(M)>;
  return ToValue(Traits::Get(static_cast<const typename Traits::Class&>(object), M));
}

// A fixed text usable as a template argument.
template <std::size_t N>
struct FixedName {
  char text[N];
  constexpr FixedName(const char (&s)[N]) { std::copy_n(s, N, text); }
};

template <class T, FixedName Name>
const TypeInfo& NamedTypeOf() {
  static const TypeInfo info{TypeOf<T>().kind, Name.text, TypeOf<T>().ordinal};
  return info;
}

// The entry of one published property; a non-empty TypeName replaces the derived type name.
template <auto M, FixedName TypeName = "">
PropInfo Property(std::string_view name, bool readable) {
  using Value = typename Member<decltype(M)>::Value;
  const TypeInfo* type = nullptr;
  if constexpr (TypeName.text[0] == '\0')
    type = &TypeOf<Value>();
  else
    type = &NamedTypeOf<Value, TypeName>();
  return PropInfo{name, type, readable ? &Read<M> : nullptr};
}

OrdinalTypeInfo MakeOrdinal(std::int32_t min, std::int32_t max, std::vector<std::string> names);

}  // namespace rtti
}  // namespace wl

// The class information of Class, whose ancestor Parent publishes the inherited properties.
// An expression for the body of Class::ClassInfo; the arguments after Parent are WL_PROP entries.
#define WL_PUBLISHED(Class, Parent, ...)                                     \
  [this] {                                                                   \
    using Self [[maybe_unused]] = Class;                                     \
    static const ::wl::ClassTypeInfo info{                                   \
        this->Class::ClassName(), this->Parent::ClassInfo(), {__VA_ARGS__}}; \
    return &info;                                                            \
  }()

// One published property of Self: WL_PROP(Member) or WL_PROP(Member, "DeclaredTypeName").
#define WL_PROP(Member, ...) \
  ::wl::rtti::Property<&Self::Member __VA_OPT__(, ) __VA_ARGS__>(#Member, true)
// A published property that can be written only: it has no read accessor.
#define WL_PROP_WRITEONLY(Member, ...) \
  ::wl::rtti::Property<&Self::Member __VA_OPT__(, ) __VA_ARGS__>(#Member, false)

// enum class Name : std::uint8_t { identifiers... } with its identifiers published.
#define WL_ENUM(Name, ...)                                                         \
  enum class Name : std::uint8_t { __VA_ARGS__ };                                  \
  inline const ::wl::TypeInfo& WlTypeInfo(Name) {                                  \
    static const ::wl::OrdinalTypeInfo values = [] {                               \
      auto names = ::wl::rtti::SplitIdents(#__VA_ARGS__);                          \
      const auto max = static_cast<std::int32_t>(names.size()) - 1;                \
      return ::wl::rtti::MakeOrdinal(0, max, std::move(names));                    \
    }();                                                                           \
    static const ::wl::TypeInfo info{::wl::TypeKind::Enumeration, #Name, &values}; \
    return info;                                                                   \
  }

// An integer range Low..High, usable as the element type of a set; its identifiers are numbers.
#define WL_INT_RANGE(Name, Low, High)                                                   \
  struct Name {                                                                         \
    static constexpr std::int32_t kMin = Low, kMax = High;                              \
  };                                                                                    \
  inline const ::wl::TypeInfo& WlTypeInfo(Name) {                                       \
    static const ::wl::OrdinalTypeInfo values = ::wl::rtti::MakeOrdinal(Low, High, {}); \
    static const ::wl::TypeInfo info{::wl::TypeKind::Integer, #Name, &values};          \
    return info;                                                                        \
  }

// struct Name : SetOf<ElementType>, published as a set type.
#define WL_SET(Name, ElementType)                                        \
  struct Name : ::wl::SetOf<ElementType> {                               \
    using Element = ElementType;                                         \
    using SetOf::SetOf;                                                  \
  };                                                                     \
  inline const ::wl::TypeInfo& WlTypeInfo(Name) {                        \
    static const ::wl::TypeInfo info{::wl::TypeKind::Set, #Name,         \
                                     WlTypeInfo(ElementType{}).ordinal}; \
    return info;                                                         \
  }
