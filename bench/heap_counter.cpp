// The allocator wrappers behind HeapCounter. glibc exports its allocator
// under __libc_* names as well, which is what the wrappers forward to.
#include "bench/heap_counter.h"

#include <malloc.h>

#include <cerrno>
#include <cstdint>

extern "C" {
void* __libc_malloc(std::size_t Size);
void __libc_free(void* Block);
void* __libc_calloc(std::size_t Count, std::size_t Size);
void* __libc_realloc(void* Block, std::size_t Size);
void* __libc_memalign(std::size_t Alignment, std::size_t Size);
void* __libc_valloc(std::size_t Size);
void* __libc_pvalloc(std::size_t Size);
}

namespace {

// Plain thread-local integers of the executable: static TLS, which is
// reachable from inside malloc without allocating.
thread_local bool Counting = false;
thread_local std::int64_t Current = 0;
thread_local std::int64_t Peak = 0;

void Taken(void* Block) {
  if (!Counting || !Block) return;
  Current += static_cast<std::int64_t>(malloc_usable_size(Block));
  if (Current > Peak) Peak = Current;
}

void Released(void* Block) {
  if (!Counting || !Block) return;
  Current -= static_cast<std::int64_t>(malloc_usable_size(Block));
}

bool IsPowerOfTwo(std::size_t N) { return N != 0 && (N & (N - 1)) == 0; }

}  // namespace

namespace bench {

void HeapCounter::Start() {
  Current = 0;
  Peak = 0;
  Counting = true;
}

std::size_t HeapCounter::Stop() {
  Counting = false;
  return static_cast<std::size_t>(Peak);
}

}  // namespace bench

// The wrappers replace the C library's functions for the whole process,
// the add-in library included: they are exported whatever the build's
// default visibility.
#define KELVO_EXPORTED __attribute__((visibility("default")))

extern "C" {

KELVO_EXPORTED void* malloc(std::size_t Size) {
  void* Block = __libc_malloc(Size);
  Taken(Block);
  return Block;
}

KELVO_EXPORTED void free(void* Block) {
  Released(Block);
  __libc_free(Block);
}

KELVO_EXPORTED void* calloc(std::size_t Count, std::size_t Size) {
  void* Block = __libc_calloc(Count, Size);
  Taken(Block);
  return Block;
}

KELVO_EXPORTED void* realloc(void* Block, std::size_t Size) {
  if (!Block) return malloc(Size);
  const std::size_t Before = Counting ? malloc_usable_size(Block) : 0;
  void* Moved = __libc_realloc(Block, Size);
  if (Counting && (Moved || Size == 0)) {
    Current -= static_cast<std::int64_t>(Before);
    Taken(Moved);
  }
  return Moved;
}

KELVO_EXPORTED void* memalign(std::size_t Alignment, std::size_t Size) {
  void* Block = __libc_memalign(Alignment, Size);
  Taken(Block);
  return Block;
}

KELVO_EXPORTED void* aligned_alloc(std::size_t Alignment, std::size_t Size) {
  return memalign(Alignment, Size);
}

KELVO_EXPORTED int posix_memalign(void** Out, std::size_t Alignment, std::size_t Size) {
  if (!IsPowerOfTwo(Alignment) || Alignment % sizeof(void*) != 0) return EINVAL;
  void* Block = memalign(Alignment, Size);
  if (!Block) return ENOMEM;
  *Out = Block;
  return 0;
}

KELVO_EXPORTED void* valloc(std::size_t Size) {
  void* Block = __libc_valloc(Size);
  Taken(Block);
  return Block;
}

KELVO_EXPORTED void* pvalloc(std::size_t Size) {
  void* Block = __libc_pvalloc(Size);
  Taken(Block);
  return Block;
}

}  // extern "C"
