// A private user and network namespace for tests that run fake GigE Vision
// cameras: its only interface is a loopback carrying 127.0.0.1 and
// kLoopbackAddresses more addresses, one camera each. Discovery broadcasts
// on every interface, so inside it nothing leaves the loopback, and the
// machine's own loopback is left alone.
#pragma once

#include <gtest/gtest.h>

#include <string>

// 127.0.0.2 to 127.0.0.(1 + kLoopbackAddresses).
constexpr unsigned kLoopbackAddresses = 8;

// Enters the namespace and sets up its loopback. Must run while the process
// has one thread (the test program's main does it first). Returns an empty
// text, or why the namespace could not be had.
std::string EnterPrivateLoopback(unsigned extraAddresses);

// "127.0.0.<host>".
std::string LoopbackAddress(unsigned host);

// Empty inside the namespace, else why the program runs outside it.
const std::string& PrivateLoopbackUnavailable();

// Tests that run cameras begin with this: outside the namespace they would
// broadcast on the machine's network, so they are skipped instead.
#define SKIP_WITHOUT_PRIVATE_LOOPBACK()                                                            \
    do {                                                                                           \
        if (!PrivateLoopbackUnavailable().empty()) {                                               \
            GTEST_SKIP() << "needs a private user and network namespace, which could not be "      \
                            "entered: "                                                            \
                         << PrivateLoopbackUnavailable();                                          \
        }                                                                                          \
    } while (false)
