#include "expert/fuzz/PropertyReadback.h"

#include "contract/PropertyTags.h"
#include "contract/Status.h"
#include "expert/fuzz/Require.h"
#include "hostkit/Enumerators.h"
#include "hostkit/ExpertTexts.h"

#include <utility>
#include <vector>

namespace expertfuzz {

namespace {

std::vector<uint32_t> tagsOf(IoxSysPropertyBag* bag) {
    IoxSysEnumPropertyTag* tags = nullptr;
    KR_FUZZ_REQUIRE(bag->EnumProperties(&tags) == S_OK && tags != nullptr);
    std::vector<uint32_t> all =
        required(drainTags(tags, 4), "the tag enumerator keeps its contract");
    tags->Release();
    return all;
}

// Reads the value with its own getter; a string is returned, other values
// are only checked.
std::u16string readValue(IoxSysPropertyBag* bag, uint32_t tag, oxSysAttributeType type) {
    switch (type) {
    case oxSysAttributeType_Boolean: {
        int32_t value = -1;
        KR_FUZZ_REQUIRE(bag->GetBooleanProperty(tag, &value) == S_OK);
        KR_FUZZ_REQUIRE(value == 0 || value == 1);
        break;
    }
    case oxSysAttributeType_Integer: {
        int32_t value = 0;
        KR_FUZZ_REQUIRE(bag->GetIntegerProperty(tag, &value) == S_OK);
        break;
    }
    case oxSysAttributeType_UnsignedInteger: {
        uint32_t value = 0;
        KR_FUZZ_REQUIRE(bag->GetUnsignedIntegerProperty(tag, &value) == S_OK);
        break;
    }
    case oxSysAttributeType_Double: {
        double value = 0;
        KR_FUZZ_REQUIRE(bag->GetDoubleProperty(tag, &value) == S_OK);
        break;
    }
    case oxSysAttributeType_Guid: {
        _GUID value{};
        KR_FUZZ_REQUIRE(bag->GetGuidProperty(tag, &value) == S_OK);
        break;
    }
    case oxSysAttributeType_String: {
        char16_t* value = nullptr;
        KR_FUZZ_REQUIRE(bag->GetStringProperty(tag, &value) == S_OK);
        return required(takeString(value), "the string is length-prefixed");
    }
    default:
        checkFailed("the expert writes only the six plain types", __FILE__, __LINE__);
    }
    return std::u16string();
}

// A getter of the wrong type must refuse: a string getter for any other
// type, the unsigned getter for a string.
void readAsWrongType(IoxSysPropertyBag* bag, uint32_t tag, oxSysAttributeType type) {
    if (type == oxSysAttributeType_String) {
        uint32_t value = 0;
        KR_FUZZ_REQUIRE(bag->GetUnsignedIntegerProperty(tag, &value) ==
                        OX_E_PROPERTY_TYPE_MISMATCH);
    } else {
        char16_t* value = nullptr;
        KR_FUZZ_REQUIRE(bag->GetStringProperty(tag, &value) == OX_E_PROPERTY_TYPE_MISMATCH);
        KR_FUZZ_REQUIRE(value == nullptr);
    }
}

} // namespace

std::u16string readEveryProperty(IoxSysPropertyBag* bag) {
    bool named = false;
    std::u16string name;
    for (const uint32_t tag : tagsOf(bag)) {
        KR_FUZZ_REQUIRE(bag->HasProperty(tag) == S_OK);
        oxSysAttributeType type{};
        KR_FUZZ_REQUIRE(bag->GetPropertyType(tag, &type) == S_OK);
        std::u16string text = readValue(bag, tag, type);
        readAsWrongType(bag, tag, type);
        if (tag == oxSysTags::kItemName) {
            KR_FUZZ_REQUIRE(type == oxSysAttributeType_String);
            named = true;
            name = std::move(text);
        }
    }
    KR_FUZZ_REQUIRE(named);
    return name;
}

std::u16string itemNameOf(IoxSysPropertyBag* bag) {
    char16_t* name = nullptr;
    KR_FUZZ_REQUIRE(bag->GetStringProperty(oxSysTags::kItemName, &name) == S_OK);
    return required(takeString(name), "the name is length-prefixed");
}

} // namespace expertfuzz
