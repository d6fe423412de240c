#include "PropertyText.h"

#include <sstream>
#include <type_traits>

std::string propertyText(const Property& property) {
    std::ostringstream out;
    if (property.readStatus != 0) {
        out << "status:" << property.readStatus;
        return out.str();
    }
    std::visit(
        [&](const auto& value) {
            using T = std::decay_t<decltype(value)>;
            if constexpr (std::is_same_v<T, bool>) {
                out << "bool:" << (value ? 1 : 0);
            } else if constexpr (std::is_same_v<T, int32_t>) {
                out << "int:" << value;
            } else if constexpr (std::is_same_v<T, uint32_t>) {
                out << "uint:" << value;
            } else if constexpr (std::is_same_v<T, double>) {
                out << "double:" << value;
            } else if constexpr (std::is_same_v<T, _GUID>) {
                out << "guid:" << (value.Data1 | value.Data2 | value.Data3) << int(value.Data4[0])
                    << int(value.Data4[7]);
            } else if constexpr (std::is_same_v<T, std::string>) {
                out << "text:" << value;
            } else {
                out << "time:" << value.words[0] << "." << value.words[1];
            }
        },
        property.value);
    return out.str();
}
