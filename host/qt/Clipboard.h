#pragma once
// The system clipboard of the desktop through QClipboard, so pictures copied
// here paste into other programs and back. CF_DIB goes out as a BMP file
// ("image/bmp") and as an image Qt offers in every format it writes (PNG
// among them); coming in, a BMP file or any image Qt reads becomes a packed
// DIB. Other formats travel under a MIME type of this program's own.

#include <map>
#include <memory>
#include <vector>

#include <QString>

#include "host/Clipboard.h"

class TQtClipboardBackend final : public TClipboardBackend {
 public:
  // False while there is no QGuiApplication.
  bool Open() override;
  void Close() override {}
  void Clear() override;
  bool HasFormat(WORD Format) override;
  std::optional<std::vector<BYTE>> GetData(WORD Format) override;
  // The other pictures offered beside the first, in the order of GetData's search.
  std::optional<std::vector<BYTE>> GetOtherData(WORD Format, int Offer) override;
  bool SetData(WORD Format, std::span<const BYTE> Data) override;

  static QString PrivateType(WORD Format);

 private:
  // What this program put on the clipboard since it last emptied it.
  std::map<WORD, std::vector<BYTE>> FOwned;
};

// Makes the desktop clipboard the clipboard object's; returns the previous backend.
std::shared_ptr<TClipboardBackend> InstallQtClipboard();
