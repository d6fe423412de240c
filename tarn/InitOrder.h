// The order in which the module's static objects are built when it is
// loaded. Each static object of the module names its place here with
// __attribute__((init_priority(...))); objects are destroyed in the reverse
// order when the module is unloaded.
//
//   1. the trace singleton and the console trace destination
//   2. the run-time symbol loader, which looks up its optional functions
//   3. the default system locale
//   4. the 1970-to-1904 bias and the absolute-time limits
//
// (Reference counts change atomically, so there is no reference-count mutex
// to build after them.)
#pragma once

#define KR_INIT_ORDER_TRACE 1010
#define KR_INIT_ORDER_CONSOLE_TRACE 1011
#define KR_INIT_ORDER_SYMBOL_LOADER 1020
#define KR_INIT_ORDER_DEFAULT_LOCALE 1030
#define KR_INIT_ORDER_TIME_CONSTANTS 1040
