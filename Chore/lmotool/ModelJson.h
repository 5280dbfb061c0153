#pragma once
// The presentation model as JSON, field names as the stored fields are
// named. Dump and build are inverse: building the dump of a naturally
// written file gives the same bytes.
#include <stdexcept>
#include <string>

#include <nlohmann/json.hpp>

class TSlides;

// A JSON document that does not describe a presentation; the message names
// the place ("Slides[0].Objects[2].Duration: ...").
class EModelJsonError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

nlohmann::ordered_json PresentationToJson(const TSlides& Slides);
// Fills an empty TSlides from Document; fields left out take the class's
// default. Throws EModelJsonError.
void PresentationFromJson(const nlohmann::json& Document, TSlides& Slides);
