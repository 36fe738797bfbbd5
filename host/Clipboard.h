#pragma once
// The framework's clipboard object over a pluggable system clipboard. Data
// travels by format as global memory blocks, palettes as palette handles.

#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "host/Classes.h"
#include "host/Translate.h"
#include "host/Windows.h"

inline constexpr WORD CF_BITMAP = 2;
inline constexpr WORD CF_DIB = 8;
inline constexpr WORD CF_PALETTE = 9;

// The system clipboard as bytes by format. CF_PALETTE travels as its palette
// version and entry count (two WORDs) followed by the entries.
class TClipboardBackend {
 public:
  virtual ~TClipboardBackend() = default;
  // Takes the clipboard for one transfer; false when it cannot be had.
  virtual bool Open() = 0;
  virtual void Close() = 0;
  // Empties the clipboard; what is set next is this program's.
  virtual void Clear() = 0;
  virtual bool HasFormat(WORD Format) = 0;
  // None when the clipboard holds no usable data of the format.
  virtual std::optional<std::vector<BYTE>> GetData(WORD Format) = 0;
  // Where a clipboard holds the data of Format in several forms (a picture
  // that other programs offer in several image formats): form Offer (1, 2,
  // ...), for a reader that could not use the ones before; GetData gives form
  // 0. None when there is no such form.
  virtual std::optional<std::vector<BYTE>> GetOtherData(WORD, int) { return std::nullopt; }
  // False when Data is not of the format.
  virtual bool SetData(WORD Format, std::span<const BYTE> Data) = 0;
};

// A clipboard of this process alone: where no desktop is at hand.
class TMemoryClipboardBackend : public TClipboardBackend {
 public:
  bool Open() override { return true; }
  void Close() override {}
  void Clear() override { FData.clear(); }
  bool HasFormat(WORD Format) override { return FData.contains(Format); }
  std::optional<std::vector<BYTE>> GetData(WORD Format) override;
  bool SetData(WORD Format, std::span<const BYTE> Data) override {
    FData[Format].assign(Data.begin(), Data.end());
    return true;
  }

 private:
  std::map<WORD, std::vector<BYTE>> FData;
};

// Keeps a record of every call, for tests; can refuse to open.
class TRecordingClipboardBackend : public TMemoryClipboardBackend {
 public:
  enum class TCall { Open, Close, Clear, HasFormat, GetData, SetData };
  struct TTransfer {
    TCall Call;
    WORD Format = 0;
    std::size_t Bytes = 0;  // of the data got or set
    friend bool operator==(const TTransfer&, const TTransfer&) = default;
  };

  bool Open() override;
  void Close() override;
  void Clear() override;
  bool HasFormat(WORD Format) override;
  std::optional<std::vector<BYTE>> GetData(WORD Format) override;
  bool SetData(WORD Format, std::span<const BYTE> Data) override;

  std::vector<TTransfer> Transfers;
  bool RefuseOpen = false;
};

class TClipboard : public TPersistent {
 public:
  TClipboard();
  ~TClipboard() override;
  TClipboard(const TClipboard&) = delete;
  TClipboard& operator=(const TClipboard&) = delete;
  const char* ClassName() const override { return "TClipboard"; }

  // Opens nest; only the outermost pair reaches the system clipboard. Open
  // raises Exception when the clipboard cannot be had.
  void Open();
  void Close();
  void Clear();
  bool HasFormat(WORD Format);
  // The data of Format: a global memory block, or a palette for CF_PALETTE;
  // none when the clipboard has none. The clipboard keeps the handle, which
  // stays valid until the clipboard is next opened.
  THandleValue GetAsHandle(WORD Format);
  // Form Offer (1, 2, ...) of the data of Format, where the clipboard holds
  // several (TClipboardBackend::GetOtherData), lent as GetAsHandle lends.
  THandleValue GetOtherAsHandle(WORD Format, int Offer);
  // Puts a global memory block (a palette for CF_PALETTE) on the clipboard,
  // which takes it over; the first one set while open empties it first.
  void SetAsHandle(WORD Format, THandleValue Value);
  // Puts a graphic, or a picture's graphic, on the clipboard in its own format.
  void Assign(TPersistent* Source) override;

  // Installs the system clipboard and returns the previous one.
  std::shared_ptr<TClipboardBackend> SetBackend(std::shared_ptr<TClipboardBackend> Backend);

 private:
  void FreeLent();
  THandleValue Lend(WORD Format, const std::optional<std::vector<BYTE>>& Data);

  std::shared_ptr<TClipboardBackend> FBackend;
  int FOpenRefCount = 0;
  bool FEmptied = false;
  std::vector<HGLOBAL> FLentBlocks;
  std::vector<HPALETTE> FLentPalettes;
};

// The process's one clipboard object; it starts over a TMemoryClipboardBackend.
TClipboard& Clipboard();

inline constexpr const char* SCannotOpenClipboard = TRANSLATE_NOOP("host", "クリップボードを開けません");
