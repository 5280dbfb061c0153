#include "Platform/Canvas/TextLayout.h"

#include <pango/pangocairo.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <list>
#include <mutex>
#include <unordered_map>

#include "Platform/Core/Cp1252.h"

namespace platform::text {
namespace {

template <class T>
struct GObjectUnref {
  void operator()(T* P) const { g_object_unref(P); }
};
template <class T>
using GObjectPtr = std::unique_ptr<T, GObjectUnref<T>>;

struct FontDescriptionFree {
  void operator()(PangoFontDescription* D) const { pango_font_description_free(D); }
};
using FontDescriptionPtr = std::unique_ptr<PangoFontDescription, FontDescriptionFree>;

struct AttrListUnref {
  void operator()(PangoAttrList* L) const { pango_attr_list_unref(L); }
};
using AttrListPtr = std::unique_ptr<PangoAttrList, AttrListUnref>;

struct FontOptionsFree {
  void operator()(cairo_font_options_t* O) const { cairo_font_options_destroy(O); }
};

// The em size used when a font has height 0.
constexpr double DefaultEmPixels = 16.0;
// Pango measures in 1/1024 pixel in an int: a font or a wrap width beyond
// these would overflow it. Both are far beyond any screen.
constexpr double MaxEmPixels = 16384.0;
constexpr std::int32_t MaxPangoPixels = std::numeric_limits<int>::max() / PANGO_SCALE;

std::string FamilyList(const std::string& Name) {
  // Pango reads a comma-separated list; a missing face falls back to a sans face.
  std::string Family = Name;
  std::replace(Family.begin(), Family.end(), ',', ' ');
  std::replace(Family.begin(), Family.end(), ';', ' ');
  if (Family.find_first_not_of(' ') == std::string::npos) return "sans-serif";
  return Family + ",sans-serif";
}

struct RealisedFont {
  FontDescriptionPtr Description;
  FontMetrics Metrics;
};

size_t HashKey(const FontKey& K) {
  std::size_t H = std::hash<std::string>{}(K.Family);
  H ^= std::hash<std::int32_t>{}(K.Height) + 0x9e3779b9 + (H << 6) + (H >> 2);
  return H ^ (static_cast<std::size_t>(K.Bold) << 1) ^ (static_cast<std::size_t>(K.Italic) << 2) ^
         (static_cast<std::size_t>(K.Underline) << 3) ^ (static_cast<std::size_t>(K.StrikeOut) << 4);
}
struct KeyHash {
  std::size_t operator()(const FontKey& K) const { return HashKey(K); }
};

// Everything that talks to Pango, behind one lock (Pango objects are not
// meant to be shared between threads).
class Engine {
public:
  static Engine& Instance() {
    static Engine E;
    return E;
  }

  std::mutex Mutex;

