// The interface's own data: constructed empty; the arguments belong to the implementation.

#include "datatable/zat.h"

CZAT::CZAT(CWnd*, const CString&, FILE_TYPE, const CZATArgList*) {}

CZAT::~CZAT() = default;
