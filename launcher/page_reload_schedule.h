#pragma once
// When the frame window reloads its page: ticked once a second, it reloads
// after a pause of 5 ticks, then after pauses of 6, 7, 8, ... ticks, until a
// server is chosen.
class PageReloadSchedule {
public:
    static const int kFirstPause = 5;

    // Arms the first pause.
    void Start() { countdown_ = pause_; }
    // One tick; true when the page is to be reloaded now.
    bool Tick();
    // A server was chosen: no reload comes again.
    void Stop() { countdown_ = 0; }

private:
    int pause_ = kFirstPause;
    int countdown_ = 0;
};
