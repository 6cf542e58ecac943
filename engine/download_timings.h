#pragma once
#include "common/win.h"

// The download pool's waits. The defaults are the engine's; tests shorten them.
struct DownloadTimings {
    DWORD retryWaitMs = 3000;       // after an attempt to be retried later
    DWORD timeoutWaitMs = 300;      // after an attempt that timed out
    DWORD idleWaitMs = 1;           // a worker without a task looks again
    DWORD afterTaskWaitMs = 30;     // after a finished task
    DWORD openRetryWaitMs = 100;    // between tries to open the local file
    int openAttempts = 50;          // tries before the task fails
    DWORD stopWaitMs = 1000;        // per worker in Stop before it is terminated
    // More for a worker inside a done or failed callback: the step handlers
    // watch the stop request, and killing one mid-step could leave a lock
    // held or a file half-moved.
    DWORD callbackStopWaitMs = 15000;
    long probeTimeoutSeconds = 30;  // the size probe
};
