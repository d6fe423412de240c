// The native threads behind tasks. A task's thread is joined, not detached,
// once its entry has returned: the thread still runs this layer's code on
// its way out, so the layer (and the module that carries it) must not go
// away before every thread has fully ended.
#pragma once

#include <pthread.h>

// A thread is about to be started (false when it could not be).
void taskRegistryStarting();
void taskRegistryStartFailed();

// Called by a task's thread as the last thing it does.
void taskRegistryFinished(pthread_t self);
