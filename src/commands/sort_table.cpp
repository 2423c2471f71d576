// Sorting a range of the table for the host: the arguments go to the engine's sort as they are.
// Engine errors (a key outside the range, a bad range) reach the host.
#include "table/czat_psf1.h"
#include "table/narrow.h"

using table::Narrow;

void CZAT_PSF1::SortTable(long r1, long c1, long r2, long c2, int flag, long key1, long key2,
                          long key3) {
  Ctl().SortRange(Narrow(r1), Narrow(c1), Narrow(r2), Narrow(c2), flag != 0, Narrow(key1),
                  Narrow(key2), Narrow(key3));
}
