#pragma once
// Bookkeeping of open chunks: a chunk being written has its size patched in
// when it is closed; a chunk being read is left by seeking to its end.
#include <cstdint>
#include <memory>
#include <vector>

#include "CKS/CKSTypes.h"

class TCKSStream;

// An open chunk. Start is the position of the chunk header or of the
// sub-chunk's size field; Size is the stored size.
class TChunkItem {
public:
  TChunkItem() = default;
  TChunkItem(const TChunkItem&) = delete;
  TChunkItem& operator=(const TChunkItem&) = delete;
  virtual ~TChunkItem() = default;

  virtual void BeginWrite(TCKSStream& Stream) = 0;
  virtual void EndWrite(TCKSStream& Stream) = 0;
  virtual void BeginRead(TCKSStream& Stream) = 0;
  // Seeks to Start + Size.
  virtual void EndRead(TCKSStream& Stream);

  std::int64_t Start = 0;
  std::int32_t Size = 0;
};

// A size-prefixed sub-chunk inside a payload.
class TSubChunkItem : public TChunkItem {
public:
  void BeginWrite(TCKSStream& Stream) override;
  void EndWrite(TCKSStream& Stream) override;
  void BeginRead(TCKSStream& Stream) override;
};

// A main chunk with its 12-byte header.
class TCKSChunkItem : public TChunkItem {
public:
  TCKSChunkItem() = default;
  explicit TCKSChunkItem(std::int32_t Type) : ChunkType(Type) {}
  void BeginWrite(TCKSStream& Stream) override;
  void EndWrite(TCKSStream& Stream) override;
  void BeginRead(TCKSStream& Stream) override;

  std::int32_t ChunkType = 0;
  TCKSChunkHeader Header;
};

// An owning stack of open chunks; an item is freed when it is removed, also
// when closing it failed.
class TChunkStack {
public:
  bool IsEmpty() const { return Items_.empty(); }
  // Item.BeginWrite, then push.
  void PushWrite(TCKSStream& Stream, std::unique_ptr<TChunkItem> Item);
  // Item.BeginRead, then push; returns the item's size - 4.
  std::int32_t PushRead(TCKSStream& Stream, std::unique_ptr<TChunkItem> Item);
  // EndWrite / EndRead of the innermost item, then remove it; nothing when empty.
  void PopWrite(TCKSStream& Stream);
  void PopRead(TCKSStream& Stream);
  // Removes every item without closing it.
  void Clear() { Items_.clear(); }
  TChunkItem& Top() { return *Items_.back(); }

private:
  std::vector<std::unique_ptr<TChunkItem>> Items_;
};
