// A host bag of changes on the test's stack with a fixed list of changed
// tags, as the host hands it over for validation; it can be told to answer
// EnumChangedTags with no enumerator and a status of the test's choosing.
#pragma once

#include "hostkit/BagOfChanges.h"

class ChangedTagsBag final : public StackBagOfChanges {
public:
    using StackBagOfChanges::StackBagOfChanges;

    int32_t EnumChangedTags(IoxSysEnumPropertyTag** tags) override {
        if (!giveNoEnumerator) {
            return StackBagOfChanges::EnumChangedTags(tags);
        }
        *tags = nullptr;
        return enumStatus;
    }

    int32_t enumStatus = S_OK; // what EnumChangedTags answers when it has no enumerator to give
    bool giveNoEnumerator = false;
};
