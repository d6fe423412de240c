#include "session/PresentItems.h"

#include "present/ItemSummary.h"

std::vector<ItemPicture> presentItems(ExpertSession& expert) {
    std::vector<ItemPicture> items;
    for (PropertyList& properties : expert.allItems()) {
        const std::string name = summarizeItem(properties).name;
        items.push_back({name, std::move(properties), 0});
    }
    return items;
}
