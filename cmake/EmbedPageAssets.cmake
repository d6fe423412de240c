# Writes a C++ source that holds serve's page files as byte arrays, so the
# program serves the page without files of its own to install.
# Usage: cmake -DPAGE_DIR=<dir> -DOUTPUT=<file.cpp> -P EmbedPageAssets.cmake
cmake_minimum_required(VERSION 3.25)

set(assets "index.html|text/html" "app.css|text/css" "app.js|text/javascript")
set(arrays "")
set(entries "")
set(index 0)
foreach(asset IN LISTS assets)
    string(REPLACE "|" ";" parts "${asset}")
    list(GET parts 0 name)
    list(GET parts 1 type)
    file(READ ${PAGE_DIR}/${name} bytes HEX)
    string(LENGTH "${bytes}" digits)
    math(EXPR size "${digits} / 2")
    string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${bytes}")
    string(APPEND arrays "const unsigned char kAsset${index}[] = {${bytes} 0};\n")
    string(APPEND entries "    {\"${name}\", \"${type}; charset=utf-8\", kAsset${index}, ${size}},\n")
    math(EXPR index "${index} + 1")
endforeach()

file(WRITE ${OUTPUT}.new "// Made by cmake/EmbedPageAssets.cmake from host/serve/page/.
#include \"serve/PageAssets.h\"

namespace {

${arrays}
const PageAsset kAssets[] = {
${entries}};

} // namespace

const PageAsset* pageAsset(const std::string& name) {
    for (const PageAsset& asset : kAssets) {
        if (name == asset.name) {
            return &asset;
        }
    }
    return nullptr;
}
")
file(COPY_FILE ${OUTPUT}.new ${OUTPUT} ONLY_IF_DIFFERENT)
