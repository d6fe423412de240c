// camexpert info tells the refresh period the expert uses: for each INI file
// the period info reports is the one the expert's own code reads from it.
#include "HostProcess.h"
#include "TempDirectory.h"

#include "expert/CoxSysVyrex.h"
#include "expert/ModuleExports.h"

#include <nlohmann/json.hpp>

#include <gtest/gtest.h>

namespace {

using nKRVYREX_SYSAPI_EXPERT_18_5::CoxSysVyrex;

// The period the expert reads from the INI file at path.
uint32_t expertPeriod(const std::string& path) {
    KRRTINIFilePath = path.c_str();
    const uint32_t seconds = CoxSysVyrex::GetCameraListRefreshTimeInSec();
    KRRTINIFilePath = "/c/kr-rt.ini";
    return seconds;
}

// The period camexpert info reports for the INI file at path ("" for the
// module's own, which a build machine usually lacks).
uint32_t infoPeriod(const std::string& path) {
    const ProcessResult result =
        runCamexpert(path.empty() ? std::vector<std::string>{"info", "--json"}
                                  : std::vector<std::string>{"--ini", path, "info", "--json"});
    EXPECT_EQ(result.exitStatus, 0) << result.err;
    return nlohmann::json::parse(result.out).at("refreshPeriod").at("seconds").get<uint32_t>();
}

TEST(InfoRefreshPeriod, IsThePeriodTheExpertReadsForEveryVariantOfTheFile) {
    const std::string key = "SystemapiExpertCameraListRefreshTimeInSec";
    struct Case {
        const char* what;
        std::string ini;
        uint32_t seconds;
    };
    const Case cases[] = {
        {"plain", "[VYREX]\n" + key + "=1\n", 1},
        {"blanks inside the header", "[ vyrex ]\n" + key + "=1\n", 1},
        {"a blank before the bracket", "[vyrex ]\n" + key + "=1\n", 1},
        {"a second VYREX section continues the first",
         "[VYREX]\nOther=5\n[OTHER]\n" + key + "=7\n[VYREX]\n" + key + "=1\n", 1},
        {"continuation lines", "[VYREX]\n" + key + " Line1=1\n" + key + " Line2=0\n", 10},
        {"a quoted value", "[VYREX]\n" + key + "=\"1\"\n", 1},
        {"carriage-return line ends", "[VYREX]\r\n" + key + "=1\r\n", 1},
        {"a colon is no separator", "[VYREX]\n" + key + ": 1\n", 2},
        {"a comment after the value", "[VYREX]\n" + key + "=1 ; fast\n", 2},
        {"the later of a key given twice", "[VYREX]\n" + key + "=3\n" + key + "=1\n", 1},
        {"names in any letter case, a plus sign",
         "[vyrex]\nsystemapiexpertcameralistrefreshtimeinsec = +3\n", 3},
        {"zero", "[VYREX]\n" + key + "=0\n", 2},
        {"a unit after the number", "[VYREX]\n" + key + "=5s\n", 2},
        {"another section", "[OTHER]\n" + key + "=5\n", 2},
        {"a UTF-16 byte-order mark", "\xFF\xFE[VYREX]\n" + key + "=1\n", 2},
        {"a UTF-8 byte-order mark", "\xEF\xBB\xBF[VYREX]\n" + key + "=4\n", 4},
        {"the largest number", "[VYREX]\n" + key + "=4294967295\n", 4294967295u},
        {"beyond 32 bits", "[VYREX]\n" + key + "=4294967296\n", 2},
        {"the key before any section", key + "=1\n[VYREX]\n", 2},
        {"a commented-out key", "[VYREX]\n;" + key + "=1\n", 2},
        {"tabs around key and value", "[VYREX]\n\t" + key + "\t=\t6\t\n", 6},
        {"an empty file", "", 2},
        {"single quotes stay", "[VYREX]\n" + key + "='1'\n", 2},
        {"an empty value", "[VYREX]\n" + key + "=\n", 2},
        {"a negative number", "[VYREX]\n" + key + "=-1\n", 2},
        {"two numbers", "[VYREX]\n" + key + "=1 2\n", 2},
    };
    TempDirectory files;
    for (const Case& c : cases) {
        const std::string path = files.write("kr-rt.ini", c.ini);
        const uint32_t expert = expertPeriod(path);
        EXPECT_EQ(expert, c.seconds) << c.what;
        EXPECT_EQ(infoPeriod(path), expert) << c.what;
    }
    EXPECT_EQ(infoPeriod(""), expertPeriod("/c/kr-rt.ini")) << "the module's own file";
}

} // namespace
