#include "CommonImplementations/FontImp.h"

void TFontImp::Assign(IFont* Source) {
  if (!Source) return;
  SetName(Source->GetName());
  SetSize(Source->GetSize());
  SetHeight(Source->GetHeight());
  SetPitch(Source->GetPitch());
  SetStyle(Source->GetStyle());
  SetColor(Source->GetColor());
  SetCharset(Source->GetCharset());
  SetPixelsPerInch(Source->GetPixelsPerInch());
}

void* TFontImp::GetInterface(const TGUID& InterfaceID) {
  if (InterfaceID == IFont::IID) return static_cast<IFont*>(this);
  return TInterfaceImp::GetInterface(InterfaceID);
}
