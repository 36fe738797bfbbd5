#pragma once
// ROM loading and the address rules live in the display-free ROM library, which
// the exporter and the tests share with the viewer.

#include "rom/TarvelinFileIO.h"
