// Registering the host's notification sink with a table: at most one at a time.

#include "table/czat_psf1.h"

int CZAT_PSF1::RegisterNotify(CZATNotify* sink) {
  // A null sink would register nothing yet block every later registration: refuse it.
  if (m_pNotify != nullptr || sink == nullptr) return 0;
  m_pNotify = sink;
  sink->m_pTable = this;
  return 1;
}

int CZAT_PSF1::UnRegisterNotify(int /*handle*/) {
  if (m_pNotify == nullptr) return -1;
  m_pNotify->m_pTable = nullptr;
  m_pNotify = nullptr;
  return 0;
}
