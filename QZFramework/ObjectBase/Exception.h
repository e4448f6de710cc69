#pragma once
// The framework's exception family and the result-code convention.
//
// Every failure that is not reported through a result code is thrown as
// QZ::Exception<X>, where X is a standard exception class (or
// FailedResultException). Its text joins, with " : ", the kind word, an optional
// message, the throwing method, the source path and "Line <n>":
//
//   QZ::Throw<std::runtime_error>({"QZ::LRefCountedObject::SetUnshareable",
//                                  R"(ObjectBase\RefCountedObject)", 29});
//   // what() == "Runtime Error : QZ::LRefCountedObject::SetUnshareable :
//   //            ObjectBase\RefCountedObject : Line 29"
//
// Each throw site passes its method, path and line as literals: the texts are part
// of the system's observable behaviour and must not depend on the compiler.
// Handlers catch the standard bases; FailedResultException is deliberately not a
// std::runtime_error, so "Failed Result" passes runtime-error handlers.

#include <cstdint>
#include <exception>
#include <new>
#include <stdexcept>
#include <string>
#include <string_view>

namespace QZ {

// Result codes shared by the whole framework; a code is a failure when negative. The type
// itself may be dropped: an operation whose failure the caller must act on (one that opens,
// sends, loads, saves, locks or allocates) is declared [[nodiscard]] itself.
//
//   QZResult result = distributor->SendNotification(notification); // [[nodiscard]]
//   if (Failed(result)) { ... }
//   client->UnregisterNotification(centre, id); // 1 (none held) is as good as 0 here
class QZResult {
public:
  constexpr QZResult() = default;
  constexpr QZResult(int32_t code) : mCode(code) {}
  constexpr operator int32_t() const { return mCode; }

private:
  int32_t mCode = 0;
};
// The codes themselves are plain integers, so that they mix with the int32_t results of
// the device-control library in one expression.
inline constexpr int32_t QZ_OK = 0;
inline constexpr int32_t QZ_FALSE = 1;
inline constexpr int32_t QZ_E_FAIL = static_cast<int32_t>(0x80004005);
inline constexpr int32_t QZ_E_INVALIDARG = static_cast<int32_t>(0x80070057);
inline constexpr int32_t QZ_E_NOTIMPL = static_cast<int32_t>(0x80004001);
inline constexpr int32_t QZ_E_OUTOFMEMORY = static_cast<int32_t>(0x8007000E);

inline constexpr bool Failed(QZResult r) { return r < 0; }
inline constexpr bool Succeeded(QZResult r) { return r >= 0; }

// Where a failure was raised: the qualified method name, the source path below the
// framework root (Windows spelling, no extension) and the line. Views must outlive
// the throw call only, so a computed method name may be passed as a temporary.
struct SourceSite {
  std::string_view method;
  std::string_view file;
  int line;
};

// Common interface of every QZ::Exception<X>.
class ExceptionBase {
public:
  virtual ~ExceptionBase();
  // The same text as the standard part's what().
  const char* What() const;
};

// Text holder for failed result codes. Derives from std::exception only.
class FailedResultException : public std::exception {
public:
  explicit FailedResultException(std::string text) : mText(std::move(text)) {}
  const char* what() const noexcept override { return mText.c_str(); }

  // "QZRESULT = " followed by the code in upper-case hexadecimal, no leading zeros.
  static std::string MakeMessage(int32_t code);

private:
  std::string mText;
};

template <class X>
class Exception : public X, public ExceptionBase {
public:
  explicit Exception(const std::string& text) : X(text) {}
  explicit Exception(const char* text) : X(text) {}
};

// bad_alloc has no text constructor: its text stays the standard one.
template <>
class Exception<std::bad_alloc> : public std::bad_alloc, public ExceptionBase {
public:
  Exception() = default;
  const char* what() const noexcept override { return "bad allocation"; }
};

// The kind word that starts the text of each thrown type.
template <class X>
struct ExceptionKind;
template <>
struct ExceptionKind<std::logic_error> {
  static constexpr std::string_view word = "Logic Error";
};
template <>
struct ExceptionKind<std::runtime_error> {
  static constexpr std::string_view word = "Runtime Error";
};
template <>
struct ExceptionKind<std::out_of_range> {
  static constexpr std::string_view word = "Out of Range";
};
template <>
struct ExceptionKind<std::domain_error> {
  static constexpr std::string_view word = "Domain Error";
};
template <>
struct ExceptionKind<std::invalid_argument> {
  static constexpr std::string_view word = "Invalid Argument";
};
template <>
struct ExceptionKind<FailedResultException> {
  static constexpr std::string_view word = "Failed Result";
};

// Joins kind, message (omitted when empty), method, file and "Line n" with " : ".
std::string ComposeExceptionText(std::string_view kind, std::string_view message, const SourceSite& site);

template <class X>
[[noreturn]] void Throw(const SourceSite& site, std::string_view message = {}) {
  throw Exception<X>(ComposeExceptionText(ExceptionKind<X>::word, message, site));
}

[[noreturn]] void ThrowBadAlloc();

// Throws Exception<FailedResultException> when result is negative; passes otherwise.
void CheckResult(int32_t result, const SourceSite& site);

} // namespace QZ
