// Binary facts of the host's native add-in interface, one set per target.
//
// Everything that differs between the platform's builds lives here and only
// here: how many destructor places open each interface table, how table
// functions are called, how wide the host's `long` is, and the size and field
// offsets of the host's value record. The add-in and the host harness both
// include this header, so a layout is chosen once per build.
//
//  * Linux (GCC, Itanium C++ ABI): two destructor places per table, table
//    functions are ordinary member calls with `this` first, `long` is 64-bit on
//    x86-64 and 32-bit on i386, and the value record holds the C library's
//    `struct tm` (64 bytes on x86-64, 52 on i386).
//  * Windows (Microsoft compiler): one destructor place, __stdcall table
//    functions on x86, 32-bit `long`, a 48-byte value record.
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

// The host's wide character: one UTF-16 unit.
using WChar = char16_t;
static_assert(sizeof(WChar) == 2, "host wide characters are UTF-16 units");

// The value union is followed by `cbElements` (32-bit) and the type code; the
// record has no tail padding in any of the layouts.
inline constexpr std::size_t kValueCbElementsOffset = kValueUnionBytes;
inline constexpr std::size_t kValueTypeOffset = kValueUnionBytes + 4;
inline constexpr std::size_t kValueSize = kValueUnionBytes + 8;

// Number of entries in a parameter array the host hands to a method.
inline constexpr int kParamArrayLength = 255;

}  // namespace v8abi
