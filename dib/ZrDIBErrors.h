#pragma once
// The errors of the DIB library. None adds a field: each carries only its message.

#include "host/Exception.h"

HOST_DECLARE_EXCEPTION(EZrDIBError, Exception);
HOST_DECLARE_EXCEPTION(EZrDIBInvalidDIB, EZrDIBError);
HOST_DECLARE_EXCEPTION(EZrDIBInvalidDIBFile, EZrDIBError);
HOST_DECLARE_EXCEPTION(EZrDIBInvalidDIBPara, EZrDIBError);
HOST_DECLARE_EXCEPTION(EZrDIBBadDIBType, EZrDIBError);
HOST_DECLARE_EXCEPTION(EZrDIBPaletteIndexRange, EZrDIBError);
HOST_DECLARE_EXCEPTION(EZrDIBPixelPositionRange, EZrDIBError);
HOST_DECLARE_EXCEPTION(EZrDIBInvalidPalette, EZrDIBError);
HOST_DECLARE_EXCEPTION(EZrDIBCompressionFailed, EZrDIBError);
HOST_DECLARE_EXCEPTION(EZrDIBCanvasFailed, EZrDIBError);
