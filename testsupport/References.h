// Reference counts of component objects, read without changing them.
#pragma once

#include <cstdint>

// The count after one more AddRef and Release: what the object holds now.
template <typename Object>
uint32_t countOf(Object* object) {
    object->AddRef();
    return object->Release();
}
