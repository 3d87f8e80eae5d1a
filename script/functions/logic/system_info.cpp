// uname, os-release, host and user names, getifaddrs.
#include "functions/logic/system_info.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cctype>
#include <cstring>
#include <fstream>
#include <ifaddrs.h>
#include <netdb.h>
#include <netinet/in.h>
#include <pwd.h>
#include <sstream>
#include <sys/utsname.h>
#include <unistd.h>

namespace tarn::sysinfo {

Version ParseVersion(std::string_view text) {
    Version v;
    int* parts[] = {&v.major, &v.minor};
    std::size_t at = 0;
    for (int* part : parts) {
        if (at >= text.size() || !std::isdigit(static_cast<unsigned char>(text[at]))) break;
        long n = 0;
        while (at < text.size() && std::isdigit(static_cast<unsigned char>(text[at])) && n < 100000)
            n = n * 10 + (text[at++] - '0');
        *part = static_cast<int>(n);
        if (at >= text.size() || text[at] != '.') break;
        ++at;
    }
    return v;
}

Version KernelVersion() {
    utsname u{};
    if (uname(&u) != 0) return {};
    return ParseVersion(u.release);
}

std::string OsReleaseValue(std::string_view text, std::string_view key) {
    std::string found;
    std::istringstream lines{std::string(text)};
    std::string line;
    const std::string prefix = std::string(key) + "=";
    while (std::getline(lines, line)) {
        if (line.compare(0, prefix.size(), prefix) != 0) continue;
        std::string_view v = std::string_view(line).substr(prefix.size());
        if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
            v = v.substr(1, v.size() - 2);
        found.clear();
        for (std::size_t i = 0; i < v.size(); ++i) {
            if (v[i] == '\\' && i + 1 < v.size()) ++i;
            found += v[i];
        }
    }
    return found;
}

Version DistributionVersion() {
    for (const char* path : {"/etc/os-release", "/usr/lib/os-release"}) {
        std::ifstream in(path);
        if (!in) continue;
        std::stringstream text;
        text << in.rdbuf();
        return ParseVersion(OsReleaseValue(text.str(), "VERSION_ID"));
    }
    return {};
}

std::string HostName() {
    char name[256] = {};
    if (gethostname(name, sizeof name - 1) != 0) return "";
    return name;
}

std::string DomainName() {
    const std::string host = HostName();
    addrinfo hints{};
    hints.ai_flags = AI_CANONNAME;
    hints.ai_family = AF_UNSPEC;
    addrinfo* list = nullptr;
    std::string canonical = host;
    if (!host.empty() && getaddrinfo(host.c_str(), nullptr, &hints, &list) == 0) {
        if (list && list->ai_canonname) canonical = list->ai_canonname;
        freeaddrinfo(list);
    }
    const std::size_t dot = canonical.find('.');
    if (dot != std::string::npos && dot + 1 < canonical.size()) return canonical.substr(dot + 1);
    char nis[256] = {};
    if (getdomainname(nis, sizeof nis - 1) == 0 && nis[0] && std::strcmp(nis, "(none)") != 0) return nis;
    return "";
}

std::string UserName() {
    passwd pw{};
    passwd* found = nullptr;
    char buf[4096];
    if (getpwuid_r(geteuid(), &pw, buf, sizeof buf, &found) == 0 && found) return found->pw_name;
    const char* user = std::getenv("USER");
    return user ? user : "";
}

bool Interfaces(std::vector<InterfaceAddress>* out) {
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0) return false;
    out->clear();
    for (const ifaddrs* a = list; a; a = a->ifa_next) {
        if (!a->ifa_name) continue;
        char text[INET6_ADDRSTRLEN] = {};
        const sockaddr* sa = a->ifa_addr;
        if (sa && sa->sa_family == AF_INET) {
            inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in*>(sa)->sin_addr, text, sizeof text);
        } else if (sa && sa->sa_family == AF_INET6) {
            inet_ntop(AF_INET6, &reinterpret_cast<const sockaddr_in6*>(sa)->sin6_addr, text, sizeof text);
        } else {
            // A link-level entry: the interface, listed once without address
            // unless an address of it follows.
            const bool known =
                std::any_of(out->begin(), out->end(), [&](const InterfaceAddress& i) { return i.name == a->ifa_name; });
            if (!known) out->push_back({a->ifa_name, ""});
            continue;
        }
        auto bare = std::find_if(out->begin(), out->end(),
                                 [&](const InterfaceAddress& i) { return i.name == a->ifa_name && i.address.empty(); });
        if (bare != out->end()) bare->address = text;
        else out->push_back({a->ifa_name, text});
    }
    freeifaddrs(list);
    return true;
}

}  // namespace tarn::sysinfo
