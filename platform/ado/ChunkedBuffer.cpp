#include "platform/ado/ChunkedBuffer.h"

#include <sys/mman.h>

#include <algorithm>
#include <cstdint>
#include <new>
#include <utility>

namespace ado {

namespace {
constexpr size_t kFirstCapacity = 256;
}

ChunkedBuffer::~ChunkedBuffer() {
  if (!FMemory) return;
  for (const Chunk& chunk : FChunks)
    if (chunk.Data) FMemory->InMemory -= chunk.Capacity;
  FMemory->InMemory -= FCacheCapacity;
}

ChunkedBuffer::ChunkedBuffer(ChunkedBuffer&& other) noexcept
    : FMemory(std::exchange(other.FMemory, nullptr)),
      FChunks(std::move(other.FChunks)),
      FWrite(std::exchange(other.FWrite, nullptr)),
      FFree(std::exchange(other.FFree, 0)),
      FNextPosition(other.FNextPosition),
      FCache(std::move(other.FCache)),
      FCacheCapacity(std::exchange(other.FCacheCapacity, 0)),
      FCached(other.FCached) {}

void ChunkedBuffer::Release::operator()(char* p) const {
  if (Mapped > 0)
    ::munmap(p, Mapped);
  else
    std::free(p);
}

// A full chunk is one huge page where the system allows: touching a result's memory page by page
// costs more than fetching it on some machines. Mapped twice its size, then cut to the aligned
// chunk.
ChunkedBuffer::Memory ChunkedBuffer::Allocate(size_t size) {
  if (size == kChunkBytes) {
    void* raw =
        ::mmap(nullptr, 2 * size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED) throw std::bad_alloc();
    const auto start = reinterpret_cast<uintptr_t>(raw);
    const uintptr_t aligned = (start + size - 1) & ~(uintptr_t{size} - 1);
    if (aligned > start) ::munmap(raw, aligned - start);
    const uintptr_t tail = start + 2 * size - (aligned + size);
    if (tail > 0) ::munmap(reinterpret_cast<void*>(aligned + size), tail);
    ::madvise(reinterpret_cast<void*>(aligned), size, MADV_HUGEPAGE);
    return Memory(reinterpret_cast<char*>(aligned), Release{size});
  }
  auto* p = static_cast<char*>(std::malloc(size));
  if (!p) throw std::bad_alloc();
  return Memory(p);
}

void ChunkedBuffer::Grow(Chunk& chunk, size_t capacity) {
  Memory data = Allocate(capacity);
  if (chunk.Size > 0) std::memcpy(data.get(), chunk.Data.get(), chunk.Size);
  FMemory->InMemory += capacity - chunk.Capacity;
  chunk.Data = std::move(data);
  chunk.Capacity = capacity;
}

// A full chunk stays in memory while the result is within its budget; past it, it moves to the
// spill file, so memory holds the budget and one open chunk per buffer.
void ChunkedBuffer::Finish(Chunk& chunk) {
  if (FMemory->InMemory <= FMemory->Budget || chunk.Size == 0) return;
  chunk.FileOffset = FMemory->File.Write(chunk.Data.get(), chunk.Size);
  chunk.Data.reset();
  FMemory->InMemory -= chunk.Capacity;
}

char* ChunkedBuffer::ExtendSlowly(size_t size, uint64_t& position) {
  if (FChunks.empty()) FChunks.emplace_back();
  Chunk* last = &FChunks.back();
  if (last->Capacity - last->Size < size) {
    if (last->Capacity < kChunkBytes && last->Size + size <= kChunkBytes) {
      // The first chunk doubles up to the full size.
      size_t capacity = std::max(kFirstCapacity, last->Capacity);
      while (capacity < last->Size + size) capacity *= 2;
      Grow(*last, std::min(capacity, kChunkBytes));
    } else {
      Finish(*last);
      FChunks.emplace_back();
      last = &FChunks.back();
      // A record larger than a chunk has a chunk of its own size.
      Grow(*last, std::max(size, kChunkBytes));
    }
  }
  position = (static_cast<uint64_t>(FChunks.size() - 1) << kOffsetBits) | last->Size;
  char* at = last->Data.get() + last->Size;
  last->Size += size;
  FWrite = at + size;
  FFree = last->Capacity - last->Size;
  FNextPosition = position + size;
  return at;
}

const char* ChunkedBuffer::Load(size_t index) const {
  const Chunk& chunk = FChunks[index];
  if (FCached != index) {
    if (FCacheCapacity < chunk.Size) {
      FMemory->InMemory += chunk.Size - FCacheCapacity;
      FCache = Allocate(chunk.Size);
      FCacheCapacity = chunk.Size;
    }
    FCached = SIZE_MAX;
    FMemory->File.Read(chunk.FileOffset, FCache.get(), chunk.Size);
    FCached = index;
  }
  return FCache.get();
}

}  // namespace ado
