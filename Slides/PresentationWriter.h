#pragma once
// Writes a presentation the natural way: the container header (file type and
// user value of the presentation), then one slide chunk per slide holding its
// object count and one record per object (class name, size, payload).
#include <string>

class TSlides;
class TStream;

void SavePresentationToStream(const TSlides& Slides, TStream& Stream);
void SavePresentationToFile(const TSlides& Slides, const std::string& FileName);
