#include "dib/ZrGraph.h"

#include "host/Clipboard.h"

// Out of line so the class's vtable has one home.
TZrGraphic::~TZrGraphic() = default;

void TZrGraphic::Assign(TPersistent* Source) {
  auto* clipboard = dynamic_cast<TClipboard*>(Source);
  if (!clipboard) {
    TGraphic::Assign(Source);
    return;
  }
  clipboard->Open();
  try {
    const WORD format = GetClipboardFormat();
    const HGLOBAL data{clipboard->GetAsHandle(format)};
    const HPALETTE palette{clipboard->GetAsHandle(CF_PALETTE)};
    LoadFromClipboardFormat(format, data, palette);
  } catch (...) {
    clipboard->Close();
    throw;
  }
  clipboard->Close();
}
