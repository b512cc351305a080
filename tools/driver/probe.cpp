#include "driver/probe.h"

#include "driver/driver.h"

namespace e2e {

namespace {
// Long enough never to cut a gap short: the sender waits as Windows' own callers do.
constexpr UINT kAnswerLimitMs = 10 * 60 * 1000;
} // namespace

ResponsivenessProbe::ResponsivenessProbe(DWORD pid, int everyMs)
    : process_(OpenProcess(SYNCHRONIZE, FALSE, pid)), stop_(CreateEventA(nullptr, TRUE, FALSE, nullptr)),
      thread_([this, pid, everyMs] { Run(pid, everyMs); }) {}

void ResponsivenessProbe::Run(DWORD pid, int everyMs) {
    const ULONGLONG start = GetTickCount64();
    const HANDLE ends[] = {stop_, process_};
    // Every round asks each window once; the next round starts `everyMs` after this one did.
    for (ULONGLONG round = start; process_; round += everyMs) {
        for (HWND hwnd : TopWindows(pid)) {
            const std::string window = NameOf(hwnd);
            const ULONGLONG sent = GetTickCount64();
            DWORD_PTR ignored = 0;
            // A window that goes away before it answers (its program ended without looking at
            // its messages) did not answer all that time either.
            SendMessageTimeoutA(hwnd, WM_NULL, 0, 0, SMTO_NORMAL, kAnswerLimitMs, &ignored);
            const int took = static_cast<int>(GetTickCount64() - sent);
            ++probes_;
            std::lock_guard lock(mutex_);
            if (took > longest_.ms) longest_ = {took, static_cast<int>(sent - start), window};
        }
        const ULONGLONG now = GetTickCount64();
        if (round + everyMs < now) round = now - everyMs; // a late round: the next one at once
        if (WaitForMultipleObjects(2, ends, FALSE, static_cast<DWORD>(round + everyMs - now)) != WAIT_TIMEOUT)
            break;
    }
}

AnswerGap ResponsivenessProbe::Stop() {
    if (thread_.joinable()) {
        SetEvent(stop_);
        thread_.join();
        CloseHandle(stop_);
        if (process_) CloseHandle(process_);
    }
    return Longest();
}

AnswerGap ResponsivenessProbe::Longest() const {
    std::lock_guard lock(mutex_);
    return longest_;
}

} // namespace e2e
