#include "serve/BasicAuth.h"

#include "cli/HostError.h"

#include <crypt.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <optional>

namespace {

constexpr size_t kCacheSize = 16;

constexpr std::array<const char*, 5> kHashPrefixes = {"$6$", "$5$", "$y$", "$2b$", "$2y$"};

bool knownHash(const std::string& hash) {
    return std::any_of(kHashPrefixes.begin(), kHashPrefixes.end(), [&](const char* prefix) {
        return hash.compare(0, std::strlen(prefix), prefix) == 0 &&
               hash.size() > std::strlen(prefix) + 1;
    });
}

// None of a text that is not base64.
std::optional<std::string> fromBase64(const std::string& text) {
    static const std::string kDigits =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string bytes;
    uint32_t bits = 0;
    int count = 0;
    size_t end = text.find_last_not_of('=');
    end = end == std::string::npos ? 0 : end + 1;
    if (text.size() - end > 2) {
        return std::nullopt;
    }
    for (size_t i = 0; i < end; ++i) {
        const size_t digit = kDigits.find(text[i]);
        if (digit == std::string::npos) {
            return std::nullopt;
        }
        bits = (bits << 6) | uint32_t(digit);
        count += 6;
        if (count >= 8) {
            count -= 8;
            bytes.push_back(char((bits >> count) & 0xFF));
        }
    }
    return bytes;
}

} // namespace

BasicAuth::BasicAuth(const std::string& path) {
    std::ifstream file(path);
    if (!file) {
        throw HostError("Cannot read the password file " + path + ": " + std::strerror(errno) +
                        ".");
    }
    std::map<std::string, int> firstLines; // user -> the line that names them
    std::string line;
    for (int number = 1; std::getline(file, line); ++number) {
        // A hash holds no blanks: those after it are the editor's.
        line.erase(line.find_last_not_of(" \t\r") + 1);
        if (line.find_first_not_of(" \t") == std::string::npos || line.front() == '#') {
            continue;
        }
        const size_t colon = line.find(':');
        const std::string hash = colon == std::string::npos ? "" : line.substr(colon + 1);
        if (colon == 0 || !knownHash(hash)) {
            throw UsageError("Line " + std::to_string(number) + " of the password file " + path +
                             " is not USER:HASH with a crypt(3) hash ($6$, $5$, $y$, $2b$ or "
                             "$2y$; openssl passwd -6 makes one).");
        }
        const std::string user = line.substr(0, colon);
        if (!firstLines.emplace(user, number).second) {
            throw UsageError("Line " + std::to_string(number) + " of the password file " + path +
                             " names the user " + user + " again, first named on line " +
                             std::to_string(firstLines[user]) + ": give each user one line.");
        }
        m_hashes[user] = hash;
    }
    if (m_hashes.empty()) {
        throw UsageError("The password file " + path +
                         " names no user: each line is USER:HASH, the HASH from openssl passwd "
                         "-6.");
    }
}

bool BasicAuth::admits(const std::string& authorization) const {
    constexpr const char* kScheme = "Basic ";
    if (authorization.compare(0, std::strlen(kScheme), kScheme) != 0) {
        return false;
    }
    const std::optional<std::string> credentials =
        fromBase64(authorization.substr(std::strlen(kScheme)));
    if (!credentials) {
        return false;
    }
    {
        std::lock_guard<std::mutex> hold(m_lock);
        const auto cached = std::find(m_passed.begin(), m_passed.end(), *credentials);
        if (cached != m_passed.end()) {
            m_passed.splice(m_passed.begin(), m_passed, cached);
            return true;
        }
    }
    if (!checks(*credentials)) {
        return false;
    }
    std::lock_guard<std::mutex> hold(m_lock);
    m_passed.push_front(*credentials);
    if (m_passed.size() > kCacheSize) {
        m_passed.pop_back();
    }
    return true;
}

bool BasicAuth::checks(const std::string& credentials) const {
    const size_t colon = credentials.find(':');
    const auto user = m_hashes.find(credentials.substr(0, colon));
    if (colon == std::string::npos || user == m_hashes.end()) {
        return false;
    }
    const std::string password = credentials.substr(colon + 1);
    if (password.find('\0') != std::string::npos) {
        return false;
    }
    // crypt_r's scratch space is large: on the heap, not the stack.
    const auto scratch = std::make_unique<crypt_data>();
    const char* hashed = crypt_r(password.c_str(), user->second.c_str(), scratch.get());
    return hashed != nullptr && user->second == hashed;
}
