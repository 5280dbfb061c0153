// Renders every registered transition at a quarter, half and three quarters
// of its run, the new picture coming in over the old one, into one PNG per
// transition: three frames side by side, each captioned with its step; and
// overview.png with the half-way frame of every transition.
//
// Usage: lmo-contact-sheet OUTPUT_FOLDER OLD_PICTURE NEW_PICTURE [WIDTH HEIGHT]
// The mask pictures come from the data folder (LMO_DATA_DIR or Data/ beside
// the program). Random choices use a fixed seed, so sheets repeat exactly.
#include <cairo.h>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "CommonImplementations/BitmapCanvas.h"
#include "Platform/Core/Clock.h"
#include "Platform/Core/Cp1252.h"
#include "Platform/Core/Random.h"
#include "Platform/Pictures/Picture.h"
#include "PluginEngine/PluginLists.h"
#include "Transitions/TransitionClasses.h"

namespace {

constexpr std::uint64_t Seed = 20260;

// The window canvas: the stage's pixels; the transition paints onto them.
class Stage final : public platform::PaintDevice {
public:
  Stage(std::int32_t W, std::int32_t H) : W_(W), H_(H), Pixels_(static_cast<std::size_t>(W) * H) {}
  platform::PixelView Pixels() override { return {Pixels_.data(), W_, H_, W_}; }
  TRect ClipBox() const override { return TRect{0, 0, W_, H_}; }
  void Changed(const TRect&) override {}
  std::vector<TColor32>& Data() { return Pixels_; }

private:
  std::int32_t W_, H_;
  std::vector<TColor32> Pixels_;
};

std::unique_ptr<TBitmap32> LoadStretched(const std::string& Path, std::int32_t W, std::int32_t H) {
  const std::unique_ptr<platform::Picture> Picture = platform::LoadPictureFile(Path);
  std::unique_ptr<TBitmap32> Full = BitmapFromPicture(*Picture);
  SetResamplerKind(*Full, 2);
  auto Out = std::make_unique<TBitmap32>();
  Out->Resize(W, H);
  Full->DrawOnto(Out.get(), Out->FullRect());
  return Out;
}

// One run of Class over Old -> New on a fresh stage; Visit(step, stage)
// after every step. Answers the number of steps.
template <class Visit>
std::int32_t Run(TPluginClassRef Class, const TBitmap32& Old, const TBitmap32& New, Visit&& Visit_) {
  platform::ProgramRandom().Seed(Seed);
  Stage S(New.Width(), New.Height());
  std::copy(Old.Bits(), Old.Bits() + S.Data().size(), S.Data().begin());
  TBitmap32 Source, Target;
  Source.Assign(Old);
  Target.Assign(New);
  std::unique_ptr<TTransitionPlugin> T = CreatePluginAs<TTransitionPlugin>(Class);
  T->InitTransition(TRect{0, 0, New.Width(), New.Height()}, &Source, &Target, S);
  std::int32_t Steps = 0;
  while (!T->Finished()) {
    T->Step();
    T->WaitForNextStep();
    ++Steps;
    Visit_(Steps, S);
  }
  T->ResetTransition();
  return Steps;
}

struct SurfaceDeleter {
  void operator()(cairo_surface_t* S) const { cairo_surface_destroy(S); }
};
struct ContextDeleter {
  void operator()(cairo_t* C) const { cairo_destroy(C); }
};

void WriteSheet(const std::string& File, const std::string& Title, const std::vector<std::vector<TColor32>>& Frames,
                const std::vector<std::string>& Labels, std::int32_t W, std::int32_t H) {
  constexpr std::int32_t Gap = 12, Head = 34, Foot = 26;
  const std::int32_t SheetW = Gap + static_cast<std::int32_t>(Frames.size()) * (W + Gap), SheetH = Head + H + Foot;
  std::unique_ptr<cairo_surface_t, SurfaceDeleter> Sheet(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, SheetW, SheetH));
  std::unique_ptr<cairo_t, ContextDeleter> Cr(cairo_create(Sheet.get()));
  cairo_set_source_rgb(Cr.get(), 0.16, 0.16, 0.18);
  cairo_paint(Cr.get());
  cairo_select_font_face(Cr.get(), "sans-serif", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
  cairo_set_font_size(Cr.get(), 18);
  cairo_set_source_rgb(Cr.get(), 1, 1, 1);
  cairo_move_to(Cr.get(), Gap, 24);
  cairo_show_text(Cr.get(), Title.c_str());
  cairo_set_font_size(Cr.get(), 14);
  for (std::size_t I = 0; I < Frames.size(); ++I) {
    const std::int32_t X = Gap + static_cast<std::int32_t>(I) * (W + Gap);
    // The stage pixels are opaque TColor32, the byte order of Cairo's ARGB32.
    std::unique_ptr<cairo_surface_t, SurfaceDeleter> Frame(cairo_image_surface_create_for_data(
        reinterpret_cast<unsigned char*>(const_cast<TColor32*>(Frames[I].data())), CAIRO_FORMAT_ARGB32, W, H,
        W * 4));
    cairo_set_source_surface(Cr.get(), Frame.get(), X, Head);
    cairo_paint(Cr.get());
    cairo_set_source_rgb(Cr.get(), 0.85, 0.85, 0.85);
    cairo_move_to(Cr.get(), X, Head + H + 18);
    cairo_show_text(Cr.get(), Labels[I].c_str());
  }
  cairo_surface_flush(Sheet.get());
  if (cairo_surface_write_to_png(Sheet.get(), File.c_str()) != CAIRO_STATUS_SUCCESS)
    throw std::runtime_error("cannot write " + File);
}

// The half-way frames of all transitions at half size in one picture.
void WriteOverview(const std::string& File, const std::vector<std::vector<TColor32>>& Frames,
                   const std::vector<std::string>& Titles, std::int32_t W, std::int32_t H) {
  constexpr std::int32_t Columns = 6, Gap = 8, Foot = 18;
  const std::int32_t Cw = W / 2, Ch = H / 2;
  const auto Rows = static_cast<std::int32_t>((Frames.size() + Columns - 1) / Columns);
  std::unique_ptr<cairo_surface_t, SurfaceDeleter> Sheet(cairo_image_surface_create(
      CAIRO_FORMAT_ARGB32, Gap + Columns * (Cw + Gap), Gap + Rows * (Ch + Foot + Gap)));
  std::unique_ptr<cairo_t, ContextDeleter> Cr(cairo_create(Sheet.get()));
  cairo_set_source_rgb(Cr.get(), 0.16, 0.16, 0.18);
  cairo_paint(Cr.get());
  cairo_select_font_face(Cr.get(), "sans-serif", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(Cr.get(), 12);
  for (std::size_t I = 0; I < Frames.size(); ++I) {
    const double X = Gap + static_cast<double>(I % Columns) * (Cw + Gap);
    const double Y = Gap + static_cast<double>(I / Columns) * (Ch + Foot + Gap);
    std::unique_ptr<cairo_surface_t, SurfaceDeleter> Frame(cairo_image_surface_create_for_data(
        reinterpret_cast<unsigned char*>(const_cast<TColor32*>(Frames[I].data())), CAIRO_FORMAT_ARGB32, W, H,
        W * 4));
    cairo_save(Cr.get());
    cairo_translate(Cr.get(), X, Y);
    cairo_scale(Cr.get(), 0.5, 0.5);
    cairo_set_source_surface(Cr.get(), Frame.get(), 0, 0);
    cairo_paint(Cr.get());
    cairo_restore(Cr.get());
    cairo_set_source_rgb(Cr.get(), 0.9, 0.9, 0.9);
    cairo_move_to(Cr.get(), X, Y + Ch + 13);
    cairo_show_text(Cr.get(), Titles[I].c_str());
  }
  cairo_surface_flush(Sheet.get());
  if (cairo_surface_write_to_png(Sheet.get(), File.c_str()) != CAIRO_STATUS_SUCCESS)
    throw std::runtime_error("cannot write " + File);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4 && argc != 6) {
    std::fprintf(stderr, "usage: %s OUTPUT_FOLDER OLD_PICTURE NEW_PICTURE [WIDTH HEIGHT]\n", argv[0]);
    return 2;
  }
  try {
    const std::string Out = argv[1];
    const std::int32_t W = argc == 6 ? std::atoi(argv[4]) : 640, H = argc == 6 ? std::atoi(argv[5]) : 400;
    std::filesystem::create_directories(Out);
    platform::RegisterPictureFormats();
    RegisterTransitionClasses(PluginRegistry);
    platform::VirtualClock Clock;
    platform::ScopedClock UseVirtualTime(Clock);
    const std::unique_ptr<TBitmap32> Old = LoadStretched(argv[2], W, H), New = LoadStretched(argv[3], W, H);

    std::int32_t Number = 0;
    std::vector<std::vector<TColor32>> Halves;
    std::vector<std::string> HalfTitles;
    for (TPluginClassRef Class : TransitionClasses()) {
      ++Number;
      const std::int32_t Steps = Run(Class, *Old, *New, [](std::int32_t, Stage&) {});
      const std::int32_t At[] = {(Steps + 2) / 4, (Steps + 1) / 2, (3 * Steps + 2) / 4};
      std::vector<std::vector<TColor32>> Frames;
      std::vector<std::string> Labels;
      Run(Class, *Old, *New, [&](std::int32_t Step, Stage& S) {
        for (std::int32_t I = 0; I < 3; ++I)
          if (Step == At[I]) {
            Frames.push_back(S.Data());
            Labels.push_back("step " + std::to_string(Step) + " of " + std::to_string(Steps));
          }
      });
      // Captions are Windows-1252 text; the sheet writes UTF-8.
      const std::string Caption = platform::Cp1252ToUtf8(Class->Caption());
      const std::string Title = std::to_string(Number) + ". " + Caption + "  (" + std::string(Class->ClassName()) + ")";
      char Prefix[16];
      std::snprintf(Prefix, sizeof Prefix, "%02d-", Number);
      WriteSheet(Out + "/" + Prefix + std::string(Class->ClassName()) + ".png", Title, Frames, Labels, W, H);
      Halves.push_back(Frames[1]);
      HalfTitles.push_back(std::to_string(Number) + ". " + Caption);
    }
    WriteOverview(Out + "/overview.png", Halves, HalfTitles, W, H);
    std::printf("%d sheets and overview.png in %s\n", Number, Out.c_str());
    return 0;
  } catch (const std::exception& E) {
    std::fprintf(stderr, "%s\n", E.what());
    return 1;
  }
}
