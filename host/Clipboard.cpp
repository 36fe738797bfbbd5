#include "host/Clipboard.h"

#include <cstring>

#include "host/Exception.h"
#include "host/Gdi.h"
#include "host/Graphics.h"
#include "host/Kernel.h"
#include "host/Translate.h"

namespace {

constexpr const char* SCannotSetClipboardData = TRANSLATE_NOOP("host", "クリップボードにデータを設定できません");

std::vector<BYTE> PaletteBytes(HPALETTE Palette) {
  PALETTEENTRY entries[256];
  const UINT count = GetPaletteEntries(Palette, 0, 256, entries);
  if (count == 0) return {};
  const WORD head[2] = {0x0300, static_cast<WORD>(count)};
  std::vector<BYTE> bytes(sizeof head + count * sizeof(PALETTEENTRY));
  std::memcpy(bytes.data(), head, sizeof head);
  std::memcpy(bytes.data() + sizeof head, entries, count * sizeof(PALETTEENTRY));
  return bytes;
}

// None for bytes that are not a whole palette record.
HPALETTE PaletteFromBytes(std::span<const BYTE> Bytes) {
  WORD head[2];
  if (Bytes.size() < sizeof head) return {};
  std::memcpy(head, Bytes.data(), sizeof head);
  LOGPALETTE record;
  record.palNumEntries = head[1];
  if (record.palNumEntries == 0 || record.palNumEntries > 256 ||
      Bytes.size() < sizeof head + record.palNumEntries * sizeof(PALETTEENTRY))
    return {};
  std::memcpy(record.palPalEntry, Bytes.data() + sizeof head, record.palNumEntries * sizeof(PALETTEENTRY));
  return CreatePalette(&record);
}

// Closes the clipboard when a transfer ends, also by an exception.
class TOpenScope {
 public:
  explicit TOpenScope(TClipboard& Clipboard) : FClipboard(Clipboard) { FClipboard.Open(); }
  ~TOpenScope() { FClipboard.Close(); }
  TOpenScope(const TOpenScope&) = delete;
  TOpenScope& operator=(const TOpenScope&) = delete;

 private:
  TClipboard& FClipboard;
};

}  // namespace

std::optional<std::vector<BYTE>> TMemoryClipboardBackend::GetData(WORD Format) {
  const auto found = FData.find(Format);
  if (found == FData.end()) return std::nullopt;
  return found->second;
}

bool TRecordingClipboardBackend::Open() {
  Transfers.push_back({TCall::Open});
  return !RefuseOpen;
}
void TRecordingClipboardBackend::Close() {
  Transfers.push_back({TCall::Close});
}
void TRecordingClipboardBackend::Clear() {
  Transfers.push_back({TCall::Clear});
  TMemoryClipboardBackend::Clear();
}
bool TRecordingClipboardBackend::HasFormat(WORD Format) {
  Transfers.push_back({TCall::HasFormat, Format});
  return TMemoryClipboardBackend::HasFormat(Format);
}
std::optional<std::vector<BYTE>> TRecordingClipboardBackend::GetData(WORD Format) {
  auto data = TMemoryClipboardBackend::GetData(Format);
  Transfers.push_back({TCall::GetData, Format, data ? data->size() : 0});
  return data;
}
bool TRecordingClipboardBackend::SetData(WORD Format, std::span<const BYTE> Data) {
  Transfers.push_back({TCall::SetData, Format, Data.size()});
  return TMemoryClipboardBackend::SetData(Format, Data);
}

// ---------------------------------------------------------------------------

TClipboard::TClipboard() : FBackend(std::make_shared<TMemoryClipboardBackend>()) {}

TClipboard::~TClipboard() { FreeLent(); }

std::shared_ptr<TClipboardBackend> TClipboard::SetBackend(std::shared_ptr<TClipboardBackend> Backend) {
  Assert(FOpenRefCount == 0, "TClipboard.SetBackend: Clipboard is Open");
  auto previous = std::move(FBackend);
  FBackend = Backend ? std::move(Backend) : std::make_shared<TMemoryClipboardBackend>();
  return previous;
}

