// The host's enumerator of property tags, over a copy of the tags it was
// made with; handed to the expert by the host's property bags.
#pragma once

#include "hostkit/HostObject.h"

#include "contract/oxSysInterfaces.h"

#include <vector>

class TagEnumerator final
    : public HostObject<Owned, IoxSysEnumPropertyTag, IID_IoxSysEnumPropertyTag> {
public:
    // A new enumerator with one reference, for the caller; may throw
    // std::bad_alloc.
    static TagEnumerator* create(std::vector<uint32_t> tags, size_t position = 0) {
        return new TagEnumerator(std::move(tags), position);
    }

    // Copies up to count tags; 0 when all of them came, 1 when fewer did.
    int32_t Next(uint32_t count, uint32_t* tags, uint32_t* fetched) override;
    // 0 when count tags were skipped, 1 when the end came first.
    int32_t Skip(uint32_t count) override;
    int32_t Reset() override;
    int32_t Clone(IoxSysEnumPropertyTag** copy) override;

private:
    TagEnumerator(std::vector<uint32_t> tags, size_t position)
        : m_tags(std::move(tags)), m_position(position) {}

    const std::vector<uint32_t> m_tags;
    size_t m_position; // only the thread that walks the enumerator moves it
};
