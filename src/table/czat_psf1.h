#pragma once
// The table's implementation side: the class (declared in the SDK header so a host can
// construct it) together with what its member bodies need — the engine and the platform.
// Member bodies include this header.

#include "control/control.h"
#include "datatable/czat_psf1.h"
#include "platform/platform.h"
