#include "operatingsystem.h"

C4DOS* t_C4DOS = nullptr;

Int32 InitOS(void* table) {
  t_C4DOS = static_cast<C4DOS*>(table);
  return t_C4DOS->version;
}
