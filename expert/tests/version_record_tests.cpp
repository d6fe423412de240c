#include "LoadedModule.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

namespace {

std::vector<std::string> entriesOf(const char* const* record) {
    std::vector<std::string> entries;
    for (; *record != nullptr; ++record) {
        entries.emplace_back(*record);
    }
    return entries;
}

TEST(VersionRecord, NineEntriesThenNull) {
    LoadedModule module;
    ASSERT_EQ(module.error(), "");
    const std::vector<std::string> entries = entriesOf(module.versionRecord());
    ASSERT_EQ(entries.size(), 9u);
    EXPECT_EQ(entries[0], "nKRVersion_CompanyName=Kroneth Corporation");
    EXPECT_EQ(entries[1].rfind("nKRVersion_LegalCopyright=", 0), 0u) << entries[1];
    EXPECT_EQ(entries[2], "nKRVersion_ProductName=KRVYREX_SYSAPI_EXPERT");
    EXPECT_EQ(entries[3], "nKRVersion_OriginalFilename=krvyrexSysapiExpert.out");
    EXPECT_EQ(entries[4], "nKRVersion_FileDescription=System API Expert for KR Vyrex");
    EXPECT_EQ(entries[5], "nKRVersion_ProductVersion=18.5.0f0");
    EXPECT_EQ(entries[6], "nKRVersion_FileVersion=18.5.0f0");
    EXPECT_EQ(entries[7], "nKRVersion_InternalName=KRVYREX_SYSAPI_EXPERT 18.5.0f0");
    const std::regex comments(R"(nKRVersion_Comments=\d{4}/\d\d/\d\d \d\d:\d\d:\d\d, )"
                              R"(krvyrexSysapiExpert/[^/]+/[^/]+/[^/]+)");
    EXPECT_TRUE(std::regex_match(entries[8], comments)) << entries[8];
}

TEST(ModuleSettings, IniFilePathDefaultsToTheController) {
    LoadedModule module;
    ASSERT_EQ(module.error(), "");
    EXPECT_STREQ(module.iniFilePath(), "/c/kr-rt.ini");
}

} // namespace
