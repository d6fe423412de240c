// Symbol table of the real-time kernel: the names that loaded modules export.
#pragma once

#include "kernel/types.h"

struct kernelSymbolTable;
typedef kernelSymbolTable* SYMTAB_ID;
typedef unsigned char SYM_TYPE;

// Symbol type bits.
constexpr SYM_TYPE SYM_GLOBAL = 0x1;

// The table of every symbol that the kernel and the loaded modules export.
extern SYMTAB_ID sysSymTbl;

// Looks name up in table. OK with the symbol's address in *value and its
// type in *type (type may be null); ERROR when the table has no such symbol
// or an argument other than type is null.
STATUS symFindByName(SYMTAB_ID table, const char* name, char** value, SYM_TYPE* type);
