#pragma once
// Shared parts of the inspecting sub-commands.
#include <string>

class TSlides;

// Loads File into Slides; on an error writes the German message to stderr
// and answers false.
bool LoadForInspection(const std::string& File, TSlides& Slides);
