#include "aravisdriver/src/UsbIds.h"

#include "aravisdriver/src/Identity.h"

#include <dirent.h>

#include <fstream>
#include <vector>

namespace vyrexaravis {
namespace {

constexpr size_t kUsbIdDigits = 4;

// The first line of a sysfs attribute; empty when it cannot be read.
std::string ReadAttribute(const std::string& device, const char* name) {
    std::ifstream file(device + "/" + name);
    std::string line;
    std::getline(file, line);
    return line;
}

// A four-digit hexadecimal id as sysfs writes it ("2c7a").
std::optional<uint32_t> ParseUsbId(const std::string& text) {
    if (text.size() > kUsbIdDigits) {
        return std::nullopt;
    }
    const std::optional<uint64_t> value = ParseHexSerial(text);
    return value ? std::optional<uint32_t>(uint32_t(*value)) : std::nullopt;
}

std::vector<std::string> DevicesWithSerial(const std::string& directory,
                                           const std::string& serialText) {
    std::vector<std::string> devices;
    DIR* listing = opendir(directory.c_str());
    if (listing == nullptr) {
        return devices;
    }
    while (const dirent* entry = readdir(listing)) {
        const std::string name = entry->d_name;
        // Interfaces ("1-2:1.0") and the dot entries are no devices.
        if (name.empty() || name[0] == '.' || name.find(':') != std::string::npos) {
            continue;
        }
        const std::string device = directory + "/" + name;
        if (ReadAttribute(device, "serial") == serialText) {
            devices.push_back(device);
        }
    }
    closedir(listing);
    return devices;
}

} // namespace

std::optional<UsbIds> FindUsbIds(const std::string& devicesDirectory, const std::string& serialText,
                                 const std::string& manufacturer, const std::string& product) {
    if (serialText.empty()) {
        return std::nullopt;
    }
    std::vector<std::string> devices = DevicesWithSerial(devicesDirectory, serialText);
    if (devices.size() > 1) {
        std::vector<std::string> named;
        for (const std::string& device : devices) {
            if (ReadAttribute(device, "manufacturer") == manufacturer &&
                ReadAttribute(device, "product") == product) {
                named.push_back(device);
            }
        }
        devices.swap(named);
    }
    if (devices.size() != 1) {
        return std::nullopt;
    }
    const std::optional<uint32_t> vendorId = ParseUsbId(ReadAttribute(devices[0], "idVendor"));
    const std::optional<uint32_t> productId = ParseUsbId(ReadAttribute(devices[0], "idProduct"));
    if (!vendorId || !productId) {
        return std::nullopt;
    }
    return UsbIds{*vendorId, *productId};
}

} // namespace vyrexaravis
