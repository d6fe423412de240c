#include "aravisdriver/src/HostNetworks.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace vyrexaravis {
namespace {

const std::vector<HostNetwork> kNetworks = {
    {0xC0A80A05, 0xFFFFFF00}, // 192.168.10.5/24
    {0x0A000001, 0xFF000000}, // 10.0.0.1/8
    {0x0A010001, 0xFFFF0000}, // 10.1.0.1/16
};

TEST(SubnetMask, TheNetworkHoldingTheAddress) {
    EXPECT_EQ(SubnetMaskFor(0xC0A80A15, kNetworks), 0xFFFFFF00u);
    EXPECT_EQ(SubnetMaskFor(0x0A020304, kNetworks), 0xFF000000u);
}

TEST(SubnetMask, TheMostSpecificNetworkWins) {
    EXPECT_EQ(SubnetMaskFor(0x0A010203, kNetworks), 0xFFFF0000u);
}

TEST(SubnetMask, ZeroOutsideEveryNetwork) {
    EXPECT_EQ(SubnetMaskFor(0xC0A80B15, kNetworks), 0u);
    EXPECT_EQ(SubnetMaskFor(0xC0A80A15, {}), 0u);
}

TEST(HostNetworks, IncludeTheLoopback) {
    const std::vector<HostNetwork> networks = ReadHostNetworks();
    const bool loopback = std::any_of(networks.begin(), networks.end(), [](const HostNetwork& n) {
        return n.address == 0x7F000001 && n.mask == 0xFF000000;
    });
    EXPECT_TRUE(loopback) << networks.size() << " networks, none of them 127.0.0.1/8";
}

} // namespace
} // namespace vyrexaravis
