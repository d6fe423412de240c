// List storage: a header followed by the elements in one block.
#include "ini/List.h"

#include "ini/IniStatus.h"

#include <cstdint>
#include <cstring>

uint32_t gListMemBlockCompareSize = 0;

namespace {

const char kListMagic[4] = {'L', 'I', 'S', 'T'};

ListHeader* listHeader(const List* list) {
    return static_cast<ListHeader*>(list->block.data);
}

char* listElementAt(const List* list, uint32_t index) {
    ListHeader* header = listHeader(list);
    return reinterpret_cast<char*>(header + 1) + size_t(index) * header->elementSize;
}

// Turns a position argument into a 1-based index; 0 when it names nothing.
uint32_t listResolvePosition(const ListHeader* header, int32_t position) {
    if (position == 0)
        return header->count;
    if (position == -1)
        return header->count > 0 ? 1 : 0;
    if (position < 0 || uint32_t(position) > header->count)
        return 0;
    return uint32_t(position);
}

// Makes room for at least `wanted` elements, growing by exactly what is missing.
int32_t listReserve(List* list, uint32_t wanted) {
    ListHeader* header = listHeader(list);
    if (wanted <= header->capacity)
        return kIniStatusOk;
    const size_t elementSize = header->elementSize;
    if ((SIZE_MAX - sizeof(ListHeader)) / elementSize < wanted)
        return kIniStatusNoMemory;
    const int32_t status = MemBlockResize(&list->block, sizeof(ListHeader) + wanted * elementSize);
    if (status != kIniStatusOk)
        return status;
    listHeader(list)->capacity = wanted;
    return kIniStatusOk;
}

} // namespace

int32_t ListInit(List* list, uint32_t elementSize) {
    MemBlockInit(&list->block);
    if (elementSize == 0)
        return kIniStatusInvalid;
    const int32_t status = MemBlockResize(&list->block, sizeof(ListHeader));
    if (status != kIniStatusOk)
        return status;
    ListHeader* header = listHeader(list);
    memcpy(header->magic, kListMagic, sizeof kListMagic);
    header->capacity = 0;
    header->elementSize = elementSize;
    header->count = 0;
    return kIniStatusOk;
}

void ListFree(List* list) {
    MemBlockFree(&list->block);
}

uint32_t ListCount(const List* list) {
    return list->block.data ? listHeader(list)->count : 0;
}

void* ListElement(const List* list, int32_t position) {
    if (!list->block.data)
        return nullptr;
    const uint32_t index = listResolvePosition(listHeader(list), position);
    return index ? listElementAt(list, index - 1) : nullptr;
}

int32_t ListInsert(List* list, int32_t position, const void* elements, uint32_t count) {
    if (!list->block.data)
        return kIniStatusInvalid;
    const uint32_t held = listHeader(list)->count;
    uint32_t index; // 0-based slot of the first new element
    if (position == 0)
        index = held;
    else if (position == -1)
        index = 0;
    else if (position > 0 && uint32_t(position) <= held + 1)
        index = uint32_t(position) - 1;
    else
        return kIniStatusInvalid;
    if (count == 0)
        return kIniStatusOk;
    if (count > UINT32_MAX - held)
        return kIniStatusNoMemory;

    const int32_t status = listReserve(list, held + count);
    if (status != kIniStatusOk)
        return status;
    const size_t elementSize = listHeader(list)->elementSize;
    char* slot = listElementAt(list, index);
    memmove(slot + count * elementSize, slot, (held - index) * elementSize);
    memcpy(slot, elements, count * elementSize);
    listHeader(list)->count = held + count;
    return kIniStatusOk;
}

int32_t ListRemove(List* list, int32_t position, uint32_t count) {
    if (!list->block.data)
        return kIniStatusInvalid;
    ListHeader* header = listHeader(list);
    const uint32_t index = listResolvePosition(header, position);
    if (index == 0 || count > header->count - index + 1)
        return kIniStatusInvalid;
    const size_t elementSize = header->elementSize;
    char* slot = listElementAt(list, index - 1);
    const uint32_t after = header->count - (index - 1) - count;
    memmove(slot, slot + count * elementSize, after * elementSize);
    header->count -= count;
    return kIniStatusOk;
}

int32_t ListSearch(const List* list, int32_t start, const void* key, ListCompareFunction compare) {
    if (!list->block.data)
        return 0;
    const ListHeader* header = listHeader(list);
    const uint32_t first = listResolvePosition(header, start);
    if (first == 0)
        return 0;
    if (!compare) {
        gListMemBlockCompareSize = header->elementSize;
        compare = ListMemBlockCompare;
    }
    for (uint32_t index = first; index <= header->count; ++index) {
        if (compare(key, listElementAt(list, index - 1)) == 0)
            return int32_t(index);
    }
    return 0;
}

int ListMemBlockCompare(const void* key, const void* element) {
    return memcmp(key, element, gListMemBlockCompareSize);
}
