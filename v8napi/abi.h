// Binary facts of the host's native add-in interface, one set per target.
//
// Everything that differs between the platform's builds lives here and only
// here: the words before each interface table, its destructor places and how
// they are called, how table functions are called, how wide the host's `long`
// is, the size and field offsets of the host's value record, and which string
// type carries texts to the host. The add-in and the host harness both include
// this header, so a layout is chosen once per build.
//
//  * Linux (GCC, Itanium C++ ABI): each table is preceded by the offset to the
//    top of the object and a type-information word, and opens with two
//    destructor places (complete-object, then deleting destructor); table
//    functions are ordinary member calls with `this` first, `long` is 64-bit on
//    x86-64 and 32-bit on i386, and the value record holds the C library's
//    `struct tm` (64 bytes on x86-64, 52 on i386). The platform's own strings
//    are UTF-16, so texts go to the host as wide strings.
//  * Windows (Microsoft compiler): each table is preceded by the complete
//    object locator word and opens with one destructor place (the scalar
//    deleting destructor, which takes a flags argument after `this`);
//    __stdcall table functions on x86, the destructor with the compiler's
//    member convention there (`this` in ECX); 32-bit `long`, a 48-byte value
//    record; texts go to the host as 8-bit strings in the ANSI code page.
//
// KELVO_ABI_WINDOWS selects the Windows layout; it is on for Windows builds
// and can be forced on Linux to exercise that layout with native tools.
#pragma once

#include <cstddef>
#include <cstdint>

#if defined(_WIN32) && !defined(KELVO_ABI_WINDOWS)
#define KELVO_ABI_WINDOWS 1
#endif

namespace v8abi {

#if defined(KELVO_ABI_WINDOWS)
inline constexpr int kDestructorSlots = 1;
using HostLong = std::int32_t;
using HostULong = std::uint32_t;
inline constexpr std::size_t kValueUnionBytes = 40;
#else
inline constexpr int kDestructorSlots = 2;
using HostLong = long;
using HostULong = unsigned long;
#if defined(__x86_64__) || defined(_M_X64)
inline constexpr std::size_t kValueUnionBytes = 56;  // union holds glibc's struct tm
#else
inline constexpr std::size_t kValueUnionBytes = 44;
#endif
#endif

// Calling convention of interface-table functions. Exports are always cdecl.
#if defined(KELVO_ABI_WINDOWS) && (defined(__i386__) || defined(_M_IX86))
#define V8_SLOT_CALL __attribute__((stdcall))
#else
#define V8_SLOT_CALL
#endif

// The component object has four interfaces, in this order: IInitDoneBase,
// ILanguageExtenderBase, LocaleBase, UserLanguageBase. Its record holds their
// table pointers (words 0 to 3) and then the user object once per interface, so
// that a table function called with the address of word k finds the user
// object at word k + 4.
inline constexpr int kInterfaceCount = 4;
inline constexpr int kRecordWords = 2 * kInterfaceCount;
inline constexpr int kUserObjectDistance = kInterfaceCount;

// The words a compiler puts before a table, so that a host's
// dynamic_cast<void*> on an interface pointer yields the start of the object.
struct TablePrefix {
#if defined(KELVO_ABI_WINDOWS)
  const void* CompleteObjectLocator;  // null: the add-in offers no RTTI to the host
#else
  std::intptr_t OffsetToTop;  // minus the interface's distance from the record, in bytes
  const void* TypeInfo;       // a std::type_info of the add-in's own
#endif
};

// Destructor places and how a host calls them. On Linux place 0 destroys the
// object and leaves its memory, place 1 also frees it (what `delete` calls).
// On Windows the one place frees the memory when bit 0 of the flags is set.
#if defined(KELVO_ABI_WINDOWS) && (defined(__i386__) || defined(_M_IX86))
#define V8_DESTRUCTOR_CALL __attribute__((thiscall))
#else
#define V8_DESTRUCTOR_CALL
#endif
#if defined(KELVO_ABI_WINDOWS)
using DestructorFn = void*(V8_DESTRUCTOR_CALL*)(void* Self, unsigned Flags);
inline constexpr unsigned kDeleteFlag = 1;
#else
using DestructorFn = void (*)(void* Self);
inline constexpr int kCompleteObjectDestructorPlace = 0;
inline constexpr int kDeletingDestructorPlace = 1;
#endif

// Ends the object behind the interface pointer Self through its table's
// destructor places, as a host's compiler does for `delete` (Deleting) or for
// an explicit destructor call (the memory stays).
inline void CallTableDestructor(void* Self, bool Deleting) {
  const auto* Table = *static_cast<void (*const* const*)()>(Self);
#if defined(KELVO_ABI_WINDOWS)
  reinterpret_cast<DestructorFn>(Table[0])(Self, Deleting ? kDeleteFlag : 0u);
#else
  reinterpret_cast<DestructorFn>(
      Table[Deleting ? kDeletingDestructorPlace : kCompleteObjectDestructorPlace])(Self);
#endif
}

// Texts the add-in hands to the host: wide strings (type 22) on Linux, 8-bit
// strings in the ANSI code page (type 8) on Windows.
#if defined(KELVO_ABI_WINDOWS)
inline constexpr bool kWideTextsToHost = false;
#else
inline constexpr bool kWideTextsToHost = true;
#endif

// The host's wide character: one UTF-16 unit.
using WChar = char16_t;
static_assert(sizeof(WChar) == 2, "host wide characters are UTF-16 units");

// The four exports the host looks up by name (cdecl), as function types: the
// add-in defines them to these types and the harness calls them through them.
using GetClassObjectFn = HostLong(const WChar* ClassName, void** Component);
using DestroyObjectFn = HostLong(void** Component);
using GetClassNamesFn = const WChar*();
using SetPlatformCapabilitiesFn = std::int32_t(std::int32_t Capabilities);

// The value union is followed by `cbElements` (32-bit) and the type code; the
// record has no tail padding in any of the layouts.
inline constexpr std::size_t kValueCbElementsOffset = kValueUnionBytes;
inline constexpr std::size_t kValueTypeOffset = kValueUnionBytes + 4;
inline constexpr std::size_t kValueSize = kValueUnionBytes + 8;

// Number of entries in a parameter array the host hands to a method.
inline constexpr int kParamArrayLength = 255;

}  // namespace v8abi
