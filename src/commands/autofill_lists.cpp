// The AutoFill Lists dialog.
// Not built yet: each answers with its failure result and changes nothing.

#include "table/czat_psf1.h"

void CZAT_PSF1::OnDataAutofilllist() {}
