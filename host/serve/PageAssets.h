// The page's files (host/serve/page/), built into the program.
#pragma once

#include <cstddef>
#include <string>

struct PageAsset {
    const char* name; // "index.html", "app.css", "app.js"
    const char* contentType;
    const unsigned char* data;
    size_t size;
};

// None for a name that is not one of them.
const PageAsset* pageAsset(const std::string& name);