void TClipboard::FreeLent() {
  for (const HGLOBAL block : FLentBlocks) GlobalFree(block);
  for (const HPALETTE palette : FLentPalettes) DeleteObject(palette);
  FLentBlocks.clear();
  FLentPalettes.clear();
}

void TClipboard::Open() {
  if (FOpenRefCount == 0) {
    if (!FBackend->Open()) throw Exception(HostText(SCannotOpenClipboard));
    // Handles lent out by the last transfer die here, as the system's do.
    FreeLent();
    FEmptied = false;
  }
  ++FOpenRefCount;
}

void TClipboard::Close() {
  if (FOpenRefCount == 0) return;
  if (--FOpenRefCount == 0) FBackend->Close();
}

void TClipboard::Clear() {
  const TOpenScope open(*this);
  FBackend->Clear();
}

bool TClipboard::HasFormat(WORD Format) {
  const TOpenScope open(*this);
  return FBackend->HasFormat(Format);
}

THandleValue TClipboard::GetAsHandle(WORD Format) {
  const TOpenScope open(*this);
  return Lend(Format, FBackend->GetData(Format));
}

THandleValue TClipboard::GetOtherAsHandle(WORD Format, int Offer) {
  const TOpenScope open(*this);
  return Lend(Format, FBackend->GetOtherData(Format, Offer));
}

THandleValue TClipboard::Lend(WORD Format, const std::optional<std::vector<BYTE>>& Data) {
  if (!Data) return {};
  if (Format == CF_PALETTE) {
    const HPALETTE palette = PaletteFromBytes(*Data);
    if (palette) FLentPalettes.push_back(palette);
    return palette;
  }
  const HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, Data->size());
  void* memory = block ? GlobalLock(block) : nullptr;
  if (!memory) {
    if (block) GlobalFree(block);
    throw EOutOfMemory(HostText(SCannotSetClipboardData));
  }
  if (!Data->empty()) std::memcpy(memory, Data->data(), Data->size());
  GlobalUnlock(block);
  FLentBlocks.push_back(block);
  return block;
}

void TClipboard::SetAsHandle(WORD Format, THandleValue Value) {
  // The clipboard owns the handle from here on, whatever happens.
  std::vector<BYTE> bytes;
  bool valid = false;
  if (Format == CF_PALETTE) {
    const HPALETTE palette{Value};
    bytes = PaletteBytes(palette);
    valid = !bytes.empty();
    DeleteObject(palette);
  } else {
    const HGLOBAL block{Value};
    if (const auto* memory = static_cast<const BYTE*>(GlobalLock(block))) {
      bytes.assign(memory, memory + GlobalSize(block));
      GlobalUnlock(block);
      valid = true;
    }
    GlobalFree(block);
  }
  if (!valid) throw EInvalidOperation(HostText(SCannotSetClipboardData));
  const TOpenScope open(*this);
  if (!FEmptied) {
    FBackend->Clear();
    FEmptied = true;
  }
  if (!FBackend->SetData(Format, bytes)) throw EInvalidOperation(HostText(SCannotSetClipboardData));
}

void TClipboard::Assign(TPersistent* Source) {
  TGraphic* graphic = dynamic_cast<TGraphic*>(Source);
  if (auto* picture = dynamic_cast<TPicture*>(Source)) graphic = picture->GetGraphic();
  if (!graphic) {
    TPersistent::Assign(Source);
    return;
  }
  const TOpenScope open(*this);
  WORD format = 0;
  HGLOBAL data;
  HPALETTE palette;
  graphic->SaveToClipboardFormat(format, data, palette);
  try {
    SetAsHandle(format, data);
  } catch (...) {
    if (palette) DeleteObject(palette);
    throw;
  }
  if (palette) SetAsHandle(CF_PALETTE, palette);
}

TClipboard& Clipboard() {
  static TClipboard clipboard;
  return clipboard;
}
