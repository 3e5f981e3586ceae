// The interlocked calls, as sequentially consistent atomic operations on 32-bit words.
#include <windows.h>

extern "C" LONG InterlockedIncrement(LONG volatile* addend) { return __atomic_add_fetch(addend, 1, __ATOMIC_SEQ_CST); }

extern "C" LONG InterlockedDecrement(LONG volatile* addend) { return __atomic_sub_fetch(addend, 1, __ATOMIC_SEQ_CST); }

extern "C" LONG InterlockedExchange(LONG volatile* target, LONG value) {
  return __atomic_exchange_n(target, value, __ATOMIC_SEQ_CST);
}

extern "C" LONG InterlockedCompareExchange(LONG volatile* destination, LONG exchange, LONG comparand) {
  __atomic_compare_exchange_n(destination, &comparand, exchange, false, __ATOMIC_SEQ_CST, __ATOMIC_SEQ_CST);
  return comparand;  // on failure the builtin stored the value found there
}

extern "C" LONG InterlockedTestExchange(LONG volatile* target, LONG oldValue, LONG newValue) {
  return InterlockedCompareExchange(target, newValue, oldValue);
}
