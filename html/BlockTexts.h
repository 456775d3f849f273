// The page texts of the stored cells of a page, made block of rows by block
// of rows: a second thread makes two blocks of every three while the caller
// makes the third and writes the page's markup, so that two cores share the
// work about evenly.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <exception>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

class TBlockTexts {
public:
    // The texts of rows first..last, one after the other, each one's end
    // offset in `ends`. Called on both threads: it must only read what
    // stays unchanged while the page is written.
    using TMake = std::function<void(int first, int last, std::string& texts, std::vector<uint32_t>& ends)>;

    // Rows first..last in blocks of `blockRows`; a page of one block makes
    // no second thread.
    TBlockTexts(int first, int last, int blockRows, TMake make);
    // Stops the second thread and waits for it.
    ~TBlockTexts();
    TBlockTexts(const TBlockTexts&) = delete;
    TBlockTexts& operator=(const TBlockTexts&) = delete;

    // The text of the next stored cell, which lies in `row`; rows come in
    // ascending order. Valid until the call that moves to another block.
    // Raises what the second thread raised for this block.
    std::string_view Next(int row);

private:
    struct TBlock {
        std::string Texts;
        std::vector<uint32_t> Ends;
        bool Ready = false;
        std::exception_ptr Failure;
    };
    int BlockOf(int row) const { return (row - FFirst) / FBlockRows; }
    void MakeBlock(int block, TBlock& into) const;
    // The blocks of the second thread, and that thread: at most kSlots
    // blocks ahead of the caller.
    static bool Shared(int block) { return block % 3 != 0; }
    void MakeSharedBlocks();
    static constexpr int kSlots = 4;
    void Enter(int block);

    const int FFirst, FLast, FBlockRows, FBlockCount;
    const TMake FMake;
    TBlock FOwn;                 // the caller's block
    std::vector<TBlock> FShared; // the second thread's, by block % kSlots
    TBlock* FCurrent = nullptr;
    int FCurrentBlock = -1;
    size_t FNextText = 0;

    std::mutex FMutex;
    std::condition_variable FChanged;
    int FConsumed = -1; // the last block the caller has finished with
    bool FStop = false;
    std::thread FThread;
};
