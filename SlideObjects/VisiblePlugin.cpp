#include "SlideObjects/VisiblePlugin.h"

#include <bit>
#include <cstring>

#include "CKS/CKSStream.h"
#include "SlideObjects/SlideObjectSupport.h"

static_assert(std::endian::native == std::endian::little, "the placement is stored as raw little-endian doubles");

void TDavazozavVisiblePlugin::Assign(const TPlugin* Source) {
  TDavazozavPlugin::Assign(Source);
  if (const auto* S = dynamic_cast<const TDavazozavVisiblePlugin*>(Source)) {
    Placement = S->Placement;
    AssignCache(*S);
  }
}

void TDavazozavVisiblePlugin::SaveToStream(TCKSStream& Stream) {
  TDavazozavPlugin::SaveToStream(Stream);
  std::uint8_t Raw[32];
  const double Values[4] = {Placement.Left, Placement.Top, Placement.Right, Placement.Bottom};
  std::memcpy(Raw, Values, sizeof Raw);
  Stream.WriteBuffer(Raw, sizeof Raw);
}

void TDavazozavVisiblePlugin::LoadFromStream(TCKSStream& Stream) {
  TDavazozavPlugin::LoadFromStream(Stream);
  // One block of four doubles: Left, Top, Right, Bottom.
  std::uint8_t Raw[32];
  Stream.ReadBuffer(Raw, sizeof Raw);
  double Values[4];
  std::memcpy(Values, Raw, sizeof Raw);
  Placement = RelRect(Values[0], Values[1], Values[2], Values[3]);
}
