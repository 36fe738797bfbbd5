#include "dib/ZrGraph.h"

// Out of line so the class's vtable has one home.
TZrGraphic::~TZrGraphic() = default;
