#include "hostkit/BagOfChanges.h"

#include "hostkit/ExpertTexts.h"

int32_t setThroughInterface(IoxSysPropertyBag* bag, const Property& property) {
    return std::visit(
        [&](const auto& value) -> int32_t {
            using T = std::decay_t<decltype(value)>;
            if constexpr (std::is_same_v<T, bool>) {
                return bag->SetBooleanProperty(property.tag, value ? 1 : 0);
            } else if constexpr (std::is_same_v<T, int32_t>) {
                return bag->SetIntegerProperty(property.tag, value);
            } else if constexpr (std::is_same_v<T, uint32_t>) {
                return bag->SetUnsignedIntegerProperty(property.tag, value);
            } else if constexpr (std::is_same_v<T, double>) {
                return bag->SetDoubleProperty(property.tag, value);
            } else if constexpr (std::is_same_v<T, _GUID>) {
                return bag->SetGuidProperty(property.tag, value);
            } else if constexpr (std::is_same_v<T, std::string>) {
                const std::u16string text = toUtf16(value);
                return bag->SetStringProperty(property.tag, text.c_str());
            } else {
                return E_NOTIMPL;
            }
        },
        property.value);
}
