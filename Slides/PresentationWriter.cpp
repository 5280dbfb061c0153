#include "Slides/PresentationWriter.h"

#include "CKS/CKSStreamWinTypes.h"
#include "CKS/Streams.h"
#include "Slides/Slides.h"

void SavePresentationToStream(const TSlides& Slides, TStream& Stream) {
  TCKSStreamWinTypes Writer(&Stream, cksModeCreate);
  Writer.SetFileType(Slides.FileType);
  Writer.SetUserValue(Slides.UserValue);
  for (const auto& Slide : Slides.Slides) {
    Writer.BeginWriteChunk(SlideChunkType);
    Writer.WriteInteger(Slide->Objects.Count());
    for (std::int32_t I = 0; I < Slide->Objects.Count(); ++I) {
      TDavazozavPlugin* Obj = Slide->Objects.Objects(I);
      Writer.WriteString(std::string(Obj->ClassName()));
      // The record size counts from its own first byte to the record's end.
      Writer.BeginWriteSubChunk();
      Obj->SaveToStream(Writer);
      Writer.EndWriteSubChunk();
    }
    Writer.EndWriteChunk();
  }
  Writer.Close();
}

void SavePresentationToFile(const TSlides& Slides, const std::string& FileName) {
  TFileStream File(FileName, fmCreate);
  SavePresentationToStream(Slides, File);
}
