// Opens arbitrary bytes as a container and reads everything it can reach:
// the header, every main chunk, and inside each chunk a sequence of value
// reads chosen by the bytes themselves (one selector byte before each read),
// including sub-chunks, fonts and embedded containers. Errors of the
// container ("Stream-Lesefehler", "Keine CKS-Datei!", ...) are expected; any
// other exception, crash, leak or runaway allocation is a finding.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "CKS/CKSStreamWinTypes.h"

namespace {

void ReadValues(TCKSStreamWinTypes& S, int Depth) {
  for (int Step = 0; Step < 4096 && !S.EndOfStream(); ++Step) {
    if (S.EndOfChunk() && Step > 0) return;
    switch (S.ReadByte() % 20) {
      case 0: S.ReadString(); break;
      case 1: S.ReadWideString(); break;
      case 2: S.ReadBoolean(); break;
      case 3: S.ReadWord(); break;
      case 4: S.ReadInteger(); break;
      case 5: S.ReadInt64(); break;
      case 6: S.ReadCardinal(); break;
      case 7: S.ReadSingle(); break;
      case 8: S.ReadDouble(); break;
      case 9: {
        const Extended E = S.ReadExtended();
        (void)E.ToDouble();
        (void)E.ToLongDouble();
        (void)Extended::FromLongDouble(E.ToLongDouble());
        break;
      }
      case 10: S.ReadColor(); break;
      case 11: {
        std::unique_ptr<TFont> Font;
        S.ReadFont(Font);
        break;
      }
      case 12: {
        std::uint8_t Buffer[64];
        S.ReadBuffer(Buffer, S.ReadByte() % 64);
        break;
      }
      case 13: S.BeginReadSubChunk(); break;
      case 14: S.EndReadSubChunk(); break;
      case 15: (void)S.EndOfSubChunk(); break;
      case 16:
      case 17: {
        if (Depth >= 4) break;
        std::unique_ptr<TCKSStream> Child = S.CreateSubStream(S.ReadByte() % 3 == 0 ? 0 : 1, false);
        if (!Child) break;
        auto& Typed = static_cast<TCKSStreamWinTypes&>(*Child);
        try {
          for (std::int32_t I = 0; I < Typed.ChunkCounter() && !Typed.EndOfStream(); ++I) {
            TCKSChunkHeader Header;
            Typed.BeginReadChunk(Header);
            ReadValues(Typed, Depth + 1);
            Typed.EndReadChunk();
          }
        } catch (const EStreamError&) {
        } catch (const ECKSError&) {
        }
        S.SkipSubStream(*Child);
        break;
      }
      case 18: S.SeekRelative(S.ReadByte()); break;  // forward only: re-reading is what the budget is for
      default: S.ReadInt64(); break;
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  TMemoryStream Memory(std::vector<std::uint8_t>(Data, Data + Size));
  try {
    TCKSStreamWinTypes S(&Memory, cksModeRead);
    S.SetReadBudget(2 * static_cast<std::int64_t>(Size) + 4096);  // keeps each run short
    for (std::int32_t I = 0; I < S.ChunkCounter(); ++I) {
      const std::int64_t Start = S.GetPosition();
      TCKSChunkHeader Header;
      S.BeginReadChunk(Header);
      try {
        ReadValues(S, 0);
      } catch (const EStreamError&) {
      }
      S.EndReadChunk();
      if (S.GetPosition() <= Start) break;  // a chunk that does not move on would repeat forever
    }
  } catch (const EStreamError&) {
  } catch (const ECKSError&) {
  }
  // Appending to the same bytes rewrites the header without harm.
  try {
    TCKSStreamWinTypes Append(&Memory, cksModeReadAppend);
    Append.SeekToEnd();
    Append.BeginWriteChunk(1);
    Append.WriteString("x");
    Append.BeginWriteSubChunk();
    Append.Close();
  } catch (const EStreamError&) {
  } catch (const ECKSError&) {
  }
  return 0;
}
