#include "session/ExpertAnswers.h"

#include "cli/HostError.h"

#include "hostkit/Enumerators.h"
#include "hostkit/ExpertTexts.h"
#include "hostkit/PropertyReading.h"

PropertyList propertiesOf(IoxSysPropertyBag* bag) {
    std::optional<PropertyList> properties = readProperties(bag);
    if (!properties) {
        throw HostError("The expert's property bag cannot enumerate its properties.");
    }
    return std::move(*properties);
}

std::vector<std::string> namesOf(IoxSysEnumStringList* names) {
    std::vector<std::string> texts;
    for (const std::u16string& name : drainNames(names).value_or(std::vector<std::u16string>{})) {
        texts.push_back(toUtf8(name));
    }
    return texts;
}

std::vector<uint32_t> tagsOf(IoxSysEnumPropertyTag* tags) {
    return drainTags(tags).value_or(std::vector<uint32_t>{});
}
