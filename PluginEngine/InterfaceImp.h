#pragma once
// Reference-counted interface objects.
//
// An interface is an abstract struct deriving VIRTUALLY from IInterface and
// carrying its 128-bit identity:
//
//   struct IFont : virtual IInterface {
//     static constexpr TGUID IID = TGUID::FromString("{80396061-858E-4D29-AE4C-055C7455BCA3}");
//     virtual std::string GetName() = 0;
//     ...
//   };
//
// (The virtual base lets one object implement several interfaces with a
// single reference count: TInterfaceImp provides the three basic operations
// for all of them.) An implementing class derives from TInterfaceImp or
// TInterfaceClassImp and the interfaces, and answers the identities it
// implements in GetInterface:
//
//   class TFontImp : public TInterfaceImp, public IFont {
//    protected:
//     void* GetInterface(const TGUID& InterfaceID) override {
//       if (InterfaceID == IFont::IID) return static_cast<IFont*>(this);
//       return TInterfaceImp::GetInterface(InterfaceID);
//     }
//   };
//
// QueryInterface hands out the interface pointer that GetInterface returned,
// as void*; cast it back to exactly the requested interface type (or let
// TInterfacePtr::Query do it).
//
// Two lifetime rules:
//  - TInterfaceImp: the object destroys itself when its last interface
//    reference is released. Its count is 0 after construction; the first
//    reference makes it 1.
//  - TInterfaceClassImp: the count stays at 1 after construction, so
//    interface references never destroy the object; its owner frees it.
// Free() checks first that no interface reference is left ("Interface wird
// noch referenziert! <count> <class name>") and then destroys; when the check
// fails the object stays alive, so outstanding references stay valid.
#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

// Result codes of QueryInterface.
using HRESULT = std::int32_t;
inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80004002u);

// A 128-bit interface identity.
struct TGUID {
  std::uint32_t D1 = 0;
  std::uint16_t D2 = 0;
  std::uint16_t D3 = 0;
  std::array<std::uint8_t, 8> D4{};

  // Parses "{47222277-2867-4270-A66F-091521AB0B5E}" (braces optional, hex
  // digits in either case). Throws std::invalid_argument for anything else;
  // in a constant expression that is a compile error.
  static constexpr TGUID FromString(std::string_view Text);
  // "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" in upper case.
  std::string ToString() const;

  friend constexpr bool operator==(const TGUID&, const TGUID&) = default;
};

// The basic interface: query, add reference, release.
struct IInterface {
  static constexpr TGUID IID{0x00000000, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
  // S_OK and the interface in *Obj (one reference added), or E_NOINTERFACE and nullptr.
  virtual HRESULT QueryInterface(const TGUID& InterfaceID, void** Obj) = 0;
  // Both return the new count.
  virtual std::int32_t AddRef() = 0;
  virtual std::int32_t Release() = 0;

protected:
  virtual ~IInterface() = default;  // objects are freed by Release or their owner
};

// Raised by the destruction check.
class EInterfaceError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

class TInterfaceImp : public virtual IInterface {
public:
  TInterfaceImp() : TInterfaceImp(0) {}
  TInterfaceImp(const TInterfaceImp&) = delete;
  TInterfaceImp& operator=(const TInterfaceImp&) = delete;
  ~TInterfaceImp() override = default;

  HRESULT QueryInterface(const TGUID& InterfaceID, void** Obj) override;
  std::int32_t AddRef() override;
  std::int32_t Release() override;

  std::int32_t RefCount() const { return RefCount_.load(); }

  // The class name of the object's dynamic type ("TCKSStream").
  virtual std::string ClassName() const;

  // Throws EInterfaceError "Interface wird noch referenziert! <count> <class>"
  // while interface references other than the object's own are held.
  void CheckNotReferenced() const;

  // The owner's way to destroy: the destruction check, then delete. When the
  // check throws, the object is not destroyed. Accepts nullptr.
  static void Free(TInterfaceImp* Object);

protected:
  explicit TInterfaceImp(std::int32_t InitialCount) : RefCount_(InitialCount) {}

  // The interface pointer for InterfaceID, or nullptr when the object does
  // not implement it. Overrides answer their interfaces and defer to the base.
  virtual void* GetInterface(const TGUID& InterfaceID);

  // The count at which no outside reference is held.
  virtual std::int32_t UnreferencedCount() const { return 0; }
  // Whether the release of the last reference destroys the object.
  virtual bool FreesOnLastRelease() const { return true; }

