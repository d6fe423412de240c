// The kernel's symbol table over the process's global symbol scope: every
// symbol that the program or one of its loaded libraries exports.
#include "kernel/sym.h"

#include <dlfcn.h>

struct kernelSymbolTable {};

namespace {

kernelSymbolTable globalScope;

} // namespace

SYMTAB_ID sysSymTbl = &globalScope;

STATUS symFindByName(SYMTAB_ID table, const char* name, char** value, SYM_TYPE* type) {
    if (table != &globalScope || name == nullptr || value == nullptr) {
        return ERROR;
    }
    void* address = dlsym(RTLD_DEFAULT, name);
    if (address == nullptr) {
        return ERROR;
    }
    *value = static_cast<char*>(address);
    if (type != nullptr) {
        *type = SYM_GLOBAL;
    }
    return OK;
}
