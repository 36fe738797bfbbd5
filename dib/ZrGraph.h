#pragma once
// The graphic base of this library's graphics: a host graphic that also names
// the clipboard format it travels in.

#include "host/Graphics.h"

class TZrGraphic : public TGraphic {
public:
  ~TZrGraphic() override;
  const char* ClassName() const override { return "TZrGraphic"; }

  virtual WORD GetClipboardFormat() = 0;
  // From the clipboard object: loads the clipboard's data of this graphic's
  // format, the first of its forms that loads where there are several.
  // Anything else goes to the framework's assignment.
  void Assign(TPersistent* Source) override;
};
