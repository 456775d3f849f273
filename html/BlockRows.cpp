#include "html/BlockRows.h"

#include <algorithm>

TBlockRows::TBlockRows(int first, int last, int blockRows, TMake make)
    : FFirst(first), FLast(last), FBlockRows(blockRows),
      FBlockCount(last < first ? 0 : (last - first) / blockRows + 1), FMake(std::move(make)), FSlots(kSlots)
{
    if (FBlockCount > 1)
        FThread = std::thread([this] { MakeBlocksOnSecondThread(); });
}

TBlockRows::~TBlockRows()
{
    {
        std::lock_guard lock(FMutex);
        FStop = true;
    }
    FChanged.notify_all();
    if (FThread.joinable())
        FThread.join();
}

int TBlockRows::TakeBlock()
{
    // A slot is free once the block that used it before is written.
    if (FNextBlock >= FBlockCount || FNextBlock > FWritten + kSlots)
        return -1;
    return FNextBlock++;
}

void TBlockRows::MakeBlock(int block, bool second)
{
    TBlock made;
    {
        // The text of the block written before in this slot lends its room.
        std::lock_guard lock(FMutex);
        made.Text.swap(SlotOf(block).Text);
    }
    made.Text.clear();
    try {
        made.GaveUp = !FMake(FirstOf(block), LastOf(block), made.Text, second);
    } catch (...) {
        made.Failure = std::current_exception();
    }
    made.Ready = true;
    {
        std::lock_guard lock(FMutex);
        SlotOf(block) = std::move(made);
    }
    FChanged.notify_all();
}

void TBlockRows::MakeBlocksOnSecondThread()
{
    for (;;) {
        int block = -1;
        {
            std::unique_lock lock(FMutex);
            FChanged.wait(lock, [&] { return FStop || FNextBlock >= FBlockCount || (block = TakeBlock()) >= 0; });
            if (block < 0)
                return;
        }
        MakeBlock(block, true);
    }
}

void TBlockRows::WriteAll(const std::function<void(std::string_view)>& write)
{
    std::string own;
    for (int block = 0; block < FBlockCount; ++block) {
        TBlock& slot = SlotOf(block);
        for (;;) {
            std::unique_lock lock(FMutex);
            if (slot.Ready)
                break;
            // While the next block to write is still being made, make a later one.
            if (const int other = TakeBlock(); other >= 0) {
                lock.unlock();
                MakeBlock(other, false);
                continue;
            }
            FChanged.wait(lock, [&] { return slot.Ready; });
            break;
        }
        if (slot.Failure)
            std::rethrow_exception(slot.Failure);
        const std::string* text = &slot.Text;
        if (slot.GaveUp) {
            own.clear();
            FMake(FirstOf(block), LastOf(block), own, false);
            text = &own;
        }
        write(*text);
        {
            std::lock_guard lock(FMutex);
            FWritten = block;
            slot.Ready = false;
        }
        FChanged.notify_all();
    }
}
