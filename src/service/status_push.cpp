// Placeholder until the status push lands: the table operations only call
// the operation they replaced.
#include "service/status_push.h"

#include "frame/table_hooks.h"

void pushOrderStatus(const char*) {}

int32_t MG_STDCALL documentTableOperation(uintptr_t a1, uintptr_t a2, uintptr_t a3, uintptr_t a4, uintptr_t a5,
                                          uintptr_t a6, uintptr_t a7, uintptr_t a8, uintptr_t a9, uintptr_t a10,
                                          uintptr_t a11) {
  host_abi::TableOperation previous = previousTableOperation(kDocumentTable);
  return previous ? previous(a1, a2, a3, a4, a5, a6, a7, a8, a9, a10, a11) : 0;
}

int32_t MG_STDCALL listTableOperation(uintptr_t a1, uintptr_t a2, uintptr_t a3, uintptr_t a4, uintptr_t a5,
                                      uintptr_t a6, uintptr_t a7, uintptr_t a8, uintptr_t a9, uintptr_t a10,
                                      uintptr_t a11) {
  host_abi::TableOperation previous = previousTableOperation(kListTable);
  return previous ? previous(a1, a2, a3, a4, a5, a6, a7, a8, a9, a10, a11) : 0;
}

int32_t MG_STDCALL documentEventHandler(uintptr_t, uintptr_t) { return 0; }
