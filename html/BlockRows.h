// A page's rows made block by block on two threads and written in order.
// Each thread takes the next block no one has taken yet, so that the two
// cores share the work as each has time: the caller also writes the blocks
// out, in order, and makes blocks while it waits for the next one to write.
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
    // block raised (on either thread, when its turn to be written comes) or
    // what `write` raises.
    void WriteAll(const std::function<void(std::string_view)>& write);

private:
    struct TBlock {
        std::string Text;
        bool Ready = false;
        bool GaveUp = false;
        std::exception_ptr Failure;
    };
    static constexpr int kSlots = 4; // blocks made ahead of the one written last, at most
    // Rows of block `block`.
    int FirstOf(int block) const { return FFirst + block * FBlockRows; }
    int LastOf(int block) const { return std::min(FLast, FirstOf(block) + FBlockRows - 1); }
    TBlock& SlotOf(int block) { return FSlots[size_t(block % kSlots)]; }
    // Under the lock: the next block to make, taken, or -1 when none may be taken now.
    int TakeBlock();
    // Makes `block` into its slot; called without the lock.
    void MakeBlock(int block, bool second);
    void MakeBlocksOnSecondThread();

    const int FFirst, FLast, FBlockRows, FBlockCount;
    const TMake FMake;
    std::vector<TBlock> FSlots; // by block % kSlots

    std::mutex FMutex;
    std::condition_variable FChanged;
    int FNextBlock = 0; // the first block no thread has taken
    int FWritten = -1;  // the last block handed to `write`
    bool FStop = false;
    std::thread FThread;
};
