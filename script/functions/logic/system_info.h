// System and network information: the kernel's version (uname), the
// distribution's (/etc/os-release), the host, its domain and user, and the
// network interfaces with their addresses (getifaddrs). No interpreter types.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tarn::sysinfo {

// Major and minor number at the start of a version text ("6.1.0-18-amd64"
// gives 6 and 1; "12" gives 12 and 0; missing numbers are 0).
struct Version {
    int major = 0;
    int minor = 0;
};
Version ParseVersion(std::string_view text);

// The running kernel's release (uname).
Version KernelVersion();

// The value of KEY in an os-release text (quotes and escapes removed); ""
// when absent.
std::string OsReleaseValue(std::string_view text, std::string_view key);
// VERSION_ID of /etc/os-release (else /usr/lib/os-release).
Version DistributionVersion();

// The host name; its DNS domain (from the canonical name, else the NIS
// domain when one is set); the user's login name.
std::string HostName();
std::string DomainName();
std::string UserName();

// One address of an interface ("lo", "127.0.0.1"); interfaces without an
// IPv4 or IPv6 address are listed with an empty address.
struct InterfaceAddress {
    std::string name;
    std::string address;
};
// False with errno set when the list cannot be read.
bool Interfaces(std::vector<InterfaceAddress>* out);

}  // namespace tarn::sysinfo
