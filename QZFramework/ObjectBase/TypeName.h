#pragma once
// Readable type names for failure texts and default text forms.
//
// The system's texts spell types the way its original toolchain did ("class
// QZ::LArp", "QZ::RCPtrArray<class QZ::LLook,1,0>"). Classes whose name
// demangles to that spelling with a "class " prefix need nothing; others (templates,
// structs, enums) register their spelling once:
//
//   QZ_REGISTER_TYPE_NAME(QZ::LWrapper<QZ::ParamValues>,
//                         "class QZ::LWrapper<class QZ::ParamValues,class QZ::LRefCountedObject>");
//
// TypeName(typeid(x)) then answers with the registered spelling, else with the
// demangled fallback.

#include <string>
#include <type_traits>
#include <typeinfo>

namespace QZ {

// The spelling of a type known at run time (dynamic types of objects).
// Registered spelling first; otherwise "class " + the demangled name.
std::string TypeName(const std::type_info& type);

// Demangled compiler name, without any prefix.
std::string DemangledName(const std::type_info& type);

// The spelling of a static type: fundamental types keep their own names ("int").
template <class T>
std::string TypeName() {
  if constexpr (std::is_class_v<T> || std::is_union_v<T> || std::is_enum_v<T>) {
    return TypeName(typeid(T));
  } else {
    return DemangledName(typeid(T));
  }
}

// Records the spelling used for a type; later registrations replace earlier ones.
void RegisterTypeName(const std::type_info& type, std::string spelling);

struct TypeNameRegistration {
  TypeNameRegistration(const std::type_info& type, const char* spelling) { RegisterTypeName(type, spelling); }
};

} // namespace QZ

#define QZ_TYPE_NAME_CONCAT2(a, b) a##b
#define QZ_TYPE_NAME_CONCAT(a, b) QZ_TYPE_NAME_CONCAT2(a, b)
#define QZ_REGISTER_TYPE_NAME(type, spelling)                                                                          \
  static const ::QZ::TypeNameRegistration QZ_TYPE_NAME_CONCAT(qzTypeNameRegistration, __COUNTER__)(typeid(type),       \
                                                                                                   spelling)
