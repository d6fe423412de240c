#include "aravisdriver/src/HostNetworks.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>

namespace vyrexaravis {
namespace {

uint32_t HostOrder(const sockaddr* address) {
    return ntohl(reinterpret_cast<const sockaddr_in*>(address)->sin_addr.s_addr);
}

} // namespace

std::vector<HostNetwork> ReadHostNetworks() {
    std::vector<HostNetwork> networks;
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0) {
        return networks;
    }
    for (const ifaddrs* entry = list; entry != nullptr; entry = entry->ifa_next) {
        if (entry->ifa_addr == nullptr || entry->ifa_netmask == nullptr ||
            entry->ifa_addr->sa_family != AF_INET || (entry->ifa_flags & IFF_UP) == 0) {
            continue;
        }
        try {
            networks.push_back({HostOrder(entry->ifa_addr), HostOrder(entry->ifa_netmask)});
        } catch (...) {
            break; // out of memory: the networks read so far
        }
    }
    freeifaddrs(list);
    return networks;
}

uint32_t SubnetMaskFor(uint32_t address, const std::vector<HostNetwork>& networks) {
    uint32_t best = 0;
    for (const HostNetwork& network : networks) {
        const bool holds = (network.address & network.mask) == (address & network.mask);
        // Masks are contiguous ones, so the larger number is the longer prefix.
        if (holds && network.mask > best) {
            best = network.mask;
        }
    }
    return best;
}

} // namespace vyrexaravis
