#include "Platform/Pictures/MetafileText.h"

#include <iconv.h>

#include <memory>
#include <type_traits>

namespace platform::metafile {

namespace {

struct IconvCloser {
  void operator()(void* Handle) const { iconv_close(static_cast<iconv_t>(Handle)); }
};
using IconvPtr = std::unique_ptr<std::remove_pointer_t<iconv_t>, IconvCloser>;

// The code page behind a font character set.
const char* CodePage(std::uint8_t CharSet) {
  switch (CharSet) {
    case 77: return "MACINTOSH";
    case 128: return "CP932";
    case 129: return "CP949";
    case 134: return "GBK";
    case 136: return "BIG5";
    case 161: return "CP1253";
    case 162: return "CP1254";
    case 163: return "CP1258";
    case 177: return "CP1255";
    case 178: return "CP1256";
    case 186: return "CP1257";
    case 204: return "CP1251";
    case 222: return "CP874";
    case 238: return "CP1250";
    case 255: return "CP437";
    default: return "CP1252";  // ANSI, DEFAULT, SYMBOL and unknown sets
  }
}

bool IsLeadByte(std::uint8_t CharSet, std::uint8_t B) {
  switch (CharSet) {
    case 128: return (B >= 0x81 && B <= 0x9F) || (B >= 0xE0 && B <= 0xFC);
    case 129:
    case 134:
    case 136: return B >= 0x81 && B <= 0xFE;
    default: return false;
  }
}

void AppendUtf8(std::string& Out, std::uint32_t C) {
  if (C < 0x80) {
    Out += static_cast<char>(C);
  } else if (C < 0x800) {
    Out += static_cast<char>(0xC0 | (C >> 6));
    Out += static_cast<char>(0x80 | (C & 0x3F));
  } else if (C < 0x10000) {
    Out += static_cast<char>(0xE0 | (C >> 12));
    Out += static_cast<char>(0x80 | ((C >> 6) & 0x3F));
    Out += static_cast<char>(0x80 | (C & 0x3F));
  } else {
    Out += static_cast<char>(0xF0 | (C >> 18));
    Out += static_cast<char>(0x80 | ((C >> 12) & 0x3F));
    Out += static_cast<char>(0x80 | ((C >> 6) & 0x3F));
    Out += static_cast<char>(0x80 | (C & 0x3F));
  }
}

std::string Convert(iconv_t Cd, const std::uint8_t* Data, std::size_t Size) {
  char In[4], Out[16];
  std::size_t N = std::min<std::size_t>(Size, sizeof In);
  for (std::size_t I = 0; I < N; ++I) In[I] = static_cast<char>(Data[I]);
  char* InP = In;
  char* OutP = Out;
  std::size_t InLeft = N, OutLeft = sizeof Out;
  iconv(Cd, nullptr, nullptr, nullptr, nullptr);
  if (iconv(Cd, &InP, &InLeft, &OutP, &OutLeft) == static_cast<std::size_t>(-1) || InLeft != 0) {
    std::string Fallback;  // undecodable: show the bytes as Latin-1
    for (std::size_t I = 0; I < N; ++I) AppendUtf8(Fallback, Data[I]);
    return Fallback;
  }
  return std::string(Out, OutP);
}

}  // namespace

std::vector<std::string> DecodeAnsiText(std::span<const std::uint8_t> Bytes, std::uint8_t CharSet) {
  std::vector<std::string> Units(Bytes.size());
  IconvPtr Cd(iconv_open("UTF-8", CodePage(CharSet)));
  if (Cd.get() == reinterpret_cast<void*>(-1)) {
    Cd.release();
    for (std::size_t I = 0; I < Bytes.size(); ++I) AppendUtf8(Units[I], Bytes[I]);
    return Units;
  }
  for (std::size_t I = 0; I < Bytes.size(); ++I) {
    if (Bytes[I] == 0) continue;
    std::size_t Len = (IsLeadByte(CharSet, Bytes[I]) && I + 1 < Bytes.size()) ? 2 : 1;
    Units[I] = Convert(static_cast<iconv_t>(Cd.get()), Bytes.data() + I, Len);
    I += Len - 1;
  }
  return Units;
}

std::vector<std::string> DecodeUtf16Text(std::span<const std::uint8_t> Bytes) {
  std::size_t Count = Bytes.size() / 2;
  std::vector<std::string> Units(Count);
  for (std::size_t I = 0; I < Count; ++I) {
    std::uint32_t C = Bytes[2 * I] | (Bytes[2 * I + 1] << 8);
    if (C >= 0xD800 && C < 0xDC00 && I + 1 < Count) {
      std::uint32_t Low = Bytes[2 * I + 2] | (Bytes[2 * I + 3] << 8);
      if (Low >= 0xDC00 && Low < 0xE000) {
        AppendUtf8(Units[I], 0x10000 + ((C - 0xD800) << 10) + (Low - 0xDC00));
        ++I;
        continue;
      }
    }
    if (C == 0 || (C >= 0xD800 && C < 0xE000)) continue;
    AppendUtf8(Units[I], C);
  }
  return Units;
}

std::string Utf16ToUtf8(std::span<const std::uint8_t> Bytes) {
  std::size_t End = 0;
  while (End + 1 < Bytes.size() && (Bytes[End] | Bytes[End + 1]) != 0) End += 2;
  std::string Out;
  for (const std::string& Unit : DecodeUtf16Text(Bytes.first(End))) Out += Unit;
  return Out;
}

}  // namespace platform::metafile
