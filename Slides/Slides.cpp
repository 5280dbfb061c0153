#include "Slides/Slides.h"

#include "CKS/CKSStreamWinTypes.h"
#include "CKS/Streams.h"
#include "Slides/LoadLimits.h"
#include "Tools/MediaFiles.h"

void TSlides::LoadFromFile(const std::string& AFileName) {
  {
    // Read access only; others may go on reading and writing the file.
    TFileStream File(AFileName, fmOpenRead | fmShareDenyNone);
    LoadFromStream(File);
  }
  FileName = AFileName;
  SetPresentationFolder(AFileName);
}

void TSlides::LoadFromStream(TStream& Stream) {
  const std::int64_t Size = Stream.GetSize();
  // Shorter than the header: not a container at all (rather than a bare
  // read error).
  if (Size < cksHeaderSize) throw ECKSError(CKSErrorText(cksErrNoCKSFile));
  TCKSStreamWinTypes Container(&Stream, cksModeRead);
  // All value reads of this load together may consume twice the file's size
  // plus 64 KiB, so records pointing back into each other cannot make a small
  // file read without end.
  Container.SetReadBudget(LoadReadBudget(Size));
  FileType = Container.GetFileType();
  UserValue = Container.GetUserValue();
  if (FileType != PresentationFileType) return;
  std::int64_t Remaining = Container.Header().ChunkCount;
  while (Remaining > 0) {
    --Remaining;
    const std::int64_t Start = Container.GetPosition();
    TCKSChunkHeader Header;
    Container.ReadChunkHeader(Header);
    // The size counts the 12 header bytes; anything smaller is a damaged
    // header (and would make the walk read the same chunk again and again).
    if (Header.ChunkSize < cksChunkHeaderSize) throw ECKSError(CKSErrorText(cksErrWrongChunkHeader));
    CheckRecordWithinStream(Size, Start, Header.ChunkSize);
    if (Header.ChunkType == SlideChunkType) {
      auto Slide = std::make_unique<TSlide>();
      TSlide& Added = *Slide;
      AddSlide(std::move(Slide), nullptr);
      Added.LoadFromStream(Container);
    }
    Container.SetPosition(Start + Header.ChunkSize);
  }
}

void TSlides::AddSlide(std::unique_ptr<TSlide> Slide, TSlideChangeEvent Handler) {
  Slide->SetOnChange(std::move(Handler));
  Slides.push_back(std::move(Slide));
}

TSlide* TSlides::CurrentSlide() const {
  if (CurrentIndex < 0 || CurrentIndex >= Count()) return nullptr;
  return Slides[static_cast<std::size_t>(CurrentIndex)].get();
}

bool TSlides::NextSlide() {
  ++CurrentIndex;
  bool Wrapped = false;
  if (CurrentIndex >= Count()) {
    if (Count() > 0) {
      CurrentIndex = 0;
      Wrapped = true;
    } else {
      CurrentIndex = -1;
    }
  }
  if (CurrentIndex != -1) Slides[static_cast<std::size_t>(CurrentIndex)]->ResetPlayState();
  return Wrapped;
}

bool TSlides::PreviousSlide() {
  --CurrentIndex;
  bool Wrapped = false;
  if (CurrentIndex < 0) {
    if (Count() > 0) {
      CurrentIndex = Count() - 1;
      Wrapped = true;
    } else {
      CurrentIndex = -1;
    }
  }
  if (CurrentIndex != -1) Slides[static_cast<std::size_t>(CurrentIndex)]->ResetPlayState();
  return Wrapped;
}

void TSlides::StopCurrentObject() {
  if (TSlide* Slide = CurrentSlide()) Slide->StopCurrentObject();
}

void TSlides::KeyDown(void*, std::uint16_t& Key, TShiftState Shift) {
  if (TSlide* Slide = CurrentSlide()) Slide->KeyDown(this, Key, Shift);
}

void TSlides::KeyPress(void*, TKeyChar& Key) {
  if (TSlide* Slide = CurrentSlide()) Slide->KeyPress(this, Key);
}

void TSlides::KeyUp(void*, std::uint16_t& Key, TShiftState Shift) {
  if (TSlide* Slide = CurrentSlide()) Slide->KeyUp(this, Key, Shift);
}

void TSlides::MouseDown(void*, TMouseButton Button, TShiftState Shift, std::int32_t X, std::int32_t Y) {
  if (TSlide* Slide = CurrentSlide()) Slide->MouseDown(this, Button, Shift, X, Y);
}

void TSlides::MouseMove(void*, TShiftState Shift, std::int32_t X, std::int32_t Y) {
  if (TSlide* Slide = CurrentSlide()) Slide->MouseMove(this, Shift, X, Y);
}

void TSlides::MouseUp(void*, TMouseButton Button, TShiftState Shift, std::int32_t X, std::int32_t Y) {
  if (TSlide* Slide = CurrentSlide()) Slide->MouseUp(this, Button, Shift, X, Y);
}
