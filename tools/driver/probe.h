// Measures whether a program's windows answer the system while it works: as long as the
// process runs, a thread sends WM_NULL to each of its visible top-level windows about every
// 50 ms, waiting for the answer (SMTO_NORMAL, never given up early), and keeps the longest
// time that one of them took. Windows marks a window that has not answered for 5 s as
// "(Not Responding)".
#pragma once
#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>

namespace e2e {

struct AnswerGap {
    int ms = 0;         // the longest time a window took to answer
    int startMs = 0;    // when that message was sent, in ms after the probe started
    std::string window; // its class and caption, "KvMdiFrame \"Acme Setup\""
};

class ResponsivenessProbe {
  public:
    explicit ResponsivenessProbe(DWORD pid, int everyMs = 50);
    ~ResponsivenessProbe() { Stop(); }
    ResponsivenessProbe(const ResponsivenessProbe&) = delete;
    ResponsivenessProbe& operator=(const ResponsivenessProbe&) = delete;

    // Stops the probing (at once when the process has ended; otherwise once a pending
    // message is answered) and returns the longest gap.
    AnswerGap Stop();
    AnswerGap Longest() const;             // so far
    int Probes() const { return probes_; } // messages sent and answered (or whose window went)

  private:
    void Run(DWORD pid, int everyMs);

    HANDLE process_ = nullptr, stop_ = nullptr;
    std::atomic<int> probes_{0};
    mutable std::mutex mutex_;
    AnswerGap longest_;
    std::thread thread_;
};

} // namespace e2e
