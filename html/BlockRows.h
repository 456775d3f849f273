// A page's rows made block by block on two threads and written in order: a
// second thread makes three blocks of every five while the caller makes the
// other two and writes them all, so that two cores share the work about evenly.
#pragma once

#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

class TBlockRows {
public:
    // Appends the page text of rows first..last to `out`. On the second
    // thread (`second`) it must only read what stays unchanged while the
    // page is written, and returns false, having given up, where it would
    // need more: the caller then makes that block itself.
    using TMake = std::function<bool(int first, int last, std::string& out, bool second)>;

    // Rows first..last in blocks of `blockRows`; a page of one block makes
    // no second thread.
    TBlockRows(int first, int last, int blockRows, TMake make);
    // Stops the second thread and waits for it.
    ~TBlockRows();
    TBlockRows(const TBlockRows&) = delete;
    TBlockRows& operator=(const TBlockRows&) = delete;

    // Hands every block's text to `write`, in order. Raises what making a
    // block raised (on either thread) or what `write` raises.
    void WriteAll(const std::function<void(std::string_view)>& write);

private:
    struct TBlock {
        std::string Text;
        bool Ready = false;
        bool GaveUp = false;
        std::exception_ptr Failure;
    };
    // Three blocks of every five: the caller also writes the page.
    static bool Shared(int block) { return block % 5 == 1 || block % 5 == 3 || block % 5 == 4; }
    static constexpr int kSlots = 4; // the second thread is at most this many blocks ahead
    // Rows of block `block`.
    int FirstOf(int block) const { return FFirst + block * FBlockRows; }
    int LastOf(int block) const { return std::min(FLast, FirstOf(block) + FBlockRows - 1); }
    void MakeSharedBlocks();

    const int FFirst, FLast, FBlockRows, FBlockCount;
    const TMake FMake;
    std::vector<TBlock> FShared; // by block % kSlots

    std::mutex FMutex;
    std::condition_variable FChanged;
    int FWritten = -1; // the last block handed to `write`
    bool FStop = false;
    std::thread FThread;
};
