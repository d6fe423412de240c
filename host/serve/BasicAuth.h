// HTTP basic authentication against --password-file: lines USER:HASH with a
// crypt(3) hash ("openssl passwd -6" makes one, "htpasswd -B" too), blank
// lines and lines starting with '#' ignored. Checking a hash is slow on
// purpose, so the credentials that passed are kept in a small cache and not
// checked again.
#pragma once

#include <list>
#include <map>
#include <mutex>
#include <string>

class BasicAuth {
public:
    // Throws UsageError naming the line that is not USER:HASH with a known
    // hash, HostError when the file cannot be read.
    explicit BasicAuth(const std::string& path);

    // Whether the value of an Authorization header names a user of the file
    // with the right password.
    bool admits(const std::string& authorization) const;

private:
    bool checks(const std::string& credentials) const; // "user:password"

    std::map<std::string, std::string> m_hashes; // by user
    mutable std::mutex m_lock;
    mutable std::list<std::string> m_passed; // credentials, the latest first
};

// The header that asks a browser for credentials.
constexpr const char* kAuthenticateHeader = "Basic realm=\"camexpert\"";
