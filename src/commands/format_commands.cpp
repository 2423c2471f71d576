// Format menu commands.
// Not built yet: each answers with its failure result and changes nothing.

#include "table/czat_psf1.h"

void CZAT_PSF1::OnFormatGeneral() {}
void CZAT_PSF1::OnFormatCurrency0() {}
void CZAT_PSF1::OnFormatCurrency2() {}
void CZAT_PSF1::OnFormatFixed() {}
void CZAT_PSF1::OnFormatPercent() {}
void CZAT_PSF1::OnFormatFraction() {}
void CZAT_PSF1::OnFormatScientific() {}
void CZAT_PSF1::OnFormatMdyyd() {}
void CZAT_PSF1::OnFormatHmmampmt() {}
void CZAT_PSF1::OnFormatCustomnumber() {}
void CZAT_PSF1::OnFormatValidationrule() {}
void CZAT_PSF1::OnUpdateFormat(platform::CommandState& state) { state.Enable(false); }
