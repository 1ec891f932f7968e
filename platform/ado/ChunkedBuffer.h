#pragma once

#include "platform/ado/SpillFile.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace ado {

// Append-only bytes in chunks. The first chunk grows by doubling, so a small result costs
// little; the others have the full chunk size. A chunk that is full while the result is over
// its memory budget moves to the spill file; reading a spilled chunk loads it into a cache of one
// chunk. Positions name a chunk and an offset in it; a record never straddles two chunks.
class ChunkedBuffer {
 public:
  static constexpr int kChunkShift = 21;  // 2 MiB chunks: one huge page each
  static constexpr size_t kChunkBytes = size_t{1} << kChunkShift;
  static constexpr int kOffsetBits = 40;

  explicit ChunkedBuffer(ResultMemory& memory) : FMemory(&memory) {}
  ~ChunkedBuffer();
  ChunkedBuffer(ChunkedBuffer&& other) noexcept;
  ChunkedBuffer& operator=(ChunkedBuffer&&) = delete;
  ChunkedBuffer(const ChunkedBuffer&) = delete;
  ChunkedBuffer& operator=(const ChunkedBuffer&) = delete;

  // Room for size bytes at the end, contiguous; its position is returned through position.
  char* Extend(size_t size, uint64_t& position) {
    if (FFree >= size) {
      position = FNextPosition;
      char* at = FWrite;
      FWrite += size;
      FFree -= size;
      FNextPosition += size;
      FChunks.back().Size += size;
      return at;
    }
    return ExtendSlowly(size, position);
  }
  // The bytes at a position; valid until the next read of this buffer.
  const char* At(uint64_t position) const {
    const Chunk& chunk = FChunks[static_cast<size_t>(position >> kOffsetBits)];
    const size_t offset = static_cast<size_t>(position & ((uint64_t{1} << kOffsetBits) - 1));
    if (chunk.Data) return chunk.Data.get() + offset;
    return Load(static_cast<size_t>(position >> kOffsetBits)) + offset;
  }
  // The position of the byte at an index, for buffers of fixed-size elements only.
  static uint64_t PositionOf(uint64_t byteIndex) {
    return ((byteIndex >> kChunkShift) << kOffsetBits) | (byteIndex & (kChunkBytes - 1));
  }

 private:
  // Full chunks are mapped (and unmapped) on their own, so a chunk that goes to the spill file
  // gives its memory back at once; smaller blocks come from the heap.
  struct Release {
    Release() noexcept : Mapped(0) {}
    explicit Release(size_t mapped) noexcept : Mapped(mapped) {}
    void operator()(char* p) const;
    size_t Mapped;
  };
  using Memory = std::unique_ptr<char[], Release>;
  static Memory Allocate(size_t size);
  struct Chunk {
    Memory Data;
    size_t Size = 0;
    size_t Capacity = 0;
    qint64 FileOffset = -1;
  };
  char* ExtendSlowly(size_t size, uint64_t& position);
  void Grow(Chunk& chunk, size_t capacity);
  void Finish(Chunk& chunk);
  const char* Load(size_t index) const;

  ResultMemory* FMemory;
  std::vector<Chunk> FChunks;
  // Where the last chunk takes its next bytes, and how many it still has room for.
  char* FWrite = nullptr;
  size_t FFree = 0;
  uint64_t FNextPosition = 0;
  mutable Memory FCache;
  mutable size_t FCacheCapacity = 0;
  mutable size_t FCached = SIZE_MAX;
};

// Fixed-size values in a chunked buffer, read and written by index.
template <typename T>
class ChunkedArray {
  static_assert(ChunkedBuffer::kChunkBytes % sizeof(T) == 0);

 public:
  explicit ChunkedArray(ResultMemory& memory) : FBuffer(memory) {}

  qint64 Size() const { return FSize; }
  void Append(T value) {
    uint64_t position;
    std::memcpy(FBuffer.Extend(sizeof(T), position), &value, sizeof(T));
    ++FSize;
  }
  T Get(qint64 index) const {
    T value;
    std::memcpy(&value,
                FBuffer.At(ChunkedBuffer::PositionOf(static_cast<uint64_t>(index) * sizeof(T))),
                sizeof(T));
    return value;
  }

 private:
  ChunkedBuffer FBuffer;
  qint64 FSize = 0;
};

}  // namespace ado
