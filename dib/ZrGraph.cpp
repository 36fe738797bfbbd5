#include "dib/ZrGraph.h"

#include <exception>

#include "dib/ZrDIBErrors.h"
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
    HGLOBAL data{clipboard->GetAsHandle(format)};
    const HPALETTE palette{clipboard->GetAsHandle(CF_PALETTE)};
    // A picture other programs offer in several forms: the first one this
    // graphic reads; the first refusal when it reads none.
    std::exception_ptr refusal;
    for (int offer = 1;; ++offer) {
      try {
        LoadFromClipboardFormat(format, data, palette);
        break;
      } catch (const EZrDIBError&) {
        if (!refusal) refusal = std::current_exception();
      }
      data = HGLOBAL{clipboard->GetOtherAsHandle(format, offer)};
      if (!data) std::rethrow_exception(refusal);
    }
  } catch (...) {
    clipboard->Close();
    throw;
  }
  clipboard->Close();
}