  Engine() {
    FontMap_.reset(pango_cairo_font_map_new());
    Context_.reset(pango_font_map_create_context(FontMap_.get()));
    MetricsContext_.reset(pango_font_map_create_context(FontMap_.get()));
    // Glyph advances on whole pixels, as the platform's text output has them;
    // smoothed glyph edges.
    std::unique_ptr<cairo_font_options_t, FontOptionsFree> Options(cairo_font_options_create());
    cairo_font_options_set_antialias(Options.get(), CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_style(Options.get(), CAIRO_HINT_STYLE_SLIGHT);
    cairo_font_options_set_hint_metrics(Options.get(), CAIRO_HINT_METRICS_ON);
    pango_cairo_context_set_font_options(Context_.get(), Options.get());
    // Line metrics come from the face's design (unrounded), so that a line
    // advances by the face's ascent plus descent.
    cairo_font_options_set_hint_metrics(Options.get(), CAIRO_HINT_METRICS_OFF);
    cairo_font_options_set_hint_style(Options.get(), CAIRO_HINT_STYLE_NONE);
    pango_cairo_context_set_font_options(MetricsContext_.get(), Options.get());
    pango_cairo_context_set_resolution(Context_.get(), 96.0);
    pango_cairo_context_set_resolution(MetricsContext_.get(), 96.0);
    Language_ = pango_language_from_string("de-de");
  }

  PangoContext* Context() { return Context_.get(); }

  const RealisedFont& Realise(const FontKey& Key) {
    auto It = Fonts_.find(Key);
    if (It != Fonts_.end()) return It->second;
    RealisedFont F;
    F.Description.reset(pango_font_description_new());
    pango_font_description_set_family(F.Description.get(), FamilyList(Key.Family).c_str());
    pango_font_description_set_weight(F.Description.get(), Key.Bold ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
    pango_font_description_set_style(F.Description.get(), Key.Italic ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL);
    double Em = DefaultEmPixels;
    if (Key.Height < 0) Em = -static_cast<double>(Key.Height);
    if (Key.Height > 0) {
      // A positive height is the cell height (ascent + descent).
      // Measured at a size Pango can hold; the cell grows in proportion.
      const double Measured = std::min<double>(Key.Height, MaxEmPixels);
      const auto [Ascent, Descent] = DesignMetrics(F.Description.get(), Measured);
      Em = Ascent + Descent > 0 ? Key.Height * Measured / (Ascent + Descent) : Key.Height;
    }
    Em = std::min(Em, MaxEmPixels);
    pango_font_description_set_absolute_size(F.Description.get(), Em * PANGO_SCALE);
    const auto [Ascent, Descent] = DesignMetrics(F.Description.get(), Em);
    F.Metrics.EmPixels = Em;
    F.Metrics.Ascent = static_cast<std::int32_t>(std::lround(Ascent));
    F.Metrics.LineHeight = static_cast<std::int32_t>(std::lround(Ascent + Descent));
    if (F.Metrics.LineHeight < 1) F.Metrics.LineHeight = 1;
    return Fonts_.emplace(Key, std::move(F)).first->second;
  }

  std::string Resolved(const FontKey& Key) {
    const RealisedFont& F = Realise(Key);
    GObjectPtr<PangoFont> Font(pango_font_map_load_font(FontMap_.get(), Context_.get(), F.Description.get()));
    if (!Font) return {};
    FontDescriptionPtr D(pango_font_describe(Font.get()));
    const char* Family = pango_font_description_get_family(D.get());
    return Family ? Family : "";
  }

private:
  std::pair<double, double> DesignMetrics(const PangoFontDescription* Base, double Em) {
    FontDescriptionPtr D(pango_font_description_copy(Base));
    pango_font_description_set_absolute_size(D.get(), Em * PANGO_SCALE);
    PangoFontMetrics* M = pango_context_get_metrics(MetricsContext_.get(), D.get(), Language_);
    const double Ascent = pango_font_metrics_get_ascent(M) / static_cast<double>(PANGO_SCALE);
    const double Descent = pango_font_metrics_get_descent(M) / static_cast<double>(PANGO_SCALE);
    pango_font_metrics_unref(M);
    return {Ascent, Descent};
  }

  GObjectPtr<PangoFontMap> FontMap_;
  GObjectPtr<PangoContext> Context_;
  GObjectPtr<PangoContext> MetricsContext_;
  PangoLanguage* Language_ = nullptr;
  std::unordered_map<FontKey, RealisedFont, KeyHash> Fonts_;
};

}  // namespace

struct Layout::Impl {
  GObjectPtr<PangoLayout> Pango;
  std::vector<std::int32_t> Widths;  // pixels per line
};

std::int32_t Layout::LineCount() const { return static_cast<std::int32_t>(Impl_->Widths.size()); }
std::int32_t Layout::LineWidth(std::int32_t Line) const { return Impl_->Widths[static_cast<std::size_t>(Line)]; }
std::int32_t Layout::Width() const {
  std::int32_t W = 0;
  for (std::int32_t L : Impl_->Widths) W = std::max(W, L);
  return W;
}
std::int32_t Layout::Height() const { return LineCount() * Metrics_.LineHeight; }

void Layout::DrawLine(cairo_t* Cr, std::int32_t Line, double X, double Top) const {
  std::lock_guard Lock(Engine::Instance().Mutex);
  PangoLayoutLine* L = pango_layout_get_line_readonly(Impl_->Pango.get(), Line);
  if (!L) return;
  cairo_move_to(Cr, X, Top + Metrics_.Ascent);
  pango_cairo_show_layout_line(Cr, L);
}

namespace {

GObjectPtr<PangoLayout> MakePangoLayout(Engine& E, const RealisedFont& F, const FontKey& Key,
                                        const std::string& Text, const std::vector<std::size_t>& Underlined) {
  GObjectPtr<PangoLayout> L(pango_layout_new(E.Context()));
  pango_layout_set_font_description(L.get(), F.Description.get());
  pango_layout_set_text(L.get(), Text.data(), static_cast<int>(Text.size()));
  AttrListPtr Attrs(pango_attr_list_new());
  if (Key.Underline) pango_attr_list_insert(Attrs.get(), pango_attr_underline_new(PANGO_UNDERLINE_SINGLE));
  if (Key.StrikeOut) pango_attr_list_insert(Attrs.get(), pango_attr_strikethrough_new(TRUE));
  for (std::size_t Offset : Underlined) {
    if (Offset >= Text.size()) continue;
    const char* Next = g_utf8_next_char(Text.data() + Offset);
    PangoAttribute* A = pango_attr_underline_new(PANGO_UNDERLINE_SINGLE);
    A->start_index = static_cast<guint>(Offset);
    A->end_index = static_cast<guint>(Next - Text.data());
    pango_attr_list_insert(Attrs.get(), A);
  }
  pango_layout_set_attributes(L.get(), Attrs.get());
  return L;
}

std::int32_t PixelWidth(PangoLayoutLine* Line) {
  PangoRectangle Logical;
  pango_layout_line_get_extents(Line, nullptr, &Logical);
  return static_cast<std::int32_t>(std::ceil((Logical.x + Logical.width) / static_cast<double>(PANGO_SCALE) - 1e-6));
}

// Per-character logical widths (Pango units) of one unwrapped paragraph line,
// with the byte offset (in the layout's text) of each character.
void CharWidths(PangoLayout* L, PangoLayoutLine* Line, std::vector<std::int32_t>& Offsets,
                std::vector<std::int32_t>& Widths) {
  const char* Text = pango_layout_get_text(L);
  const std::int32_t Start = Line->start_index;
  const std::int32_t End = Line->start_index + Line->length;
  Offsets.clear();
  for (const char* P = Text + Start; P < Text + End; P = g_utf8_next_char(P))
    Offsets.push_back(static_cast<std::int32_t>(P - Text));
  Widths.assign(Offsets.size(), 0);
  std::vector<int> RunWidths;
  for (GSList* R = Line->runs; R; R = R->next) {
    auto* Run = static_cast<PangoGlyphItem*>(R->data);
    const int Chars = Run->item->num_chars;
    RunWidths.assign(static_cast<std::size_t>(Chars), 0);
    pango_glyph_item_get_logical_widths(Run, Text, RunWidths.data());
    const auto First = std::lower_bound(Offsets.begin(), Offsets.end(), Run->item->offset) - Offsets.begin();
    for (int C = 0; C < Chars && First + C < static_cast<std::ptrdiff_t>(Widths.size()); ++C)
      Widths[static_cast<std::size_t>(First + C)] = RunWidths[static_cast<std::size_t>(C)];
  }
}

struct Piece {
  std::int32_t Begin;  // byte offsets in the measured text
  std::int32_t End;
};

// Greedy line breaking at blanks; a word wider than the line is broken
// inside. Blanks at a wrap are dropped; blanks at the paragraph's end stay.
void BreakParagraph(const std::string& Text, const std::vector<std::int32_t>& Offsets,
                    const std::vector<std::int32_t>& W, std::int32_t ParagraphEnd, std::int64_t Max,
                    std::vector<Piece>& Out) {
  const std::size_t N = Offsets.size();
  auto ByteAt = [&](std::size_t I) { return I < N ? Offsets[I] : ParagraphEnd; };
  auto Blank = [&](std::size_t I) { return Text[static_cast<std::size_t>(Offsets[I])] == ' '; };
  std::size_t LineStart = 0;
  for (;;) {
    std::size_t Pos = LineStart, End = LineStart;
    std::int64_t Width = 0;
    for (;;) {
      std::int64_t BlankWidth = 0;
      while (Pos < N && Blank(Pos)) BlankWidth += W[Pos++];
      if (Pos == N) {
        Out.push_back({ByteAt(LineStart), ParagraphEnd});
        return;
      }
      const std::size_t WordStart = Pos;
      std::int64_t WordWidth = 0;
      while (Pos < N && !Blank(Pos)) WordWidth += W[Pos++];
      if (Width + BlankWidth + WordWidth <= Max) {
        Width += BlankWidth + WordWidth;
        End = Pos;
        continue;
      }
      if (End == LineStart) {
        // The word alone is too wide: break it at the last character that fits.
        std::int64_t Used = Width + BlankWidth;
        std::size_t K = WordStart;
        while (K < Pos && Used + W[K] <= Max) Used += W[K++];
        if (K == WordStart) ++K;  // at least one character per line
        Out.push_back({ByteAt(LineStart), ByteAt(K)});
        LineStart = K;
      } else {
        Out.push_back({ByteAt(LineStart), ByteAt(End)});
        LineStart = WordStart;
      }
      break;
    }
  }
}

std::string NormaliseBreaks(const std::string& Text, bool SingleLine, bool ExpandTabs,
                            std::vector<std::size_t>& Underlined) {
  // CR LF, CR and LF become one '\n' (a space each on a single line); the
  // underline offsets follow the shortened text. Without tab expansion a tab
  // takes one blank's room instead of jumping to a tab stop.
  std::string Out;
  Out.reserve(Text.size());
  std::vector<std::size_t> Map(Text.size() + 1);
  for (std::size_t I = 0; I < Text.size(); ++I) {
    Map[I] = Out.size();
    const char C = Text[I];
    if (C == '\r' || C == '\n') {
      if (C == '\r' && I + 1 < Text.size() && Text[I + 1] == '\n') {
        ++I;
        Map[I] = Out.size();
      }
      Out.push_back(SingleLine ? ' ' : '\n');
    } else {
      Out.push_back(C == '\t' && !ExpandTabs ? ' ' : C);
    }
  }
  Map[Text.size()] = Out.size();
  for (std::size_t& U : Underlined) U = U < Map.size() ? Map[U] : Out.size();
  return Out;
}

// Pango's own wrapping, kept when every wrap it made falls on a blank: its
// break opportunities include ours, so its greedy choice is then ours too,
// and the paragraph is shaped only once. Otherwise the layout is unwrapped
// again and false comes back.
bool WrapWithPango(Layout::Impl& I, const std::string& Text, std::int32_t MaxWidth) {
  PangoLayout* L = I.Pango.get();
  pango_layout_set_width(L, std::min(MaxWidth, MaxPangoPixels) * PANGO_SCALE);
  pango_layout_set_wrap(L, PANGO_WRAP_WORD_CHAR);
  const int Lines = pango_layout_get_line_count(L);
  std::vector<std::int32_t> Widths;
  for (int N = 0; N < Lines; ++N) {
    PangoLayoutLine* Line = pango_layout_get_line_readonly(L, N);
    const std::size_t Start = static_cast<std::size_t>(Line->start_index);
    const std::size_t End = Start + static_cast<std::size_t>(Line->length);
    // A wrap inside a word, or one that moved blanks to the next line, is not ours.
    const bool AfterWrap = N > 0 && Start > 0 && Text[Start - 1] != '\n';
    if (AfterWrap && (Text[Start - 1] != ' ' || (Start < Text.size() && Text[Start] == ' '))) {
      pango_layout_set_width(L, -1);
      return false;
    }
    const bool Wrapped = End < Text.size() && Text[End] != '\n';
    if (!Wrapped) {
      Widths.push_back(PixelWidth(Line));
      continue;
    }
    // The blanks at a wrap take no room.
    std::size_t Content = End;
    while (Content > Start && Text[Content - 1] == ' ') --Content;
    int X = 0;
    if (Content > Start) pango_layout_line_index_to_x(Line, static_cast<int>(Content), FALSE, &X);
    Widths.push_back(static_cast<std::int32_t>(std::ceil(X / static_cast<double>(PANGO_SCALE) - 1e-6)));
  }
  I.Widths = std::move(Widths);
  return true;
}

Layout BuildLayout(const LayoutRequest& Request) {
  Engine& E = Engine::Instance();
  std::lock_guard Lock(E.Mutex);
  const RealisedFont& F = E.Realise(Request.Font);
  std::vector<std::size_t> Underlined = Request.Underlined;
  const std::string Text = NormaliseBreaks(Request.Text, Request.SingleLine, Request.ExpandTabs, Underlined);

  auto I = std::make_shared<Layout::Impl>();
  I->Pango = MakePangoLayout(E, F, Request.Font, Text, Underlined);
  if (Request.WordBreak && !Request.SingleLine && Request.MaxWidth > 0 && WrapWithPango(*I, Text, Request.MaxWidth))
    return Layout(std::move(I), F.Metrics);
  const int Lines = pango_layout_get_line_count(I->Pango.get());

  bool NeedsBreaks = false;
  if (Request.WordBreak && !Request.SingleLine) {
    for (int L = 0; L < Lines && !NeedsBreaks; ++L)
      NeedsBreaks = PixelWidth(pango_layout_get_line_readonly(I->Pango.get(), L)) > Request.MaxWidth;
  }
  if (NeedsBreaks) {
    std::vector<Piece> Pieces;
    std::vector<std::int32_t> Offsets, Widths;
    const std::int64_t Max = std::int64_t{std::max(Request.MaxWidth, 0)} * PANGO_SCALE;
    for (int L = 0; L < Lines; ++L) {
      PangoLayoutLine* Line = pango_layout_get_line_readonly(I->Pango.get(), L);
      CharWidths(I->Pango.get(), Line, Offsets, Widths);
      BreakParagraph(Text, Offsets, Widths, Line->start_index + Line->length, Max, Pieces);
    }
    std::string Broken;
    std::vector<std::size_t> BrokenUnderlined;
    for (std::size_t P = 0; P < Pieces.size(); ++P) {
      if (P) Broken.push_back('\n');
      const std::size_t Base = Broken.size();
      Broken.append(Text, static_cast<std::size_t>(Pieces[P].Begin),
                    static_cast<std::size_t>(Pieces[P].End - Pieces[P].Begin));
      for (std::size_t U : Underlined)
        if (U >= static_cast<std::size_t>(Pieces[P].Begin) && U < static_cast<std::size_t>(Pieces[P].End))
          BrokenUnderlined.push_back(Base + U - static_cast<std::size_t>(Pieces[P].Begin));
    }
    I->Pango = MakePangoLayout(E, F, Request.Font, Broken, BrokenUnderlined);
  }
  const int Final = pango_layout_get_line_count(I->Pango.get());
  for (int L = 0; L < Final; ++L) I->Widths.push_back(PixelWidth(pango_layout_get_line_readonly(I->Pango.get(), L)));
  return Layout(std::move(I), F.Metrics);
}

// Recent layouts by request.
class LayoutCache {
public:
  static LayoutCache& Instance() {
    static LayoutCache C;
    return C;
  }
  Layout Get(const LayoutRequest& R) {
    std::string Key = SerialKey(R);
    {
      std::lock_guard Lock(Mutex_);
      auto It = Index_.find(Key);
      if (It != Index_.end()) {
        Order_.splice(Order_.begin(), Order_, It->second);
        return It->second->second;
      }
    }
    Layout L = BuildLayout(R);
    std::lock_guard Lock(Mutex_);
    if (Index_.find(Key) == Index_.end()) {
      Order_.emplace_front(Key, L);
      Index_.emplace(std::move(Key), Order_.begin());
      if (Order_.size() > Capacity) {
        Index_.erase(Order_.back().first);
        Order_.pop_back();
      }
    }
    return L;
  }

private:
  static constexpr std::size_t Capacity = 64;
  static std::string SerialKey(const LayoutRequest& R) {
    std::string K = R.Font.Family;
    K.push_back('\0');
    K += std::to_string(R.Font.Height);
    K.push_back(static_cast<char>('A' + (R.Font.Bold | R.Font.Italic << 1 | R.Font.Underline << 2 |
                                         R.Font.StrikeOut << 3 | R.WordBreak << 4 | R.SingleLine << 5)));
    K.push_back(R.ExpandTabs ? 'T' : 't');
    if (R.WordBreak) K += std::to_string(R.MaxWidth);
    for (std::size_t U : R.Underlined) {
      K.push_back('_');
      K += std::to_string(U);
    }
    K.push_back('\0');
    K += R.Text;
    return K;
  }
  std::mutex Mutex_;
  std::list<std::pair<std::string, Layout>> Order_;
  std::unordered_map<std::string, std::list<std::pair<std::string, Layout>>::iterator> Index_;
};

}  // namespace

FontKey KeyOf(const TFont& Font) {
  FontKey K;
  K.Family = Cp1252ToUtf8(Font.Name());
  K.Height = Font.Height();
  const TFontStyles S = Font.Style();
  K.Bold = S.Contains(fsBold);
  K.Italic = S.Contains(fsItalic);
  K.Underline = S.Contains(fsUnderline);
  K.StrikeOut = S.Contains(fsStrikeOut);
  return K;
}

FontMetrics MetricsOf(const FontKey& Key) {
  Engine& E = Engine::Instance();
  std::lock_guard Lock(E.Mutex);
  return E.Realise(Key).Metrics;
}

std::string ResolvedFamily(const FontKey& Key) {
  Engine& E = Engine::Instance();
  std::lock_guard Lock(E.Mutex);
  return E.Resolved(Key);
}

Layout LayoutText(const LayoutRequest& Request) { return LayoutCache::Instance().Get(Request); }

void WarmUp() {
  static std::once_flag Once;
  std::call_once(Once, [] {
    std::string Sample;
    for (int C = 0x20; C < 0x100; ++C)
      if (C < 0x7F || C >= 0xA0) Sample.push_back(static_cast<char>(C));
    const std::string Utf8 = Cp1252ToUtf8(Sample);
    std::unique_ptr<cairo_surface_t, void (*)(cairo_surface_t*)> Surface(
        cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 64, 64), cairo_surface_destroy);
    std::unique_ptr<cairo_t, void (*)(cairo_t*)> Cr(cairo_create(Surface.get()), cairo_destroy);
    for (const char* Family : {"Arial", "Times New Roman", "Courier New", "Tahoma"}) {
      for (bool Bold : {false, true}) {
        LayoutRequest R;
        R.Font.Family = Family;
        R.Font.Height = -32;
        R.Font.Bold = Bold;
        R.Text = Utf8;
        Layout L = BuildLayout(R);
        for (std::int32_t Line = 0; Line < L.LineCount(); ++Line) L.DrawLine(Cr.get(), Line, 0, 0);
      }
    }
  });
}

}  // namespace platform::text
