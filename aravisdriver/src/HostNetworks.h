// The IPv4 networks of this host, to tell the subnet mask under which a
// network camera is reached. Discovery does not report the camera's own mask
// and reading it would mean opening the camera, which takes control of it.
#pragma once

#include <cstdint>
#include <vector>

namespace vyrexaravis {

struct HostNetwork {
    uint32_t address; // first octet most significant
    uint32_t mask;
};

// Every IPv4 address of every interface that is up; empty when the system
// cannot tell.
std::vector<HostNetwork> ReadHostNetworks();

// The mask of the most specific network that holds address; 0 when none
// does (a camera with an address outside every network of the host).
uint32_t SubnetMaskFor(uint32_t address, const std::vector<HostNetwork>& networks);

} // namespace vyrexaravis
