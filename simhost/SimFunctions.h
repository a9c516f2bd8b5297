// Declarations of the stand-in host's FX_* exports, generated from the binding's table so that
// both sides agree on every signature and on the calling convention.
#pragma once

#include "framework/host/hostapi.h"

#define SIM_DECLARE_EXPORT(ret, name, params, args) extern "C" ret FXAPI name params;
FX_FUNCTION_TABLE(SIM_DECLARE_EXPORT)
#undef SIM_DECLARE_EXPORT
