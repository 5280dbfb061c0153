#include "Chore/lmotool/ToolSupport.h"

#include <filesystem>
#include <iostream>

#include "Slides/Slides.h"

bool LoadForInspection(const std::string& File, TSlides& Slides) {
  std::error_code Error;
  if (std::filesystem::is_directory(File, Error)) {
    std::cerr << "lmotool: " << File << ": is a folder\n";
    return false;
  }
  try {
    Slides.LoadFromFile(File);
    return true;
  } catch (const std::exception& E) {
    std::cerr << "lmotool: " << File << ": " << E.what() << "\n";
    return false;
  }
}
