#pragma once
// The presentation: the slides of one file in file order and the index of
// the slide being shown. Navigation wraps in both directions, so the show is
// an endless loop.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "Slides/Slide.h"

class TStream;

// The file type of a presentation container.
inline constexpr std::int32_t PresentationFileType = 1793;
// The chunk type of a slide.
inline constexpr std::int32_t SlideChunkType = 1;

class TSlides {
public:
  TSlides() = default;
  TSlides(const TSlides&) = delete;
  TSlides& operator=(const TSlides&) = delete;

  // Reads the file (opened for reading, others may read and write it
  // meanwhile), then sets FileName and the presentation folder. On an error
  // neither changes; slides read so far stay.
  void LoadFromFile(const std::string& AFileName);
  // Appends the slides found in a presentation container.
  void LoadFromStream(TStream& Stream);

  TSlide* CurrentSlide() const;
  void Reset() { CurrentIndex = -1; }
  // Move with wrap-around and reset the new current slide; true when the
  // index wrapped.
  bool NextSlide();
  bool PreviousSlide();
  void StopCurrentObject();

  void KeyDown(void* Sender, std::uint16_t& Key, TShiftState Shift);
  void KeyPress(void* Sender, TKeyChar& Key);
  void KeyUp(void* Sender, std::uint16_t& Key, TShiftState Shift);
  void MouseDown(void* Sender, TMouseButton Button, TShiftState Shift, std::int32_t X, std::int32_t Y);
  void MouseMove(void* Sender, TShiftState Shift, std::int32_t X, std::int32_t Y);
  void MouseUp(void* Sender, TMouseButton Button, TShiftState Shift, std::int32_t X, std::int32_t Y);

  std::int32_t Count() const { return static_cast<std::int32_t>(Slides.size()); }
  void AddSlide(std::unique_ptr<TSlide> Slide, TSlideChangeEvent Handler);

  std::string FileName;
  std::int32_t CurrentIndex = -1;
  std::vector<std::unique_ptr<TSlide>> Slides;
  // The container header's file type of the last stream read (0 before).
  std::int32_t FileType = 0;
  std::int32_t UserValue = 0;
};
