// The few facts that tell items apart in a listing, taken from an item's
// properties.
#pragma once

#include "hostkit/Property.h"

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

struct ItemSummary {
    std::string name;
    std::string kind;     // "camera" or "frame grabber"
    std::string bus;      // the bus kind's four characters, trailing and leading blanks cut
    std::string busClass; // "network", "USB", ... or ""
    std::string vendor;
    std::string model; // without the vendor in front, where the expert put it there
    std::string serialNumber;
    std::string address; // the IP address of a network camera, else ""
};

ItemSummary summarizeItem(const PropertyList& properties);

// The same under the name the expert knows the item by, which its properties
// may lack when one could not be read.
ItemSummary summarizeItem(const PropertyList& properties, const std::string& name);

// "camera" or "frame grabber" from the item's properties.
std::string itemKind(const PropertyList& properties);

// The bus kind under oxSysTags::kBusType, or 0 when the item has none.
uint32_t itemBusKind(const PropertyList& properties);

// The model text as the expert publishes it, with "vendor " cut from its
// front when it begins so.
std::string modelWithoutVendor(const std::string& model, const std::string& vendor);

// {"name", "kind", "bus", "busClass", "vendor", "model", "serialNumber",
// "address"}: the shape of an item in every JSON document. An item known by
// name alone has null for its kind, bus class and address.
nlohmann::ordered_json summaryJson(const ItemSummary& summary);

// "camera, ipv4, Kroneth KR GC-2450M, 192.168.10.21": kind, bus, vendor and
// model, address, leaving out what the item lacks. Not made safe for a
// terminal.
std::string summaryLine(const ItemSummary& summary);

// The cells of an item in the tables of list and fleet: name, kind, bus,
// vendor, model, serial number, address.
std::vector<std::string> summaryCells(const ItemSummary& summary);

// How many of the items are cameras.
size_t cameraCount(const std::vector<ItemSummary>& items);

// "9 cameras, 2 frame grabbers": the kinds of so many items, of which so many
// are cameras.
std::string kindCountText(size_t items, size_t cameras);
