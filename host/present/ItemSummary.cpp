#include "present/ItemSummary.h"

#include "present/PropertyFormat.h"
#include "present/Wording.h"

#include "contract/PropertyTags.h"
#include "driver/BusClass.h"

#include <algorithm>

namespace {

std::string trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) {
        return "";
    }
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

} // namespace

std::string itemKind(const PropertyList& properties) {
    const bool frameGrabber = propertyOr<bool>(properties, oxSysTags::kIsFrameGrabber, false);
    return frameGrabber ? "frame grabber" : "camera";
}

uint32_t itemBusKind(const PropertyList& properties) {
    return uint32_t(propertyOr<int32_t>(properties, oxSysTags::kBusType, 0));
}

std::string modelWithoutVendor(const std::string& model, const std::string& vendor) {
    const std::string prefix = vendor + " ";
    if (!vendor.empty() && model.size() > prefix.size() &&
        model.compare(0, prefix.size(), prefix) == 0) {
        return model.substr(prefix.size());
    }
    return model;
}

ItemSummary summarizeItem(const PropertyList& properties) {
    ItemSummary summary;
    const auto text = [&](uint32_t tag) { return propertyOr<std::string>(properties, tag, ""); };
    summary.name = text(oxSysTags::kItemName);
    summary.kind = itemKind(properties);
    const uint32_t busKind = itemBusKind(properties);
    summary.bus = busKind != 0 ? trimmed(fourCCText(busKind)) : "";
    summary.busClass = VyrexBusClassName(VyrexBusClassOf(busKind));
    summary.vendor = text(oxSysTags::kVendor);
    summary.model = modelWithoutVendor(text(oxSysTags::kModel), summary.vendor);
    summary.serialNumber = text(oxSysTags::kSerialNumber);
    summary.address = text(oxSysTags::kNetworkAddress1);
    return summary;
}

ItemSummary summarizeItem(const PropertyList& properties, const std::string& name) {
    ItemSummary summary = summarizeItem(properties);
    summary.name = name;
    return summary;
}

nlohmann::ordered_json summaryJson(const ItemSummary& summary) {
    nlohmann::ordered_json item;
    item["name"] = summary.name;
    item["kind"] = textOrNull(summary.kind);
    item["bus"] = summary.bus;
    item["busClass"] = textOrNull(summary.busClass);
    item["vendor"] = summary.vendor;
    item["model"] = summary.model;
    item["serialNumber"] = summary.serialNumber;
    item["address"] = textOrNull(summary.address);
    return item;
}

std::string summaryLine(const ItemSummary& summary) {
    const std::string product = summary.vendor.empty() || summary.model.empty()
                                    ? summary.vendor + summary.model
                                    : summary.vendor + " " + summary.model;
    std::string line;
    for (const std::string* part : {&summary.kind, &summary.bus, &product, &summary.address}) {
        if (!part->empty()) {
            line += (line.empty() ? "" : ", ") + *part;
        }
    }
    return line;
}

std::vector<std::string> summaryCells(const ItemSummary& summary) {
    return {summary.name,  summary.kind,         summary.bus,    summary.vendor,
            summary.model, summary.serialNumber, summary.address};
}

size_t cameraCount(const std::vector<ItemSummary>& items) {
    return size_t(std::count_if(items.begin(), items.end(),
                                [](const ItemSummary& item) { return item.kind == "camera"; }));
}

std::string kindCountText(size_t items, size_t cameras) {
    return counted(cameras, "camera", "cameras") + ", " +
           counted(items - cameras, "frame grabber", "frame grabbers");
}
