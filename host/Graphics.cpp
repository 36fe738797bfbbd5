#include "host/Graphics.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <vector>

#include "host/Exception.h"
#include "host/Translate.h"

namespace {

// The default system colours of the desktop theme this host imitates, by index.
constexpr std::array<COLORREF, 31> SystemColors = {
    RGB(200, 200, 200),  // scroll bar
    RGB(0, 0, 0),        // desktop background
    RGB(153, 180, 209),  // active caption
    RGB(191, 205, 219),  // inactive caption
    RGB(240, 240, 240),  // menu
    RGB(255, 255, 255),  // window
    RGB(100, 100, 100),  // window frame
    RGB(0, 0, 0),        // menu text
    RGB(0, 0, 0),        // window text
    RGB(0, 0, 0),        // caption text
    RGB(180, 180, 180),  // active border
    RGB(244, 247, 252),  // inactive border
    RGB(171, 171, 171),  // application workspace
    RGB(0, 120, 215),    // highlight
    RGB(255, 255, 255),  // highlight text
    RGB(240, 240, 240),  // button face
    RGB(160, 160, 160),  // button shadow
    RGB(109, 109, 109),  // grey text
    RGB(0, 0, 0),        // button text
    RGB(0, 0, 0),        // inactive caption text
    RGB(255, 255, 255),  // button highlight
    RGB(105, 105, 105),  // 3-D dark shadow
    RGB(227, 227, 227),  // 3-D light
    RGB(0, 0, 0),        // tooltip text
    RGB(255, 255, 225),  // tooltip background
    RGB(0, 0, 0),        // (unused index)
    RGB(0, 102, 204),    // hot-tracked item
    RGB(185, 209, 234),  // active caption gradient
    RGB(215, 228, 242),  // inactive caption gradient
    RGB(0, 120, 215),    // menu highlight
    RGB(240, 240, 240),  // menu bar
};

constexpr const char* SUnknownExtension = TRANSLATE_NOOP("host", "不明なピクチャファイルの拡張子です (.%s)");
constexpr const char* SCannotStream = "%s cannot be streamed";

std::string Lower(std::string Text) {
  std::transform(Text.begin(), Text.end(), Text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return Text;
}

// The extension of the last path component, without the dot; empty when it has none.
std::string ExtensionOf(const std::string& FileName) {
  const auto slash = FileName.find_last_of('/');
  const auto dot = FileName.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
  return FileName.substr(dot + 1);
}

struct TFileFormat {
  std::string Extension;  // lower case, no dot
  std::string Description;
  TGraphicClass GraphicClass;
};

struct TClipboardFormat {
  WORD Format;
  TGraphicClass GraphicClass;
};

// Function-local so that registrars running during static initialisation of
// other libraries find them built, and so that they outlive those registrars.
std::vector<TFileFormat>& FileFormats() {
  static std::vector<TFileFormat> formats;
  return formats;
}

std::vector<TClipboardFormat>& ClipboardFormats() {
  static std::vector<TClipboardFormat> formats;
  return formats;
}

const TFileFormat* FindFileFormat(const std::string& Extension) {
  const auto key = Lower(Extension);
  const auto& formats = FileFormats();
  // The latest registration wins, as a later library overrides an earlier one.
  const auto found = std::find_if(formats.rbegin(), formats.rend(), [&](const auto& f) { return f.Extension == key; });
  return found == formats.rend() ? nullptr : &*found;
}

}  // namespace

COLORREF ColorToRGB(TColor Color) {
  if (Color >= 0) return static_cast<COLORREF>(Color);
  const auto index = static_cast<std::size_t>(Color & 0xFF);
  return index < SystemColors.size() ? SystemColors[index] : 0;
}

// --- TGraphic -----------------------------------------------------------------

void TGraphic::SetTransparent(bool Value) {
  if (Value == FTransparent) return;
  FTransparent = Value;
  Changed(this);
}

bool TGraphic::Equals(TGraphic& Graphic) {
  if (&Graphic == this) return true;
  if (Graphic.ClassType() != ClassType()) return false;
  TMemoryStream mine, theirs;
  SaveToStream(mine);
  Graphic.SaveToStream(theirs);
  return std::ranges::equal(mine.Memory(), theirs.Memory());
}

void TGraphic::LoadFromStream(TStream&) { throw EInvalidGraphic(FormatMessage(SCannotStream, ClassName())); }
void TGraphic::SaveToStream(TStream&) { throw EInvalidGraphic(FormatMessage(SCannotStream, ClassName())); }
void TGraphic::LoadFromClipboardFormat(WORD, HGLOBAL, HPALETTE) {
  throw EInvalidGraphic(FormatMessage(SCannotStream, ClassName()));
}
void TGraphic::SaveToClipboardFormat(WORD&, HGLOBAL&, HPALETTE&) {
  throw EInvalidGraphic(FormatMessage(SCannotStream, ClassName()));
}

void TGraphic::LoadFromFile(const std::string& FileName) {
  TFileStream stream(FileName, fmOpenRead);
  LoadFromStream(stream);
}

void TGraphic::SaveToFile(const std::string& FileName) {
  TFileStream stream(FileName, fmCreate);
  SaveToStream(stream);
}

void TGraphic::Changed(TObject*) {
  FModified = true;
  if (FOnChange) FOnChange(this);
}

void TGraphic::SetModified(bool Value) {
  if (Value)
    Changed(this);
  else
    FModified = false;
}

void TGraphic::Progress(TObject* Sender, TProgressStage Stage, BYTE PercentDone, bool RedrawNow, const TRect& R,
                        const std::string& Msg) {
  if (FOnProgress) FOnProgress(Sender, Stage, PercentDone, RedrawNow, R, Msg);
}

// --- TPicture -----------------------------------------------------------------

TPicture::TPicture() = default;
TPicture::~TPicture() = default;

void TPicture::SetGraphic(TGraphic* Graphic) {
  std::unique_ptr<TGraphic> copy;
  if (Graphic) {
    copy = Graphic->ClassType()();
    copy->Assign(Graphic);
    copy->SetOnChange([this](TObject* Sender) { Changed(Sender); });
  }
  FGraphic = std::move(copy);
  Changed(this);
}

int TPicture::GetWidth() const { return FGraphic ? FGraphic->GetWidth() : 0; }
int TPicture::GetHeight() const { return FGraphic ? FGraphic->GetHeight() : 0; }

void TPicture::Assign(TPersistent* Source) {
  if (!Source) {
    SetGraphic(nullptr);
  } else if (auto* picture = dynamic_cast<TPicture*>(Source)) {
    if (picture != this) SetGraphic(picture->GetGraphic());
  } else if (auto* graphic = dynamic_cast<TGraphic*>(Source)) {
    SetGraphic(graphic);
  } else {
    TPersistent::Assign(Source);
  }
}

void TPicture::LoadFromFile(const std::string& FileName) {
  const auto extension = ExtensionOf(FileName);
  const auto* format = FindFileFormat(extension);
  if (!format) throw EInvalidGraphic(FormatMessage(HostText(SUnknownExtension), extension));
  auto graphic = format->GraphicClass();
  graphic->LoadFromFile(FileName);
  graphic->SetOnChange([this](TObject* Sender) { Changed(Sender); });
  FGraphic = std::move(graphic);
  Changed(this);
}

void TPicture::SaveToFile(const std::string& FileName) {
  if (FGraphic) FGraphic->SaveToFile(FileName);
}

void TPicture::Changed(TObject*) {
  if (FOnChange) FOnChange(this);
}

void TPicture::RegisterFileFormat(const std::string& Extension, const std::string& Description,
                                  TGraphicClass GraphicClass) {
  FileFormats().push_back({Lower(Extension), Description, GraphicClass});
}

void TPicture::RegisterClipboardFormat(WORD Format, TGraphicClass GraphicClass) {
  ClipboardFormats().push_back({Format, GraphicClass});
}

void TPicture::UnregisterGraphicClass(TGraphicClass GraphicClass) {
  std::erase_if(FileFormats(), [&](const auto& f) { return f.GraphicClass == GraphicClass; });
  std::erase_if(ClipboardFormats(), [&](const auto& f) { return f.GraphicClass == GraphicClass; });
}

bool TPicture::SupportsClipboardFormat(WORD Format) { return GraphicClassForClipboardFormat(Format) != nullptr; }

TGraphicClass TPicture::GraphicClassForExtension(const std::string& Extension) {
  const auto* format = FindFileFormat(Extension);
  return format ? format->GraphicClass : nullptr;
}

TGraphicClass TPicture::GraphicClassForClipboardFormat(WORD Format) {
  const auto& formats = ClipboardFormats();
  const auto found = std::find_if(formats.rbegin(), formats.rend(), [&](const auto& f) { return f.Format == Format; });
  return found == formats.rend() ? nullptr : found->GraphicClass;
}

std::string TPicture::DescriptionForExtension(const std::string& Extension) {
  const auto* format = FindFileFormat(Extension);
  return format ? format->Description : std::string{};
}