  // Holds one reference for its scope without ever destroying the object, so
  // that a constructor may lend `this` to interface references:
  //   TMyImp() { TConstructionGuard Guard(*this); Register(TInterfacePtr<IFoo>(this)); }
  class TConstructionGuard {
  public:
    explicit TConstructionGuard(TInterfaceImp& Object) : Object_(Object) { ++Object_.RefCount_; }
    ~TConstructionGuard() { --Object_.RefCount_; }
    TConstructionGuard(const TConstructionGuard&) = delete;
    TConstructionGuard& operator=(const TConstructionGuard&) = delete;
  private:
    TInterfaceImp& Object_;
  };

private:
  std::atomic<std::int32_t> RefCount_;
};

// An object whose lifetime is its owner's: the count stays at 1 after
// construction, and interface references raise it above 1.
class TInterfaceClassImp : public TInterfaceImp {
public:
  TInterfaceClassImp() : TInterfaceImp(1) {}

protected:
  std::int32_t UnreferencedCount() const override { return 1; }
  // A release that goes below the object's own count is a misuse; it must not
  // destroy what the owner will free.
  bool FreesOnLastRelease() const override { return false; }
};

// Deleter for std::unique_ptr owners of interface objects: frees through
// TInterfaceImp::Free. A failed destruction check cannot be thrown from a
// destructor: it is shown through the message box hook and the object is left
// alive.
struct TFreeInterfaceObject {
  void operator()(TInterfaceImp* Object) const noexcept;
};

// Adds one reference that is never released: reference counting can no
// longer destroy the object; its owner stays responsible for freeing it.
void KeepInterfaceAlive(IInterface* Ref);

// An interface reference: AddRef when taken or copied, Release when dropped.
template <class I>
class TInterfacePtr {
public:
  TInterfacePtr() = default;
  TInterfacePtr(std::nullptr_t) {}
  TInterfacePtr(I* Ptr) : Ptr_(Ptr) {
    if (Ptr_) Ptr_->AddRef();
  }
  TInterfacePtr(const TInterfacePtr& Other) : TInterfacePtr(Other.Ptr_) {}
  TInterfacePtr(TInterfacePtr&& Other) noexcept : Ptr_(std::exchange(Other.Ptr_, nullptr)) {}
  template <class J, class = std::enable_if_t<std::is_convertible_v<J*, I*>>>
  TInterfacePtr(const TInterfacePtr<J>& Other) : TInterfacePtr(static_cast<I*>(Other.Get())) {}
  ~TInterfacePtr() { Reset(); }

  TInterfacePtr& operator=(TInterfacePtr Other) noexcept {
    std::swap(Ptr_, Other.Ptr_);
    return *this;
  }

  // Takes over a reference that is already counted (e.g. from QueryInterface).
  static TInterfacePtr Adopt(I* Ptr) {
    TInterfacePtr R;
    R.Ptr_ = Ptr;
    return R;
  }

  void Reset() {
    if (I* P = std::exchange(Ptr_, nullptr)) P->Release();
  }
  // Gives up the reference without releasing it.
  I* Detach() { return std::exchange(Ptr_, nullptr); }

  I* Get() const { return Ptr_; }
  I* operator->() const { return Ptr_; }
  I& operator*() const { return *Ptr_; }
  explicit operator bool() const { return Ptr_ != nullptr; }

  // The object's interface J, or an empty reference when it has none.
  template <class J>
  TInterfacePtr<J> Query() const {
    void* Obj = nullptr;
    if (Ptr_ && Ptr_->QueryInterface(J::IID, &Obj) == S_OK && Obj)
      return TInterfacePtr<J>::Adopt(static_cast<J*>(Obj));
    return {};
  }

  friend bool operator==(const TInterfacePtr& A, const TInterfacePtr& B) { return A.Ptr_ == B.Ptr_; }

private:
  I* Ptr_ = nullptr;
};

template <class I>
void KeepInterfaceAlive(const TInterfacePtr<I>& Ref) {
  KeepInterfaceAlive(static_cast<IInterface*>(Ref.Get()));
}

// ---- TGUID parsing -------------------------------------------------------

namespace interface_detail {
constexpr int HexDigit(char C) {
  if (C >= '0' && C <= '9') return C - '0';
  if (C >= 'a' && C <= 'f') return C - 'a' + 10;
  if (C >= 'A' && C <= 'F') return C - 'A' + 10;
  throw std::invalid_argument("not a hex digit in an interface identity");
}
}  // namespace interface_detail

constexpr TGUID TGUID::FromString(std::string_view Text) {
  if (Text.size() == 38 && Text.front() == '{' && Text.back() == '}') Text = Text.substr(1, 36);
  if (Text.size() != 36 || Text[8] != '-' || Text[13] != '-' || Text[18] != '-' || Text[23] != '-')
    throw std::invalid_argument("malformed interface identity");
  std::uint8_t Bytes[16] = {};
  std::size_t Pos = 0;
  for (int B = 0; B < 16; ++B) {
    if (Text[Pos] == '-') ++Pos;
    Bytes[B] = static_cast<std::uint8_t>(interface_detail::HexDigit(Text[Pos]) * 16 +
                                         interface_detail::HexDigit(Text[Pos + 1]));
    Pos += 2;
  }
  TGUID G;
  G.D1 = (std::uint32_t{Bytes[0]} << 24) | (std::uint32_t{Bytes[1]} << 16) |
         (std::uint32_t{Bytes[2]} << 8) | Bytes[3];
  G.D2 = static_cast<std::uint16_t>((Bytes[4] << 8) | Bytes[5]);
  G.D3 = static_cast<std::uint16_t>((Bytes[6] << 8) | Bytes[7]);
  for (int I = 0; I < 8; ++I) G.D4[I] = Bytes[8 + I];
  return G;
}
