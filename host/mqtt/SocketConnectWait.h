// Waits for a socket's non-blocking connect to end. libmosquitto starts TLS
// on a socket whose connect is still pending and takes the refusal of that
// connect for a handshake that wants more time: its loop would then return
// at once, again and again, until the keep-alive period ran out. The MQTT
// client waits here first, so a broker that is not there costs no CPU and is
// told with the same words as over plain TCP.
#pragma once

#include <chrono>
#include <functional>

// 0 once the socket is connected, the errno of a connect that failed
// (ECONNREFUSED, ETIMEDOUT after limit), or -1 when stopDue said so first.
int waitForSocketConnect(int fd, const std::function<bool()>& stopDue,
                         std::chrono::milliseconds limit);
