#include "Chore/lmotool/ModelJson.h"

#include <cmath>
#include <limits>

#include "Platform/Core/Cp1252.h"
#include "PluginEngine/PluginLists.h"
#include "SlideObjects/BackgroundObjects.h"
#include "SlideObjects/PIPSound.h"
#include "SlideObjects/PVPPicture.h"
#include "SlideObjects/PVPText.h"
#include "SlideObjects/PVPVideo.h"
#include "Slides/Slides.h"

using nlohmann::json;
using nlohmann::ordered_json;

namespace {

const char* const StyleNames[] = {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"};

// ---- model -> JSON ----

ordered_json Text(const std::string& Cp1252) { return platform::Cp1252ToUtf8(Cp1252); }

// JSON numbers cannot hold NaN and the infinities: they become strings.
ordered_json Real(double Value) {
  if (std::isnan(Value)) return "NaN";
  if (std::isinf(Value)) return Value > 0 ? "Infinity" : "-Infinity";
  return Value;
}

ordered_json ClassRef(TPluginClassRef Class) {
  if (!Class) return nullptr;
  return std::string(Class->ClassName());
}

ordered_json FontToJson(const TFont* Font) {
  if (!Font) return nullptr;
  ordered_json Style = ordered_json::array();
  for (int S = fsBold; S <= fsStrikeOut; ++S)
    if (Font->Style().Contains(static_cast<TFontStyle>(S))) Style.push_back(StyleNames[S]);
  return ordered_json{{"Name", Text(Font->Name())}, {"Size", Font->Size()}, {"Color", Font->Color()}, {"Style", Style}};
}

ordered_json ObjectToJson(TDavazozavPlugin& Obj) {
  ordered_json J;
  J["Class"] = std::string(Obj.ClassName());
  J["TimingMode"] = Obj.TimingMode;
  J["Duration"] = Obj.Duration;
  if (auto* V = dynamic_cast<TDavazozavVisiblePlugin*>(&Obj)) {
    const TRelRect& P = V->Placement;
    J["Placement"] = ordered_json::array({Real(P.Left), Real(P.Top), Real(P.Right), Real(P.Bottom)});
  }
  if (auto* O = dynamic_cast<TPVPColorRect*>(&Obj)) {
    J["RectColor"] = O->RectColor;
  } else if (auto* O = dynamic_cast<TPVPPicture*>(&Obj)) {
    J["FileName"] = Text(O->FileName);
    J["TransitionClass"] = ClassRef(O->TransitionClass);
    J["FillBackground"] = O->FillBackground;
    J["FillColor"] = O->FillColor;
  } else if (auto* O = dynamic_cast<TPVPText*>(&Obj)) {
    J["Text"] = Text(O->Text);
    J["Font"] = FontToJson(O->Font.get());
    J["Alignment"] = O->Alignment;
    J["EffectColor"] = O->EffectColor;
    J["EffectColor2"] = O->EffectColor2;
    J["EffectStyle"] = O->EffectStyle;
    J["AnimationClass"] = ClassRef(O->AnimationClass);
  } else if (auto* O = dynamic_cast<TPVPVideo*>(&Obj)) {
    J["FileName"] = Text(O->FileName);
  } else if (auto* O = dynamic_cast<TPIPSound*>(&Obj)) {
    J["FileName"] = Text(O->FileName);
  } else if (auto* O = dynamic_cast<TPVPBackground*>(&Obj)) {
    J["FillMode"] = O->FillMode;
    J["BackgroundColor"] = O->BackgroundColor;
  }
  return J;
}

// ---- JSON -> model ----

[[noreturn]] void Fail(const std::string& Where, const std::string& What) { throw EModelJsonError(Where + ": " + What); }

template <class T>
T Integer(const json& V, const std::string& Where) {
  if (!V.is_number_integer()) Fail(Where, "an integer is expected");
  if (V.is_number_unsigned()) {
    const auto U = V.get<std::uint64_t>();
    if (U > static_cast<std::uint64_t>(std::numeric_limits<T>::max())) Fail(Where, "the value is out of range");
    return static_cast<T>(U);
  }
  const auto I = V.get<std::int64_t>();
  if (I < static_cast<std::int64_t>(std::numeric_limits<T>::min()) ||
      I > static_cast<std::int64_t>(std::numeric_limits<T>::max()))
    Fail(Where, "the value is out of range");
  return static_cast<T>(I);
}

// Colours are the stored 32-bit values; both the unsigned form (4278190088)
// and the signed one (-16777208) are taken.
TColor Color(const json& V, const std::string& Where) {
  if (V.is_number_integer() && !V.is_number_unsigned() && V.get<std::int64_t>() < 0)
    return static_cast<TColor>(Integer<std::int32_t>(V, Where));
  return Integer<std::uint32_t>(V, Where);
}

double RealFrom(const json& V, const std::string& Where) {
  if (V.is_number()) return V.get<double>();
  if (V.is_string()) {
    const auto& S = V.get_ref<const std::string&>();
    if (S == "NaN") return std::numeric_limits<double>::quiet_NaN();
    if (S == "Infinity") return std::numeric_limits<double>::infinity();
    if (S == "-Infinity") return -std::numeric_limits<double>::infinity();
  }
  Fail(Where, "a number, \"NaN\", \"Infinity\" or \"-Infinity\" is expected");
}

bool Boolean(const json& V, const std::string& Where) {
  if (!V.is_boolean()) Fail(Where, "true or false is expected");
  return V.get<bool>();
}

std::string TextFrom(const json& V, const std::string& Where) {
  if (!V.is_string()) Fail(Where, "a string is expected");
  std::string Result;
  if (!platform::TryUtf8ToCp1252(V.get_ref<const std::string&>(), Result))
    Fail(Where, "the text has characters that Windows-1252 cannot store");
  return Result;
}

TPluginClassRef ClassRefFrom(const json& V, const std::string& Where, TPluginClassRef Base) {
  if (V.is_null()) return nullptr;
  const std::string Name = TextFrom(V, Where);
  TPluginClassRef Class = PluginRegistry.FindPlugin(Name);
  if (!Class) Fail(Where, "no class \"" + V.get<std::string>() + "\" is registered");
  if (Base && !Class->InheritsFrom(Base)) Fail(Where, "\"" + V.get<std::string>() + "\" is not of the right kind");
  return Class;
}

std::unique_ptr<TFont> FontFrom(const json& V, const std::string& Where) {
  if (V.is_null()) return nullptr;
  if (!V.is_object()) Fail(Where, "an object or null is expected");
  auto Font = DefaultTextFont();
  for (const auto& [Key, Value] : V.items()) {
    const std::string At = Where + "." + Key;
    if (Key == "Name") {
      Font->SetName(TextFrom(Value, At));
    } else if (Key == "Size") {
      Font->SetSize(Integer<std::int32_t>(Value, At));
    } else if (Key == "Color") {
      Font->SetColor(Color(Value, At));
    } else if (Key == "Style") {
      if (!Value.is_array()) Fail(At, "an array of style names is expected");
      TFontStyles Style;
      for (const json& Name : Value) {
        bool Known = false;
        for (int S = fsBold; S <= fsStrikeOut; ++S)
          if (Name.is_string() && Name.get<std::string>() == StyleNames[S]) {
            Style.Include(static_cast<TFontStyle>(S));
            Known = true;
          }
        if (!Known) Fail(At, "style names are fsBold, fsItalic, fsUnderline and fsStrikeOut");
      }
      Font->SetStyle(Style);
    } else {
      Fail(At, "unknown field");
    }
  }
  return Font;
}

// Fields every class shares, then the class's own; unknown fields are errors
// so that a misspelt name is not silently dropped.
void FieldFrom(TDavazozavPlugin& Obj, const std::string& Key, const json& V, const std::string& At) {
  if (Key == "Class") return;
  if (Key == "TimingMode") {
    Obj.TimingMode = Integer<std::uint8_t>(V, At);
    return;
  }
  if (Key == "Duration") {
    Obj.Duration = Integer<std::uint32_t>(V, At);
    return;
  }
  if (auto* Visible = dynamic_cast<TDavazozavVisiblePlugin*>(&Obj); Visible && Key == "Placement") {
    if (!V.is_array() || V.size() != 4) Fail(At, "four numbers [Left, Top, Right, Bottom] are expected");
    Visible->Placement = RelRect(RealFrom(V[0], At + "[0]"), RealFrom(V[1], At + "[1]"), RealFrom(V[2], At + "[2]"),
                                 RealFrom(V[3], At + "[3]"));
    return;
  }
  if (auto* O = dynamic_cast<TPVPColorRect*>(&Obj)) {
    if (Key == "RectColor") return void(O->RectColor = Color(V, At));
  } else if (auto* O = dynamic_cast<TPVPPicture*>(&Obj)) {
    if (Key == "FileName") return void(O->FileName = TextFrom(V, At));
    if (Key == "TransitionClass") return void(O->TransitionClass = ClassRefFrom(V, At, nullptr));
    if (Key == "FillBackground") return void(O->FillBackground = Boolean(V, At));
    if (Key == "FillColor") return void(O->FillColor = Color(V, At));
  } else if (auto* O = dynamic_cast<TPVPText*>(&Obj)) {
    if (Key == "Text") return void(O->Text = TextFrom(V, At));
    if (Key == "Font") {
      O->Font = FontFrom(V, At);
      return;
    }
    if (Key == "Alignment") return void(O->Alignment = Integer<std::uint8_t>(V, At));
    if (Key == "EffectColor") return void(O->EffectColor = Color(V, At));
    if (Key == "EffectColor2") return void(O->EffectColor2 = Color(V, At));
    if (Key == "EffectStyle") return void(O->EffectStyle = Integer<std::uint8_t>(V, At));
    if (Key == "AnimationClass") return void(O->AnimationClass = ClassRefFrom(V, At, nullptr));
  } else if (auto* O = dynamic_cast<TPVPVideo*>(&Obj)) {
    if (Key == "FileName") return void(O->FileName = TextFrom(V, At));
  } else if (auto* O = dynamic_cast<TPIPSound*>(&Obj)) {
    if (Key == "FileName") return void(O->FileName = TextFrom(V, At));
  }
  Fail(At, "unknown field for " + std::string(Obj.ClassName()));
}

std::unique_ptr<TDavazozavPlugin> ObjectFrom(const json& V, const std::string& Where) {
  if (!V.is_object()) Fail(Where, "an object is expected");
  if (!V.contains("Class")) Fail(Where, "\"Class\" is missing");
  const std::string Name = TextFrom(V["Class"], Where + ".Class");
  TPluginClassRef Class = PluginRegistry.FindPlugin(Name);
  if (!Class || !Class->InheritsFrom(TDavazozavPlugin::StaticClass()))
    Fail(Where + ".Class", "\"" + V["Class"].get<std::string>() + "\" is not a registered slide object class");
  std::unique_ptr<TDavazozavPlugin> Obj = CreateSlideObject(Class);
  for (const auto& [Key, Value] : V.items()) FieldFrom(*Obj, Key, Value, Where + "." + Key);
  return Obj;
}

}  // namespace

ordered_json PresentationToJson(const TSlides& Slides) {
  ordered_json Document;
  Document["FileType"] = Slides.FileType;
  Document["UserValue"] = Slides.UserValue;
  ordered_json SlideArray = ordered_json::array();
  for (const auto& Slide : Slides.Slides) {
    ordered_json Objects = ordered_json::array();
    for (std::int32_t I = 0; I < Slide->Objects.Count(); ++I) Objects.push_back(ObjectToJson(*Slide->Objects.Objects(I)));
    ordered_json SlideJson{{"Objects", Objects}};
    // Records of unregistered classes were skipped when loading; they are
    // listed for the reader and ignored by build.
    if (!Slide->UnregisteredClassNames().empty()) {
      ordered_json Names = ordered_json::array();
      for (const std::string& Name : Slide->UnregisteredClassNames()) Names.push_back(Text(Name));
      SlideJson["SkippedClasses"] = Names;
    }
    SlideArray.push_back(SlideJson);
  }
  Document["Slides"] = SlideArray;
  return Document;
}

void PresentationFromJson(const json& Document, TSlides& Slides) {
  if (!Document.is_object()) Fail("(document)", "an object is expected");
  Slides.FileType = PresentationFileType;
  Slides.UserValue = 0;
  for (const auto& [Key, Value] : Document.items()) {
    if (Key == "FileType") {
      Slides.FileType = Integer<std::int32_t>(Value, Key);
    } else if (Key == "UserValue") {
      Slides.UserValue = Integer<std::int32_t>(Value, Key);
    } else if (Key == "Slides") {
      if (!Value.is_array()) Fail(Key, "an array of slides is expected");
      for (std::size_t S = 0; S < Value.size(); ++S) {
        const std::string Where = "Slides[" + std::to_string(S) + "]";
        const json& SlideJson = Value[S];
        if (!SlideJson.is_object()) Fail(Where, "an object is expected");
        auto Slide = std::make_unique<TSlide>();
        for (const auto& [SlideKey, SlideValue] : SlideJson.items()) {
          if (SlideKey == "SkippedClasses") continue;
          if (SlideKey != "Objects") Fail(Where + "." + SlideKey, "unknown field");
          if (!SlideValue.is_array()) Fail(Where + ".Objects", "an array of objects is expected");
          for (std::size_t O = 0; O < SlideValue.size(); ++O)
            Slide->Objects.AddObject(ObjectFrom(SlideValue[O], Where + ".Objects[" + std::to_string(O) + "]"));
        }
        Slides.AddSlide(std::move(Slide), nullptr);
      }
    } else {
      Fail(Key, "unknown field");
    }
  }
}
