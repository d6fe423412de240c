// An ordered list of fixed-size elements kept in one MemBlock.
//
// The block starts with a ListHeader; the elements follow it without gaps.
// Positions are 1-based. Where a function takes a position, 0 stands for the
// last element and -1 for the first.
#pragma once

#include "ini/MemBlock.h"

#include <cstdint>

struct ListHeader {
    char magic[4];        // "LIST"
    uint32_t capacity;    // elements that fit without growing
    uint32_t elementSize; // bytes per element
    uint32_t count;       // elements held
};

struct List {
    MemBlock block;
};

// Compares a searched key with one element; returns 0 when they match.
typedef int (*ListCompareFunction)(const void* key, const void* element);

// Element size used by ListMemBlockCompare: set by ListSearch before it
// compares bytewise.
extern uint32_t gListMemBlockCompareSize;

// Makes an empty list of elements of elementSize bytes (at least 1). Returns
// 0, -12 when memory is short, -22 for an element size of 0. The list is left
// empty and owns nothing on failure.
int32_t ListInit(List* list, uint32_t elementSize);

// Frees the block. The elements themselves are the caller's to free first.
void ListFree(List* list);

// Number of elements; 0 for a list that was never set up.
uint32_t ListCount(const List* list);

// Address of the element at position, or null when there is none.
void* ListElement(const List* list, int32_t position);

// Copies count elements from elements into the list so that the first of
// them lands at position: 1 to ListCount + 1, or 0 to append, or -1 to put
// them in front. When the list lacks room its capacity grows by exactly the
// missing number of elements. Returns 0, -12 when memory is short (the list
// is then unchanged), -22 for a position outside the list.
int32_t ListInsert(List* list, int32_t position, const void* elements, uint32_t count);

// Removes count elements starting at position. Returns 0, or -22 when the
// list holds fewer elements from there on (nothing is removed then).
int32_t ListRemove(List* list, int32_t position, uint32_t count);

// Walks the elements from start to the end and returns the position of the
// first for which compare(key, element) is 0, or 0 when none matches. With no
// compare function, elements are compared bytewise with ListMemBlockCompare.
int32_t ListSearch(const List* list, int32_t start, const void* key, ListCompareFunction compare);

// Bytewise comparison of gListMemBlockCompareSize bytes, as memcmp.
int ListMemBlockCompare(const void* key, const void* element);
