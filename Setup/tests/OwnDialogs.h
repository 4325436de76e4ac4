// Answers the dialogs and message boxes that the test process itself shows, from a second
// thread, so that a routine which opens a modal dialog can be tested in-process.
#pragma once
#include <windows.h>

#include <atomic>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct TSeenDialog {
    std::string Title;
    std::map<int, std::string> Texts;   // control id -> text (message boxes: 65535)
    std::map<int, bool> Enabled;
    std::map<int, int> Checked;   // check boxes only
    bool Topmost;
};

using TAnswer = std::function<void(HWND)>;

// Helpers that answer a dialog the way a user would.
void Click(HWND Dlg, int Id);
void Type(HWND Dlg, int Id, const std::string& Text);
void Close(HWND Dlg);   // close box / Escape

struct TOwnDialogs {
    // Each new dialog gets the next answer; a dialog beyond them is closed and counted.
    explicit TOwnDialogs(std::vector<TAnswer> Answers);
    ~TOwnDialogs();
    std::vector<TSeenDialog> Seen() const;
    int Unexpected() const { return UnexpectedCount; }

private:
    void Watch();
    std::vector<TAnswer> Answers;
    std::vector<HWND> Handled;
    std::vector<TSeenDialog> Dialogs;
    mutable std::mutex Lock;
    std::atomic<bool> Stop{false};
    std::atomic<int> UnexpectedCount{0};
    std::thread Watcher;
};
