// Values that outputs are filled with before a call, so that a call that
// writes nothing, or writes past where it should, shows.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

constexpr uint32_t kPoisonWord = 0xdeadbeef;
constexpr unsigned char kPoisonByte = 0xA5;
constexpr char16_t kPoisonUnit = 0xDEAD;

// A pointer that no call hands out: an output left as it was still holds it.
template <typename T = void>
T* poisonPointer() {
    return reinterpret_cast<T*>(uintptr_t(kPoisonWord));
}

// count records of every byte kPoisonByte.
template <typename Record>
std::vector<Record> poisoned(size_t count) {
    std::vector<Record> records(count);
    std::memset(static_cast<void*>(records.data()), kPoisonByte, count * sizeof(Record));
    return records;
}

template <typename Record>
bool isPoisoned(const Record& record) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(&record);
    return std::all_of(bytes, bytes + sizeof record,
                       [](unsigned char b) { return b == kPoisonByte; });
}
