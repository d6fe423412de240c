// Where an interface operation meets the host: no exception may pass. A
// status thrown as an int32_t is returned as it is; a memory or size failure
// becomes 0x8007000E; anything else 0x80004005.
#pragma once

#include "contract/Status.h"
#include "tarn/Exception.h"

#include <new>

template <class Operation>
int32_t KRStatusOf(Operation&& operation) noexcept {
    try {
        return operation();
    } catch (int32_t status) {
        return status;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (const kr::tarn::exception::OutOfRange&) {
        return E_OUTOFMEMORY; // a size that does not fit is a request the heap cannot meet
    } catch (...) {
        return E_FAIL;
    }
}
