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
    LoadFromClipboardFormat(format, HGLOBAL{clipboard->GetAsHandle(format)},
                            HPALETTE{clipboard->GetAsHandle(CF_PALETTE)});
  } catch (...) {
    clipboard->Close();
    throw;
  }
  clipboard->Close();
}
