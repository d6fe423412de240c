// Reads the summary fields of a published item document (summaryJson's
// shape, ItemDocument.h) without the properties after them: fleet reads
// every item of a plant, and the properties are most of each document.
#pragma once

#include "present/ItemSummary.h"

#include <optional>
#include <string>

// None when the payload is no JSON object with every summary field a text or
// null (null reads as "").
std::optional<ItemSummary> readPublishedSummary(const std::string& name,
                                                const std::string& payload);

// The payload with the summary fields alone, as a compact document that
// readPublishedSummary reads the same; an unreadable payload unchanged. fleet
// keeps this much of each message while it waits to be merged.
std::string summaryPayload(const std::string& payload);
